#include "bot/hand_partition.h"

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

}  // namespace

std::vector<CardMask> FindGroups(const std::uint8_t* cards, int k) {
    std::vector<CardMask> groups;
    for (int n : {2, 3, 5}) {
        ForEachIndexSubset(k, n, [&](const int* index) {
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

    // Groups by their lowest card: a split of a mask plays its lowest card
    // either alone or in one of these.
    std::vector<std::vector<std::size_t>> byLowest(static_cast<std::size_t>(k));
    for (std::size_t i = 0; i < groups.size(); ++i) {
        byLowest[static_cast<std::size_t>(std::countr_zero(groups[i]))].push_back(i);
    }

    for (std::size_t state = 1; state < states; ++state) {
        const auto mask = static_cast<CardMask>(state);
        const int lowest = std::countr_zero(mask);
        const auto alone = static_cast<CardMask>(1u << lowest);
        float best = singleCost[lowest] + cost_[mask ^ alone];
        CardMask bestPlay = alone;
        for (std::size_t i : byLowest[static_cast<std::size_t>(lowest)]) {
            const CardMask group = groups[i];
            if ((group & mask) != group) continue;
            const float cost = groupCost[i] + cost_[mask ^ group];
            if (cost < best) {
                best = cost;
                bestPlay = group;
            }
        }
        cost_[state] = best;
        choice_[state] = bestPlay;
    }
}

std::vector<CardMask> HandPartition::Split(CardMask mask) const {
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
