// Every resource and control id of the program, in one place.
//
// The table window, its menu and the connect dialog are built in code from
// these ids (the ids are what the command dispatch keys on); the bitmaps are
// compiled into the program as ":/bitmaps/<id>.bmp" and loaded by id.
#pragma once

// Windows and menus.
constexpr int IDD_TABLE = 101;       // the table window
constexpr int IDR_TABLE_MENU = 102;  // the table window's menu
constexpr int IDD_CONNECT = 103;     // the connect dialog
constexpr int IDD_COMPUTER = 104;    // the "Jouer contre l'ordinateur" dialog

// Bitmaps and the icon. Ids 370 to 372 are not used.
constexpr int IDB_CARD_FIRST = 301;  // the 65 bitmaps of the card set: 301..365
constexpr int IDB_TURN_OTHER = 366;  // 48 x 16, another seat's turn ("Mon tour")
constexpr int IDB_TURN_LOCAL = 367;  // 48 x 20, the local player's turn ("ton tour")
constexpr int IDB_PASSED = 368;      // 48 x 16, a seat that has passed ("PASSE")
constexpr int IDI_APP = 369;         // the program's icon: 32 x 32 and 16 x 16
constexpr int IDB_TITLE = 373;       // 150 x 185, the title picture of the waiting screen
constexpr int IDB_AWAY = 374;        // 17 x 22, the away marker

// The card set: slot i holds bitmap IDB_CARD_FIRST + i. Slots 0..51 are the
// faces by card index, 63 is the small back that stands for another player's
// card.
constexpr int CARD_IMAGE_COUNT = 65;
constexpr int CARD_BACK_SMALL = 63;

// The four-colour deck (diamonds blue, clubs green): face i is bitmap
// IDB_FOUR_COLOUR_FIRST + i, 401..452; its other slots are the classic set's.
// For screens of high pixel density the faces of both decks and the small
// back also exist drawn at twice the size, as ":/bitmaps/<id>@2x.bmp"
// (142 x 192 and 70 x 94).
constexpr int IDB_FOUR_COLOUR_FIRST = 401;

// Controls of the table window and of the connect dialog; the commands of the
// buttons and of the menu carry these ids.
constexpr int IDOK = 1;      // hidden default button: Enter in the chat input sends the line
constexpr int IDCANCEL = 2;  // "Quitter", Escape and the close box
constexpr int IDC_HOST = 3;  // connect dialog: "Être hôte"
constexpr int IDC_IP = 1002;
constexpr int IDC_PORT = 1003;
constexpr int IDC_NICKNAME = 1004;
constexpr int IDC_JOIN = 1005;  // connect dialog: "Rejoindre"
constexpr int IDC_CHAT_LOG = 1006;
constexpr int IDC_CHAT_INPUT = 1007;
constexpr int IDC_SAVE_GAME = 1008;  // hidden: "Enregistrer jeu"
constexpr int IDC_PLAYER_INFO = 1009;
constexpr int IDC_PASS = 1010;
constexpr int IDC_PLAY = 1011;
constexpr int IDC_NEXT_ROUND = 1012;
constexpr int IDC_CLEAR_CHAT = 1013;
constexpr int IDC_AWAY = 1014;

// Menu commands.
constexpr int IDM_NETWORK_GAME = 40001;   // "Jeu en réseau..."
constexpr int IDM_PLAY_COMPUTER = 40002;  // "Jouer contre l'ordinateur..."
constexpr int IDM_FILL_COMPUTER = 40003;  // "Compléter avec l'ordinateur"
constexpr int IDM_DISCONNECT = 40005;     // "Déconnecter"
// The "Options" menu (check items) and the "Aide" menu.
constexpr int IDM_SHOW_MOVES = 40006;        // "Afficher les coups dans le chat"
constexpr int IDM_SOUNDS = 40007;            // "Sons"
constexpr int IDM_FOUR_COLOURS = 40008;      // "Cartes à quatre couleurs"
constexpr int IDM_SORT_BY_STRENGTH = 40009;  // "Trier ma main par force"
constexpr int IDM_RULES = 40010;             // "Règles du jeu"
constexpr int IDM_ABOUT = 40011;             // "À propos de Vantoro"
// More of "Jeu".
constexpr int IDM_NEW_GAME = 40012;      // "Nouvelle partie" (the host's, four seated)
constexpr int IDM_GAME_HISTORY = 40013;  // "Historique de la partie..."
constexpr int IDM_KEYS = 40020;          // "Raccourcis clavier"
constexpr int IDM_HINT = 40021;          // "Conseil"
// What the player keeps: the statistics, the saved game and its replay.
constexpr int IDM_STATISTICS = 40030;   // "Statistiques..."
constexpr int IDM_SAVE_GAME = 40031;    // "Enregistrer la partie..."
constexpr int IDM_REPLAY_GAME = 40032;  // "Revoir une partie..."

// Controls of the "Jouer contre l'ordinateur" dialog ("Pseudo :" is IDC_NICKNAME).
constexpr int IDC_LEVEL = 1015;          // "Niveau :"
constexpr int IDC_PLAY_COMPUTER = 1016;  // "Jouer"
