#include "bot/hand_partition.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

template <typename Visit>
void ForEachIndexSubset(int k, int n, Visit&& visit) {
    if (n > k) return;
    int index[PLAY_SIZE];
    for (int i = 0; i < n; ++i) index[i] = i;
    for (;;) {
        visit(index);
        int i = n - 1;
        while (i >= 0 && index[i] == k - n + i) --i;
        if (i < 0) return;
        ++index[i];
        for (int j = i + 1; j < n; ++j) index[j] = index[j - 1] + 1;
    }
}

// Whether two or three cards could be a combination: a pair or three of a
// kind are of one rank.
bool OfOneRank(const std::uint8_t* cards, const int* index, int n) {
    for (int i = 1; i < n; ++i) {
        if (cards[index[i]] % 13 != cards[index[0]] % 13) return false;
    }
    return true;
}

// Whether five cards could be a combination at all: every five-card
// combination has one suit, at most two ranks (a full house, four of a kind)
// or five ranks in a row (a straight, the ace below the two or above the
// king). The rules still decide; this only spares asking them about the many
// five cards that are none of these.
bool MayCombineFive(const std::uint8_t* cards, const int* index) {
    // Cards are 0..51: rank index card % 13, suit card / 13.
    unsigned ranks = 0;
    unsigned suits = 0;
    for (int i = 0; i < PLAY_SIZE; ++i) {
        ranks |= 1u << (cards[index[i]] % 13);
        suits |= 1u << (cards[index[i]] / 13);
    }
    if ((suits & (suits - 1)) == 0) return true;
    const unsigned lowest = ranks & (~ranks + 1);
    const unsigned others = ranks ^ lowest;
    if ((others & (others - 1)) == 0) return true;  // two ranks
    // Five ranks in a row: the lowest and the four above it, or ten to ace.
    return ranks == lowest * 0x1Fu || ranks == (1u | 0xFu << 9);
}

}  // namespace

std::vector<CardMask> FindGroups(const std::uint8_t* cards, int k) {
    std::vector<CardMask> groups;
    for (int n : {2, 3, 5}) {
        ForEachIndexSubset(k, n, [&](const int* index) {
            if (n == PLAY_SIZE ? !MayCombineFive(cards, index) : !OfOneRank(cards, index, n))
                return;
            std::uint8_t buffer[PLAY_SIZE];
            std::memset(buffer, NO_CARD, sizeof buffer);
            CardMask mask = 0;
            for (int i = 0; i < n; ++i) {
                buffer[i] = cards[index[i]];
                mask = static_cast<CardMask>(mask | (1u << index[i]));
            }
            if (GameTable::IsValidPlay(buffer, n) == 1) groups.push_back(mask);
        });
    }
    return groups;
}

void HandPartition::Solve(int k, const std::vector<CardMask>& groups,
                          const std::vector<float>& groupCost, const float* singleCost) {
    const std::size_t states = std::size_t{1} << k;
    cost_.assign(states, 0.0f);
    choice_.assign(states, 0);
    known_.assign(states, 0);
    known_[0] = 1;
    std::copy(singleCost, singleCost + k, singleCost_);

    // Groups by their lowest card: a split of a mask plays its lowest card
    // either alone or in one of these.
    byLowest_.clear();
    byLowest_.reserve(groups.size());
    for (int lowest = 0; lowest <= k; ++lowest) {
        firstOfLowest_[lowest] = static_cast<int>(byLowest_.size());
        if (lowest == k) break;
        for (std::size_t i = 0; i < groups.size(); ++i) {
            if (std::countr_zero(groups[i]) == lowest)
                byLowest_.push_back({groups[i], groupCost[i]});
        }
    }
}

void HandPartition::Evaluate(CardMask mask) const {
    if (known_[mask] != 0) return;
    const int lowest = std::countr_zero(mask);
    const auto alone = static_cast<CardMask>(1u << lowest);
    Evaluate(static_cast<CardMask>(mask ^ alone));
    float best = singleCost_[lowest] + cost_[mask ^ alone];
    CardMask bestPlay = alone;
    for (int i = firstOfLowest_[lowest]; i < firstOfLowest_[lowest + 1]; ++i) {
        const CardMask group = byLowest_[static_cast<std::size_t>(i)].mask;
        if ((group & mask) != group) continue;
        const auto rest = static_cast<CardMask>(mask ^ group);
        Evaluate(rest);
        const float cost = byLowest_[static_cast<std::size_t>(i)].cost + cost_[rest];
        if (cost < best) {
            best = cost;
            bestPlay = group;
        }
    }
    cost_[mask] = best;
    choice_[mask] = bestPlay;
    known_[mask] = 1;
}

float HandPartition::Cost(CardMask mask) const {
    Evaluate(mask);
    return cost_[mask];
}

std::vector<CardMask> HandPartition::Split(CardMask mask) const {
    Evaluate(mask);
    std::vector<CardMask> plays;
    while (mask != 0) {
        const CardMask play = choice_[mask];
        plays.push_back(play);
        mask = static_cast<CardMask>(mask ^ play);
    }
    return plays;
}

int MinimumPlays(const std::uint8_t* hand) {
    std::uint8_t cards[HAND_SIZE];
    int k = 0;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (hand[p] != NO_CARD) cards[k++] = hand[p];
    }
    const std::vector<CardMask> groups = FindGroups(cards, k);
    const std::vector<float> groupCost(groups.size(), 1.0f);
    float singleCost[HAND_SIZE];
    for (float& cost : singleCost) cost = 1.0f;
    HandPartition partition;
    partition.Solve(k, groups, groupCost, singleCost);
    return static_cast<int>(partition.Cost(static_cast<CardMask>((1u << k) - 1)) + 0.5f);
}
