#include "bot/deal_sampler.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "bot/card_sets.h"

namespace {

std::uint64_t Bit(std::uint8_t card) {
    return std::uint64_t{1} << card;
}

bool HandOrder(std::uint8_t a, std::uint8_t b) {
    return a % 13 != b % 13 ? a % 13 < b % 13 : a < b;
}

}  // namespace

bool HoldsBeatingPlay(std::uint64_t hand, const std::uint8_t tablePlay[PLAY_SIZE], int n) {
    if (n == 1 || n == 2 || n == 3) {
        // The strongest group of n cards of each rank: its strongest suits.
        for (int rank = 0; rank < 13; ++rank) {
            std::uint8_t group[PLAY_SIZE];
            std::memset(group, NO_CARD, sizeof group);
            int count = 0;
            for (int suit = 3; suit >= 0 && count < n; --suit) {
                const auto card = static_cast<std::uint8_t>(13 * suit + rank);
                if (hand & Bit(card)) group[count++] = card;
            }
            if (count < n) continue;
            std::sort(group, group + n, HandOrder);
            if (GameTable::ComparePlays(tablePlay, group, n) == 1) return true;
        }
        return false;
    }
    if (n != PLAY_SIZE) return false;
    bool available[DECK_SIZE];
    for (int c = 0; c < DECK_SIZE; ++c) available[c] = (hand & Bit(static_cast<std::uint8_t>(c)));
    std::uint8_t strongest[PLAY_SIZE];
    return StrongestFiveCardHand(available, strongest) &&
           GameTable::ComparePlays(tablePlay, strongest, PLAY_SIZE) == 1;
}

DealSampler::DealSampler(const SeatView& view, const RoundRecord& record, const PassOdds& odds)
    : seat_(view.Seat()), odds_(odds) {
    const int seat = seat_;
    if (seat == 0 || !record.Covers(view)) return;

    // Unseen: neither in this hand nor played.
    std::uint64_t seen = 0;
    for (int p = 0; p < HAND_SIZE; ++p) {
        const std::uint8_t card = view.Hand()[p];
        if (card < DECK_SIZE) seen |= Bit(card);
    }
    for (const SeenAction& action : record.Actions()) {
        for (int i = 0; i < action.count; ++i) {
            if (action.cards[i] < DECK_SIZE) seen |= Bit(action.cards[i]);
        }
    }
    const std::uint64_t deck = (std::uint64_t{1} << DECK_SIZE) - 1;
    unseen_ = deck & ~seen;
    for (int c = 0; c < DECK_SIZE; ++c) {
        if (unseen_ & Bit(static_cast<std::uint8_t>(c))) {
            unseenCards_.push_back(static_cast<std::uint8_t>(c));
        }
    }
    int slots = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        held_[s] = view.Held(s);
        if (s != seat) slots += held_[s];
    }
    if (slots != static_cast<int>(unseenCards_.size())) return;

    // The passes of the other seats, latest first so that the cards played
    // since each one can be gathered on the way back. A pass is always on
    // the latest play.
    const std::vector<SeenAction>& actions = record.Actions();
    std::uint64_t playedSince[SEAT_COUNT + 1] = {};
    for (std::size_t i = actions.size(); i-- > 0;) {
        const SeenAction& action = actions[i];
        const int s = action.seat;
        if (s < 1 || s > SEAT_COUNT) continue;
        if (action.count > 0) {
            for (int j = 0; j < action.count; ++j) playedSince[s] |= Bit(action.cards[j]);
            continue;
        }
        if (s == seat) continue;
        const SeenAction* onTable = nullptr;
        for (std::size_t j = i; j-- > 0;) {
            if (actions[j].count > 0) {
                onTable = &actions[j];
                break;
            }
        }
        if (onTable == nullptr) continue;
        Clue clue{};
        clue.seat = s;
        clue.tableCount = onTable->count;
        std::memcpy(clue.tablePlay, onTable->cards, PLAY_SIZE);
        clue.playedSince = playedSince[s];
        clue.heldAtPass = held_[s] + std::popcount(playedSince[s]);
        // A seat that held fewer cards than the play tells nothing.
        if (clue.heldAtPass < clue.tableCount) continue;
        if (clue.heldAtPass > clue.tableCount && odds_.outOf256[clue.tableCount] >= 256) continue;
        clues_.push_back(clue);
    }
    valid_ = true;
}

double DealSampler::Likelihood(const std::uint64_t hands[SEAT_COUNT + 1], int& work) const {
    double likelihood = 1.0;
    for (const Clue& clue : clues_) {
        // Five-card hands are searched for, smaller groups counted.
        work += clue.tableCount == PLAY_SIZE ? 15 : 1;
        const std::uint64_t hand = hands[clue.seat] | clue.playedSince;
        if (!HoldsBeatingPlay(hand, clue.tablePlay, clue.tableCount)) continue;
        if (clue.heldAtPass == clue.tableCount) return 0.0;
        likelihood *= odds_.outOf256[clue.tableCount] / 256.0;
    }
    return likelihood;
}

int DealSampler::Draw(BotRandom& random, GameTable& world, int tries) const {
    int work = 0;
    std::vector<std::uint8_t> cards = unseenCards_;
    std::vector<std::uint8_t> best;
    double bestLikelihood = -1.0;
    for (int attempt = 0; attempt < std::max(tries, 1); ++attempt) {
        // Fisher-Yates with the player's own generator.
        for (std::size_t i = cards.size(); i > 1; --i) {
            std::swap(cards[i - 1], cards[random.Below(static_cast<std::uint32_t>(i))]);
        }
        std::uint64_t hands[SEAT_COUNT + 1] = {};
        std::size_t next = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            if (s == seat_) continue;
            for (int i = 0; i < held_[s]; ++i) hands[s] |= Bit(cards[next++]);
        }
        ++work;
        const double likelihood = clues_.empty() ? 1.0 : Likelihood(hands, work);
        // Kept with the chance the passes give it.
        const bool kept =
            likelihood >= 1.0 ||
            (likelihood > 0.0 && static_cast<double>(random.Next() >> 11) * 0x1.0p-53 < likelihood);
        if (kept || likelihood > bestLikelihood) {
            bestLikelihood = likelihood;
            best = cards;
        }
        if (kept) break;
    }

    std::size_t next = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (s == seat_) continue;
        std::uint8_t* hand = world.hands[s];
        std::memset(hand, NO_CARD, HAND_SIZE);
        std::copy(best.begin() + static_cast<std::ptrdiff_t>(next),
                  best.begin() + static_cast<std::ptrdiff_t>(next) + held_[s], hand);
        std::sort(hand, hand + held_[s], HandOrder);
        next += static_cast<std::size_t>(held_[s]);
    }
    return work;
}
