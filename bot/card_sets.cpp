#include "bot/card_sets.h"

#include <algorithm>
#include <cstring>

// Found among the strongest hand of each kind (and of each run for straights
// and straight flushes).
bool StrongestFiveCardHand(const bool available[DECK_SIZE], std::uint8_t strongest[PLAY_SIZE]) {
    bool found = false;
    auto tryHand = [&](std::uint8_t* hand) {
        // The rules take five-card hands in hand order.
        std::sort(hand, hand + PLAY_SIZE, [](std::uint8_t a, std::uint8_t b) {
            return a % 13 != b % 13 ? a % 13 < b % 13 : a < b;
        });
        if (!found || GameTable::ComparePlays(strongest, hand, PLAY_SIZE) == 1) {
            std::memcpy(strongest, hand, PLAY_SIZE);
            found = true;
        }
    };
    // Available cards of each rank, strongest suit first.
    int ofRank[13] = {};
    std::uint8_t byRank[13][4];
    for (int rank = 0; rank < 13; ++rank) {
        for (int suit = 3; suit >= 0; --suit) {
            const int card = 13 * suit + rank;
            if (available[card]) byRank[rank][ofRank[rank]++] = static_cast<std::uint8_t>(card);
        }
    }
    // Runs by their lowest rank index; 9 stands for ten, jack, queen, king, ace.
    for (int low = 0; low <= 9; ++low) {
        int ranks[PLAY_SIZE];
        for (int i = 0; i < PLAY_SIZE; ++i) ranks[i] = (low + i) % 13;
        bool complete = true;
        for (int rank : ranks) complete = complete && ofRank[rank] > 0;
        if (!complete) continue;
        std::uint8_t hand[PLAY_SIZE];
        for (int i = 0; i < PLAY_SIZE; ++i) hand[i] = byRank[ranks[i]][0];
        tryHand(hand);
        for (int suit = 0; suit < 4; ++suit) {
            bool allThere = true;
            for (int i = 0; i < PLAY_SIZE; ++i) {
                hand[i] = static_cast<std::uint8_t>(13 * suit + ranks[i]);
                allThere = allThere && available[hand[i]];
            }
            if (allThere) tryHand(hand);
        }
    }
    // Flushes: the five strongest unseen cards of a suit.
    for (int suit = 0; suit < 4; ++suit) {
        std::uint8_t hand[PLAY_SIZE];
        int n = 0;
        for (int rank : {1, 0, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2}) {
            const int card = 13 * suit + rank;
            if (n < PLAY_SIZE && available[card]) hand[n++] = static_cast<std::uint8_t>(card);
        }
        if (n == PLAY_SIZE) tryHand(hand);
    }
    // Full houses and four of a kind: the strongest three or four with
    // any pair or card of another rank.
    for (int rank = 0; rank < 13; ++rank) {
        for (int other = 0; other < 13; ++other) {
            if (other == rank) continue;
            if (ofRank[rank] >= 3 && ofRank[other] >= 2) {
                std::uint8_t hand[PLAY_SIZE] = {byRank[rank][0], byRank[rank][1], byRank[rank][2],
                                                byRank[other][0], byRank[other][1]};
                tryHand(hand);
            }
            if (ofRank[rank] == 4 && ofRank[other] >= 1) {
                std::uint8_t hand[PLAY_SIZE] = {byRank[rank][0], byRank[rank][1], byRank[rank][2],
                                                byRank[rank][3], byRank[other][0]};
                tryHand(hand);
            }
        }
    }
    return found;
}
