// Every text the table window adds to the network code's own (net/notices.h):
// its menus and options, the game lines of the chat log, the reasons of a
// refused move, the question before leaving a game and the help boxes. All
// are UTF-8, for players, in French.
#pragma once

// Menus beside "Jeu", and their items.
constexpr const char* MENU_OPTIONS = "&Options";
constexpr const char* MENU_HELP = "&Aide";
constexpr const char* ITEM_SHOW_MOVES = "Afficher les coups dans le chat";
constexpr const char* ITEM_SOUNDS = "Sons";
constexpr const char* ITEM_FOUR_COLOURS = "Cartes à quatre couleurs";
constexpr const char* ITEM_SORT_BY_STRENGTH = "Trier ma main par force";
constexpr const char* ITEM_RULES = "Règles du jeu";
constexpr const char* ITEM_ABOUT = "À propos de Vantoro";

// The question before a running game is left ("Quitter", Escape, the close
// box, "Déconnecter" while four players are seated).
constexpr const char* LEAVE_QUESTION =
    "Une partie est en cours à quatre joueurs. Voulez-vous vraiment quitter la table ?";
constexpr const char* ANSWER_YES = "Oui";
constexpr const char* ANSWER_NO = "Non";

// The connect dialogs: an address that names no machine (the address as
// typed in place of %1), and the host's turn limit.
constexpr const char* HOST_NOT_FOUND_TEXT = "Ordinateur introuvable : %1";
constexpr const char* HOST_NO_IPV4_TEXT =
    "Ordinateur introuvable en IPv4 : %1\n\nCe nom n'a que des adresses IPv6 ; Vantoro se "
    "joue en IPv4 (par exemple 192.168.1.20).";
constexpr const char* TURN_LIMIT_LABEL = "Délai de jeu :";
constexpr const char* TURN_LIMIT_NONE = "Aucun";

// The table's own words at the end of a round: the winner's name above this.
constexpr const char* ROUND_WON = "gagne la manche";

// "Règles du jeu".
constexpr const char* RULES_TEXT =
    "Chaque joueur reçoit 13 cartes. Celui qui a le 3♦ ouvre la partie avec un coup qui le "
    "contient.\n\n"
    "Un coup est une carte seule, une paire, un brelan ou cinq cartes : suite, couleur, full, "
    "carré (avec une cinquième carte quelconque) ou quinte flush, dans cet ordre de force.\n\n"
    "Les cartes vont du 3 (la plus faible) au roi, puis l'as et le 2 (la plus forte) ; à rang "
    "égal, ♠ bat ♥, ♥ bat ♣ et ♣ bat ♦.\n\n"
    "Le joueur suivant doit jouer autant de cartes et battre le coup sur la table, ou passer ; "
    "passer ne vaut que pour ce tour. Quand les trois autres ont passé, le dernier à avoir joué "
    "a la main et joue ce qu'il veut.\n\n"
    "Le premier qui vide sa main gagne la manche et reçoit de chaque autre joueur une pièce par "
    "carte restante de 1 à 9 cartes, le double de 10 à 12, et 39 pour une main pleine de 13. "
    "Chacun commence avec 100 ; le gagnant ouvre la manche suivante.\n\n"
    "Cliquez sur vos cartes pour les lever (un second clic les baisse), puis « Jouer cartes » "
    "ou « Passer ». Après sa dernière carte, le gagnant lance la manche suivante avec « Tour "
    "suivant ».\n\n"
    "Au clavier : Gauche et Droite déplacent le cadre sur vos cartes, Espace lève ou baisse la "
    "carte encadrée, Entrée joue, P passe, N lance la manche suivante (Aide → Raccourcis "
    "clavier).";

// "À propos de Vantoro": the version goes in place of %1.
constexpr const char* ABOUT_TEXT =
    "Vantoro %1\n\n"
    "Un jeu de cartes à quatre joueurs en réseau.\n\n"
    "Licence MIT. Copyright (c) 2026 The Vantoro developers.";

// The game lines of the chat log (table/game_lines.h), each followed by
// "\r\n" there like every other text of the log. The names and card lists
// fill the %s; the numbers are the money won and paid.
constexpr const char* LINE_PLAY = "» %s joue %s";
constexpr const char* LINE_PASS = "» %s passe";
constexpr const char* LINE_ROUND_WON = "» %s gagne la manche (+%d)";
constexpr const char* LINE_PAID = "»   %s paie %d";
constexpr const char* LINE_REFUSED = "» Coup refusé : %s";

// The card signs: ranks by rank index (ace first, as the cards are numbered),
// suits diamonds, clubs, hearts, spades.
constexpr const char* RANK_SIGNS[13] = {"A", "2", "3",  "4", "5", "6", "7",
                                        "8", "9", "10", "J", "Q", "K"};
constexpr const char* SUIT_SIGNS[4] = {"♦", "♣", "♥", "♠"};

// Why a play or pass of the local player was refused, by MoveRefusal.
constexpr const char* REFUSED_NO_SEAT = "vous n'êtes pas assis à la table";
constexpr const char* REFUSED_ROUND_OVER = "la manche est terminée";
constexpr const char* REFUSED_NOT_YOUR_TURN = "ce n'est pas votre tour";
constexpr const char* REFUSED_NO_CARD = "aucune carte choisie";
constexpr const char* REFUSED_CARD_NOT_HELD = "une carte choisie n'est plus dans votre main";
constexpr const char* REFUSED_ONE_CARD_NEEDED = "il faut jouer 1 carte";
constexpr const char* REFUSED_CARDS_NEEDED = "il faut jouer %d cartes";
constexpr const char* REFUSED_TOO_MANY_CARDS = "un coup compte au plus 5 cartes";
constexpr const char* REFUSED_OPENING_CARD = "le premier coup de la partie doit contenir le 3♦";
constexpr const char* REFUSED_NO_COMBINATION = "ces cartes ne forment pas une combinaison";
constexpr const char* REFUSED_DOES_NOT_BEAT = "ce coup ne bat pas celui de la table";
constexpr const char* REFUSED_LEADER_PASS = "vous avez la main, vous ne pouvez pas passer";
