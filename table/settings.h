// What the table window remembers from one run to the next: the fields of
// the connect dialog and of the "Jouer contre l'ordinateur" dialog, and the
// options. They are kept with Qt's settings under the application's
// organisation and name ("Vantoro", "vantoro", set on the application), that
// is in $XDG_CONFIG_HOME/Vantoro/vantoro.conf (~/.config when it is not set).
// Nothing is stored until the player hosts, joins or changes an option.
#pragma once

#include <QString>

#include "bot/bot_level.h"

// The nickname is one for both dialogs: the one typed last in either is the
// one both show next.
//
// The nickname last typed in either dialog; empty when none is stored.
QString LoadNickname();

// The connect dialog's fields of the last successful host or join.
struct ConnectFields {
    QString nickname;
    QString address;
    QString port;
};
// False, with `fields` untouched, while nothing is stored (the first run).
bool LoadConnectFields(ConnectFields* fields);
void SaveConnectFields(const ConnectFields& fields);

// The "Jouer contre l'ordinateur" dialog's fields of the last table it hosted.
struct ComputerFields {
    QString nickname;
    BotLevel level = DEFAULT_BOT_LEVEL;
};
// False, with `fields` untouched, while nothing is stored. A stored level
// that is no level's name leaves the level alone.
bool LoadComputerFields(ComputerFields* fields);
void SaveComputerFields(const ComputerFields& fields);

// The host's "Délai de jeu" in seconds (0 for none, the default), shared by
// both dialogs that host a table.
int LoadTurnLimit();
void SaveTurnLimit(int seconds);

// The four check items of the "Options" menu, with their defaults.
struct WindowOptions {
    bool showMoves = true;        // "Afficher les coups dans le chat"
    bool sounds = true;           // "Sons"
    bool fourColours = false;     // "Cartes à quatre couleurs"
    bool handByStrength = false;  // "Trier ma main par force"
};
// The stored options; the default of each one that is not stored.
WindowOptions LoadWindowOptions();
void SaveWindowOptions(const WindowOptions& options);

// "Options" -> "Taille de la table": TABLE_SIZE_FIT (fit to the screen, the
// default) or a size in per cent of the designed one (100, 150, 200). Kept
// apart from WindowOptions so that saving either never rewrites the other.
constexpr int TABLE_SIZE_FIT = 0;
int LoadTableSize();
void SaveTableSize(int percent);
