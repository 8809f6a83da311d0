// "Fin de partie": the host's choice of a game's length, as the connect
// dialog's host part and the "Jouer contre l'ordinateur" dialog offer it.
// The choices, in GAME_LENGTH_CHOICES order: "Jamais" (the default),
// "Après 10 manches", "Après 20 manches", "Quand un joueur n'a plus d'argent".
// The last choice made is remembered across runs with the dialogs' fields.
#pragma once

#include "net/relay.h"

class DialogLayout;
class QComboBox;
class QWidget;

// Adds the label "Fin de partie :" and the box on one row at dialog-unit
// height `y` of `dialog`, the remembered choice selected.
QComboBox* AddGameLengthBox(QWidget* dialog, const DialogLayout& layout, int y);
// The length the box chooses.
GameLength GameLengthOfBox(const QComboBox* box);
// The table has just been hosted with the box's choice: the host's policy
// takes it, and the choice is remembered.
void HostWithGameLength(const QComboBox* box);
