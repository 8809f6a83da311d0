#include "tests/support/wire_client.h"

#include <QElapsedTimer>
#include <cstring>
#include <sstream>

namespace vtest {

bool WireClient::Connect(std::uint16_t port) {
    return peer_.Connect(port);
}

void WireClient::Apply(const Bytes& m) {
    types_.push_back(m[0]);
    bool changedGame = false;
    switch (m[0]) {
        case 2: {  // MSG_SEAT_INFO: the record's number, name and sock
            const int number = static_cast<std::int8_t>(m[1]);
            if (number < 1 || number > SEAT_COUNT) break;
            names_[number] = std::string(reinterpret_cast<const char*>(m.data() + 2),
                                         strnlen(reinterpret_cast<const char*>(m.data() + 2), 16));
            ++count_;
            break;
        }
        case 3:  // MSG_DEAL
            std::memset(table_.hands[0], NO_CARD, HAND_SIZE);
            for (int s = 1; s <= SEAT_COUNT; ++s) {
                std::memcpy(table_.hands[s], m.data() + 1 + HAND_SIZE * s, HAND_SIZE);
            }
            table_.ResetRound();
            askedNextRound_ = false;
            changedGame = true;
            break;
        case 4:  // MSG_SEAT_ASSIGN
            seat_ = m[1];
            peer_.Send(JoinMsg(name_));
            break;
        case 5:  // MSG_SEAT_LEFT
            if (m[1] >= 1 && m[1] <= SEAT_COUNT) names_[m[1]].clear();
            --count_;
            break;
        case 6:  // MSG_NEW_GAME
            for (int& flag : away_) flag = 0;
            table_.StartNewGame();
            newGameSeen_ = true;
            changedGame = true;
            break;
        case 7:  // MSG_HOST_FULL
            peer_.Send(Msg({8}));
            break;
        case 9: {  // MSG_PLAY
            std::uint8_t chosen[HAND_SIZE];
            std::memcpy(chosen, m.data() + 2, HAND_SIZE);
            changedGame = table_.Play(m[1], chosen) != 0;
            break;
        }
        case 10:  // MSG_PASS
            changedGame = table_.Pass(m[1]) != 0;
            break;
        case 13:  // MSG_AWAY
            if (m[1] >= 1 && m[1] <= SEAT_COUNT) away_[m[1]] = static_cast<std::int8_t>(m[2]);
            break;
        default:
            break;
    }
    if (changedGame) gameBytes_.insert(gameBytes_.end(), m.begin(), m.end());
}

bool WireClient::Poll() {
    for (;;) {
        const Bytes message = peer_.ReadMessage(0);
        if (message.empty()) break;
        Apply(message);
    }
    return !peer_.WaitClosed(0);
}

bool WireClient::Act() {
    if (!Live() || seat_ < 1) return false;
    if (table_.roundOver != 0) {
        if (table_.leader != seat_ || askedNextRound_) return false;
        askedNextRound_ = true;
        return peer_.Send(Msg({12}));
    }
    if (table_.turn != seat_) return false;
    const bool freeLead = table_.tableCount == 0 || table_.leader == seat_;
    if (!freeLead) {
        const Bytes pass = Msg({10, seat_});
        if (table_.Pass(seat_) != 0) gameBytes_.insert(gameBytes_.end(), pass.begin(), pass.end());
        return peer_.Send(pass);
    }
    int position = -1;
    for (int p = 0; p < HAND_SIZE && position < 0; ++p) {
        const std::uint8_t card = table_.hands[seat_][p];
        if (card != NO_CARD && (table_.mustOpenLowest == 0 || card == CARD_OPENING)) position = p;
    }
    if (position < 0) return false;
    std::uint8_t chosen[HAND_SIZE] = {};
    chosen[position] = 1;
    if (table_.Play(seat_, chosen) == 0) return false;
    const Bytes play = PlayMsg(seat_, {position});
    gameBytes_.insert(gameBytes_.end(), play.begin(), play.end());
    return peer_.Send(play);
}

bool WireClient::RunUntil(const std::function<bool()>& done, bool play, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        Poll();
        if (play) Act();
        Pump(1);
    }
    return true;
}

bool SameGame(const GameTable& a, const GameTable& b, std::string* why) {
    std::ostringstream out;
    if (std::memcmp(a.hands[1], b.hands[1], SEAT_COUNT * HAND_SIZE) != 0) out << "hands ";
    if (std::memcmp(a.tablePlay, b.tablePlay, sizeof a.tablePlay) != 0) out << "table ";
    if (std::memcmp(a.lastPlays[1], b.lastPlays[1], SEAT_COUNT * PLAY_SIZE) != 0) out << "plays ";
    if (std::memcmp(a.passed + 1, b.passed + 1, SEAT_COUNT) != 0) out << "passes ";
    if (a.turn != b.turn || a.leader != b.leader || a.tableCount != b.tableCount) out << "turn ";
    if (a.roundOver != b.roundOver || a.mustOpenLowest != b.mustOpenLowest) out << "phase ";
    if (std::memcmp(a.money + 1, b.money + 1, SEAT_COUNT * sizeof a.money[0]) != 0) out << "money ";
    if (std::memcmp(a.wins + 1, b.wins + 1, SEAT_COUNT * sizeof a.wins[0]) != 0) out << "wins ";
    if (a.roundsPlayed != b.roundsPlayed) {
        out << "rounds ";
    } else if (a.roundsPlayed > 0 &&
               std::memcmp(a.history, b.history, a.roundsPlayed * sizeof(RoundResult)) != 0) {
        out << "history ";
    }
    if (why != nullptr) *why = out.str();
    return out.str().empty();
}

}  // namespace vtest
