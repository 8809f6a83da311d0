// The table for screen readers, through Qt's accessibility interfaces: the
// hand cursor is a list whose items are the held cards, each named in
// French ("Roi de cœur", "Roi de cœur, choisi" when raised), selected when
// raised and focused under the cursor; and the board announces what happens
// (the game lines of plays and passes, whose turn it is) as alerts whose
// description is the text.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class HandCursor;
class QAccessibleEvent;
class QWidget;

// Installs the interface factory that gives the hand cursor its list (once
// per program; later calls do nothing).
void InstallTableAccessibility();

// A card's accessible name: "Roi de cœur"; empty for NO_CARD.
QString CardName(std::uint8_t card);

// Tells assistive technology that the cursor moved onto place `place`, or
// that the card there was raised or lowered.
void NotifyCursorMoved(HandCursor* cursor, int place);
void NotifyCardToggled(HandCursor* cursor, int place);
// Announces `text` from `source` (the board): its accessible description
// becomes the text and an alert goes out.
void Announce(QWidget* source, const QString& text);

// Every event the table sends goes to Qt (which hands it to the platform's
// assistive technology while one is active) and, first, to this observer
// while one is set: a platform without accessibility (offscreen) still lets
// a test hear them. Null to remove it.
using AccessibilityObserver = std::function<void(QAccessibleEvent* event)>;
void SetAccessibilityObserver(AccessibilityObserver observer);
