#include "bot/round_record.h"

#include <bit>
#include <cstring>

void RoundRecord::NewRound() {
    actions_.clear();
    gone_ = 0;
    dropped_ = false;
}

void RoundRecord::Played(int seat, const std::uint8_t cards[PLAY_SIZE]) {
    SeenAction action{};
    action.seat = static_cast<std::uint8_t>(seat);
    std::memset(action.cards, NO_CARD, sizeof action.cards);
    for (int i = 0; i < PLAY_SIZE; ++i) {
        if (cards[i] < DECK_SIZE) {
            action.cards[action.count++] = cards[i];
            gone_ |= std::uint64_t{1} << cards[i];
        }
    }
    if (actions_.size() >= static_cast<std::size_t>(MAX_ROUND_ACTIONS)) {
        dropped_ = true;
        return;
    }
    actions_.push_back(action);
}

void RoundRecord::Passed(int seat) {
    SeenAction action{};
    action.seat = static_cast<std::uint8_t>(seat);
    std::memset(action.cards, NO_CARD, sizeof action.cards);
    if (actions_.size() >= static_cast<std::size_t>(MAX_ROUND_ACTIONS)) {
        dropped_ = true;
        return;
    }
    actions_.push_back(action);
}

int RoundRecord::Apply(GameTable& table, int seat, const Move& move) {
    const int accepted = ApplyMove(table, seat, move);
    if (accepted != 1) return accepted;
    if (move.pass) {
        Passed(seat);
    } else {
        Played(seat, table.tablePlay);
    }
    return accepted;
}

int RoundRecord::GoneCount() const {
    return std::popcount(gone_);
}

int RoundRecord::PlayedBy(int seat) const {
    int count = 0;
    for (const SeenAction& action : actions_) {
        if (action.seat == seat) count += action.count;
    }
    return count;
}

bool RoundRecord::Covers(const SeatView& view) const {
    if (dropped_) return false;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (PlayedBy(s) + view.Held(s) != HAND_SIZE) return false;
    }
    return true;
}
