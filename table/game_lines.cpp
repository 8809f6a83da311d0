#include "table/game_lines.h"

#include <cstdio>
#include <cstring>

#include "net/seat_table.h"
#include "table/window_texts.h"

namespace {

constexpr const char* LINE_END = "\r\n";

std::string NameOf(const char* field) {
    return std::string(field, strnlen(field, NAME_SIZE));
}

// printf-style formatting into a string; the game lines are short, the
// names at most 17 bytes.
template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

const char* ReasonText(MoveRefusal reason) {
    switch (reason) {
        case MoveRefusal::kNone:
            return nullptr;
        case MoveRefusal::kNoSeat:
            return REFUSED_NO_SEAT;
        case MoveRefusal::kRoundOver:
            return REFUSED_ROUND_OVER;
        case MoveRefusal::kNotYourTurn:
            return REFUSED_NOT_YOUR_TURN;
        case MoveRefusal::kNoCardChosen:
            return REFUSED_NO_CARD;
        case MoveRefusal::kCardNotHeld:
            return REFUSED_CARD_NOT_HELD;
        case MoveRefusal::kWrongCardCount:
            return REFUSED_CARDS_NEEDED;
        case MoveRefusal::kTooManyCards:
            return REFUSED_TOO_MANY_CARDS;
        case MoveRefusal::kOpeningCardMissing:
            return REFUSED_OPENING_CARD;
        case MoveRefusal::kNotACombination:
            return REFUSED_NO_COMBINATION;
        case MoveRefusal::kDoesNotBeat:
            return REFUSED_DOES_NOT_BEAT;
        case MoveRefusal::kLeaderCannotPass:
            return REFUSED_LEADER_PASS;
    }
    return nullptr;
}

}  // namespace

std::string CardText(std::uint8_t card) {
    if (card >= DECK_SIZE) return {};
    return std::string(RANK_SIGNS[card % 13]) + SUIT_SIGNS[card / 13];
}

std::string PlayLine(const char* name, const std::uint8_t cards[PLAY_SIZE]) {
    std::string list;
    for (int place = 0; place < PLAY_SIZE; ++place) {
        if (cards[place] == NO_CARD) continue;
        if (!list.empty()) list += ' ';
        list += CardText(cards[place]);
    }
    return Format(LINE_PLAY, NameOf(name).c_str(), list.c_str()) + LINE_END;
}

std::string PassLine(const char* name) {
    return Format(LINE_PASS, NameOf(name).c_str()) + LINE_END;
}

std::string RoundEndLines(const GameTable& table, int winner) {
    if (table.roundsPlayed < 1 || table.history == nullptr || winner < 1 || winner > SEAT_COUNT)
        return {};
    const RoundResult& result = table.history[table.roundsPlayed - 1];
    int total = 0;
    std::string payers;
    for (int step = 1; step < SEAT_COUNT; ++step) {
        const int seat = (winner - 1 + step) % SEAT_COUNT + 1;
        total += result.charged[seat];
        payers += Format(LINE_PAID, NameOf(g_seats[seat].name).c_str(),
                         static_cast<int>(result.charged[seat])) +
                  LINE_END;
    }
    return Format(LINE_ROUND_WON, NameOf(g_seats[winner].name).c_str(), total) + LINE_END + payers;
}

std::string RefusalLine(MoveRefusal reason, int needed) {
    const char* text = ReasonText(reason);
    if (text == nullptr) return {};
    std::string why = text;
    if (reason == MoveRefusal::kWrongCardCount)
        why = needed == 1 ? REFUSED_ONE_CARD_NEEDED : Format(REFUSED_CARDS_NEEDED, needed);
    return Format(LINE_REFUSED, why.c_str()) + LINE_END;
}
