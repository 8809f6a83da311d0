// The texts of what helps a player at the table without the mouse or the
// eyes: the keys, the hint, the accessible names of the cards and the table's
// sizes. UTF-8, for players, in French.
#pragma once

// Items of the "Aide" menu beside the rules and the version.
constexpr const char* ITEM_KEYS = "Raccourcis clavier";
constexpr const char* ITEM_HINT = "Conseil";

// "Raccourcis clavier": every key of the window, in groups; a group starts
// with an entry whose `what` is null and whose `key` is the group's title.
struct KeyHelp {
    const char* key;
    const char* what;
};
constexpr KeyHelp KEYS_HELP[] = {
    {"Sur la table", nullptr},
    {"Gauche / Droite", "déplacer le cadre sur vos cartes"},
    {"Début / Fin", "aller à la première / à la dernière carte"},
    {"Espace", "lever ou baisser la carte encadrée"},
    {"Entrée", "Jouer cartes"},
    {"P", "Passer"},
    {"N", "Tour suivant"},
    {"A", "Absent"},
    {"H", "Conseil"},
    {"C ou Tab", "aller au chat"},
    {"Échap", "quitter la table"},
    {"Dans le chat", nullptr},
    {"Entrée", "envoyer la ligne"},
    {"Échap", "revenir à la table"},
    {"Partout", nullptr},
    {"F1", "Règles du jeu"},
    {"Alt+J, Alt+O, Alt+A", "les menus Jeu, Options, Aide"},
    {"Alt+R", "Jouer cartes"},
    {"Alt+S", "Passer"},
    {"Alt+T", "Tour suivant"},
    {"Alt+B", "Absent"},
    {"Alt+I", "Info joueur"},
    {"Alt+E", "Effacer la boîte de chat"},
};

// The hint when the best move is to pass; a line of the chat log.
constexpr const char* LINE_HINT_PASS = "» Conseil : passer";

// "Options" -> "Taille de la table" and its first choice; the others are
// written "100 %", "150 %", "200 %".
constexpr const char* ITEM_TABLE_SIZE = "Taille de la table";
constexpr const char* ITEM_FIT_SCREEN = "Ajuster à l'écran";

// Accessible names: the cards ("Roi de cœur", then ", choisi" when raised),
// by rank index (ace first) and suit (diamonds, clubs, hearts, spades), and
// the parts of the table that show no text of their own.
constexpr const char* CARD_RANK_NAMES[13] = {"As",    "Deux", "Trois", "Quatre", "Cinq",
                                             "Six",   "Sept", "Huit",  "Neuf",   "Dix",
                                             "Valet", "Dame", "Roi"};
constexpr const char* CARD_SUIT_NAMES[4] = {"carreau", "trèfle", "cœur", "pique"};
constexpr const char* CARD_OF = "de";
constexpr const char* CARD_CHOSEN = "choisi";
constexpr const char* NAME_HAND = "Votre main";
constexpr const char* NAME_TABLE = "Table de jeu";
constexpr const char* NAME_CHAT_LOG = "Messages du chat";
constexpr const char* NAME_CHAT_INPUT = "Votre message";
constexpr const char* NAME_STATUS = "État de la connexion";

// What the table announces to a screen reader beside the game lines: whose
// turn it is.
constexpr const char* SAY_YOUR_TURN = "À vous de jouer";
constexpr const char* SAY_TURN_OF = "Au tour de %1";
