// Generated checks: every five-card hand of the deck against a classification
// by counting, the order between random legal hands against a strength key
// built from the rules, and thousands of random games with their invariants.
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "bench/support/random_player.h"
#include "rules/game_table.h"
#include "tests/rules/legal_plays.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

// The kinds are the rules' own names; the classification below counts ranks
// and suits without the code under test.
using Kind = FiveCardKind;
constexpr Kind NONE = FiveCardKind::kNone;
constexpr Kind STRAIGHT = FiveCardKind::kStraight;
constexpr Kind FLUSH = FiveCardKind::kFlush;
constexpr Kind FULL_HOUSE = FiveCardKind::kFullHouse;
constexpr Kind FOUR_OF_A_KIND = FiveCardKind::kFourOfAKind;
constexpr Kind STRAIGHT_FLUSH = FiveCardKind::kStraightFlush;

// The card at a position of hand order (0 = ace of diamonds ... 51 = king of spades).
constexpr std::uint8_t CardAtHandOrder(int key) {
    return static_cast<std::uint8_t>((key % 4) * 13 + key / 4);
}

// The ten admitted runs by lowest rank index: ace-to-five up to nine-to-king,
// plus ten-to-ace (-1 if the five ranks are no such run).
int StraightPosition(const int rankCount[13]) {
    // Lowest to highest: three-to-seven ... nine-to-king, ten-to-ace, two-to-six, ace-to-five.
    for (int low = 2; low <= 8; ++low) {
        bool run = true;
        for (int r = low; r < low + 5; ++r) run = run && rankCount[r] == 1;
        if (run) return low - 2;
    }
    if (rankCount[0] && rankCount[9] && rankCount[10] && rankCount[11] && rankCount[12]) return 7;
    if (rankCount[1] && rankCount[2] && rankCount[3] && rankCount[4] && rankCount[5]) return 8;
    if (rankCount[0] && rankCount[1] && rankCount[2] && rankCount[3] && rankCount[4]) return 9;
    return -1;
}

// Strength of a rank in play order: three 0 ... king 10, ace 11, two 12.
int PlayRank(int rank) {
    return rank >= 2 ? rank - 2 : rank + 11;
}

struct Classified {
    Kind kind = NONE;
    std::vector<int> key;  // higher key = stronger hand of the same kind
};

// Classifies five cards by counting ranks and suits, without the code under test.
Classified ClassifyByCounting(const std::uint8_t* cards) {
    int rankCount[13] = {};
    int suitCount[4] = {};
    for (int i = 0; i < 5; ++i) {
        ++rankCount[cards[i] % 13];
        ++suitCount[cards[i] / 13];
    }
    const bool flush = *std::max_element(suitCount, suitCount + 4) == 5;
    const int straight = StraightPosition(rankCount);
    int threeRank = -1, fourRank = -1, pairs = 0;
    for (int r = 0; r < 13; ++r) {
        if (rankCount[r] == 4) fourRank = r;
        if (rankCount[r] == 3) threeRank = r;
        if (rankCount[r] == 2) ++pairs;
    }
    // The suit of the card that decides between equal ranks: a two, else an ace,
    // else the highest card.
    auto topSuit = [&] {
        int best = -1, suit = -1;
        for (int i = 0; i < 5; ++i) {
            const int strength = PlayRank(cards[i] % 13);
            if (strength > best) best = strength, suit = cards[i] / 13;
        }
        return suit;
    };
    Classified c;
    if (straight >= 0) {
        c.kind = flush ? STRAIGHT_FLUSH : STRAIGHT;
        c.key = {straight, topSuit()};
    } else if (fourRank >= 0) {
        c.kind = FOUR_OF_A_KIND;
        c.key = {PlayRank(fourRank)};
    } else if (threeRank >= 0 && pairs == 1) {
        c.kind = FULL_HOUSE;
        c.key = {PlayRank(threeRank)};
    } else if (flush) {
        c.kind = FLUSH;
        for (int i = 0; i < 5; ++i) c.key.push_back(PlayRank(cards[i] % 13));
        std::sort(c.key.rbegin(), c.key.rend());
        c.key.push_back(cards[0] / 13);
    }
    return c;
}

// The weakest hand of each kind, lowest kind first. A hand of kind k is not
// lower than the first k of them and lower than the rest.
const std::vector<Group>& WeakestOfEachKind() {
    static const std::vector<Group> weakest = {
        G({Card(THREE, CLUBS), Card(FOUR, CLUBS), Card(FIVE, CLUBS), Card(SIX, CLUBS),
           Card(SEVEN, DIAMONDS)}),
        G({Card(THREE, DIAMONDS), Card(FOUR, DIAMONDS), Card(FIVE, DIAMONDS), Card(SIX, DIAMONDS),
           Card(EIGHT, DIAMONDS)}),
        G({Card(ACE, DIAMONDS), Card(ACE, CLUBS), Card(THREE, DIAMONDS), Card(THREE, CLUBS),
           Card(THREE, HEARTS)}),
        G({Card(ACE, DIAMONDS), Card(THREE, DIAMONDS), Card(THREE, CLUBS), Card(THREE, HEARTS),
           Card(THREE, SPADES)}),
        G({Card(THREE, DIAMONDS), Card(FOUR, DIAMONDS), Card(FIVE, DIAMONDS), Card(SIX, DIAMONDS),
           Card(SEVEN, DIAMONDS)}),
    };
    return weakest;
}

long long Binomial(int n, int k) {
    long long r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

// All 2,598,960 hands in hand order: legality, and the kind as the order of
// the comparison sees it, agree with counting; the totals agree with the
// combinatorics of the deck.
TEST(Generated, EveryFiveCardHand) {
    const auto& weakest = WeakestOfEachKind();
    long long total = 0, legal = 0, mismatches = 0;
    long long byKind[FIVE_CARD_KIND_COUNT] = {};
    std::uint8_t hand[5];
    for (int a = 0; a < 52; ++a) {
        hand[0] = CardAtHandOrder(a);
        for (int b = a + 1; b < 52; ++b) {
            hand[1] = CardAtHandOrder(b);
            for (int c = b + 1; c < 52; ++c) {
                hand[2] = CardAtHandOrder(c);
                for (int d = c + 1; d < 52; ++d) {
                    hand[3] = CardAtHandOrder(d);
                    for (int e = d + 1; e < 52; ++e) {
                        hand[4] = CardAtHandOrder(e);
                        ++total;
                        const Kind expected = ClassifyByCounting(hand).kind;
                        const int valid = GameTable::IsValidPlay(hand, 5);
                        int notLower = 0, incomparable = 0;
                        for (const Group& w : weakest) {
                            const int result = GameTable::ComparePlays(w.data(), hand, 5);
                            notLower += result == 1;
                            incomparable += result == 2;
                        }
                        // Weakest hands of kinds 1..5: a hand of kind k is not lower than k of
                        // them.
                        const Kind seen = incomparable == 5 ? NONE : static_cast<Kind>(notLower);
                        const bool consistent = incomparable == 0 || incomparable == 5;
                        const Kind named = GameTable::KindOfFive(hand);
                        if (seen != expected || named != expected || valid != (expected != NONE) ||
                            !consistent) {
                            if (++mismatches <= 10) {
                                ADD_FAILURE()
                                    << "hand " << int(hand[0]) << " " << int(hand[1]) << " "
                                    << int(hand[2]) << " " << int(hand[3]) << " " << int(hand[4])
                                    << ": expected kind " << int(expected) << ", compared as "
                                    << int(seen) << ", named " << int(named) << ", valid " << valid;
                            }
                        }
                        ++byKind[static_cast<int>(seen)];
                        legal += valid;
                    }
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(total, Binomial(52, 5));
    const auto of = [&](Kind kind) { return byKind[static_cast<int>(kind)]; };
    const long long straightFlushes = 10 * 4;
    EXPECT_EQ(of(STRAIGHT_FLUSH), straightFlushes);
    EXPECT_EQ(of(STRAIGHT), 10 * 4 * 4 * 4 * 4 * 4 - straightFlushes);
    EXPECT_EQ(of(FLUSH), 4 * Binomial(13, 5) - straightFlushes);
    EXPECT_EQ(of(FULL_HOUSE), 13 * Binomial(4, 3) * 12 * Binomial(4, 2));
    EXPECT_EQ(of(FOUR_OF_A_KIND), 13 * (52 - 4));
    EXPECT_EQ(legal,
              of(STRAIGHT) + of(FLUSH) + of(FULL_HOUSE) + of(FOUR_OF_A_KIND) + of(STRAIGHT_FLUSH));
    EXPECT_EQ(legal, 19716);
}

// Pairs and triples over the whole deck: 13 ranks times the suit choices.
TEST(Generated, EveryPairAndTriple) {
    long long pairs = 0, triples = 0;
    for (int a = 0; a < 52; ++a) {
        for (int b = a + 1; b < 52; ++b) {
            const Group two = {CardAtHandOrder(a), CardAtHandOrder(b), NO_CARD, NO_CARD, NO_CARD};
            pairs += GameTable::IsValidPlay(two.data(), 2);
            for (int c = b + 1; c < 52; ++c) {
                Group three = two;
                three[2] = CardAtHandOrder(c);
                triples += GameTable::IsValidPlay(three.data(), 3);
            }
        }
    }
    EXPECT_EQ(pairs, 13 * Binomial(4, 2));
    EXPECT_EQ(triples, 13 * Binomial(4, 3));
}

// Two legal hands without a common card: the comparison agrees with the
// strength key in both directions.
TEST(Generated, OrderBetweenRandomLegalHands) {
    std::vector<std::pair<Group, Classified>> legalHands;
    Group g;
    for (int a = 0; a < 52; ++a)
        for (int b = a + 1; b < 52; ++b)
            for (int c = b + 1; c < 52; ++c)
                for (int d = c + 1; d < 52; ++d)
                    for (int e = d + 1; e < 52; ++e) {
                        g = {CardAtHandOrder(a), CardAtHandOrder(b), CardAtHandOrder(c),
                             CardAtHandOrder(d), CardAtHandOrder(e)};
                        Classified k = ClassifyByCounting(g.data());
                        if (k.kind != NONE) legalHands.emplace_back(g, std::move(k));
                    }
    ASSERT_EQ(legalHands.size(), 19716u);
    TestRandom random(2024);
    int compared = 0, mismatches = 0;
    while (compared < 200000) {
        const auto& [x, kx] = legalHands[random.Below(static_cast<int>(legalHands.size()))];
        const auto& [y, ky] = legalHands[random.Below(static_cast<int>(legalHands.size()))];
        bool shared = false;
        for (std::uint8_t card : x)
            shared = shared || std::find(y.begin(), y.end(), card) != y.end();
        if (shared) continue;
        ++compared;
        const bool yStronger = kx.kind != ky.kind ? kx.kind < ky.kind : kx.key < ky.key;
        const int forward = GameTable::ComparePlays(x.data(), y.data(), 5);
        const int backward = GameTable::ComparePlays(y.data(), x.data(), 5);
        if (forward != (yStronger ? 1 : 0) || backward != (yStronger ? 0 : 1)) {
            if (++mismatches <= 10) {
                ADD_FAILURE() << "hands " << int(x[0]) << "," << int(x[1]) << "," << int(x[2])
                              << "," << int(x[3]) << "," << int(x[4]) << " and " << int(y[0]) << ","
                              << int(y[1]) << "," << int(y[2]) << "," << int(y[3]) << ","
                              << int(y[4]) << ": " << forward << "/" << backward;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// ---------------------------------------------------------------------------
// Random games

int ExpectedCharge(int left) {
    static const int charges[14] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 20, 22, 24, 39};
    return charges[left];
}

int CardsHeld(const GameTable& t, int seat) {
    int n = 0;
    for (int p = 0; p < HAND_SIZE; ++p) n += t.hands[seat][p] != NO_CARD;
    return n;
}

// What the test knows about the game independently of the record.
struct Ledger {
    std::uint8_t dealt[SEAT_COUNT + 1][HAND_SIZE];
    bool played[52];
    std::vector<std::array<int, 5>> charges;  // per finished round, by seat
    long long passes = 0;
    long long playsOfSize[PLAY_SIZE + 1] = {};
};

void NoteDeal(Ledger& ledger, const GameTable& t) {
    std::memcpy(ledger.dealt, t.hands, sizeof t.hands);
    std::fill(std::begin(ledger.played), std::end(ledger.played), false);
}

// Cards in places 0 onward, NO_CARD after them.
bool PackedGroup(const std::uint8_t* cards, int expectedCount) {
    int n = 0;
    while (n < PLAY_SIZE && cards[n] < 52) ++n;
    for (int i = n; i < PLAY_SIZE; ++i) {
        if (cards[i] != NO_CARD) return false;
    }
    return expectedCount < 0 || n == expectedCount;
}

void CheckInvariants(const GameTable& t, const Ledger& ledger) {
    int seen[52] = {};
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        for (int p = 0; p < HAND_SIZE; ++p) {
            const std::uint8_t card = t.hands[s][p];
            ASSERT_TRUE(card == NO_CARD || card == ledger.dealt[s][p]) << "positions never move";
            if (card != NO_CARD) ++seen[card];
        }
    }
    for (int c = 0; c < 52; ++c) ASSERT_EQ(seen[c] + ledger.played[c], 1) << "card " << c;
    ASSERT_EQ(t.money[1] + t.money[2] + t.money[3] + t.money[4], 400);
    ASSERT_TRUE(t.turn >= 1 && t.turn <= 4);
    ASSERT_TRUE(t.leader >= 1 && t.leader <= 4);
    ASSERT_TRUE(PackedGroup(t.tablePlay, t.tableCount));
    for (int s = 1; s <= SEAT_COUNT; ++s) ASSERT_TRUE(PackedGroup(t.lastPlays[s], -1));

    // The history holds one record per finished round, and the money is what
    // the records say it is.
    ASSERT_EQ(t.roundsPlayed, static_cast<int>(ledger.charges.size()));
    ASSERT_EQ(t.history == nullptr, ledger.charges.empty());
    int wins[SEAT_COUNT + 1] = {};
    int money[SEAT_COUNT + 1] = {0, 100, 100, 100, 100};
    for (int r = 0; r < t.roundsPlayed; ++r) {
        int total = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            ASSERT_EQ(t.history[r].charged[s], ledger.charges[r][s]) << "round " << r;
            total += t.history[r].charged[s];
            money[s] -= t.history[r].charged[s];
        }
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            if (t.history[r].charged[s] == 0) money[s] += total, ++wins[s];
        }
    }
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        ASSERT_EQ(t.money[s], money[s]) << "seat " << s;
        ASSERT_EQ(t.wins[s], wins[s]) << "seat " << s;
    }
}

// What the rules allow for these chosen bytes, worked out without Play.
bool PlayAllowed(const GameTable& t, int seat, const Chosen& chosen) {
    if (seat != t.turn || t.roundOver) return false;
    Group buffer;
    buffer.fill(NO_CARD);
    int n = 0;
    bool opening = false;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (chosen[p] == 0) continue;
        if (n == PLAY_SIZE || t.hands[seat][p] == NO_CARD) return false;
        opening = opening || t.hands[seat][p] == CARD_OPENING;
        buffer[n++] = t.hands[seat][p];
    }
    if (t.mustOpenLowest && !opening) return false;
    if (t.tableCount == 0 || t.leader == seat) return GameTable::IsValidPlay(buffer.data(), n) == 1;
    return n == t.tableCount && GameTable::ComparePlays(t.tablePlay, buffer.data(), n) == 1;
}

// Random moves that the rules refuse leave the record byte for byte as it
// was; the few that happen to be allowed are accepted on a copy.
void TryJunk(GameTable& t, TestRandom& random, int attempts) {
    static const int kBadSeats[] = {0, 5, -1, 100, INT_MIN};
    for (int a = 0; a < attempts; ++a) {
        Chosen chosen{};
        const int picks = random.Below(8);
        for (int i = 0; i < picks; ++i) {
            chosen[random.Below(HAND_SIZE)] = static_cast<std::uint8_t>(1 + random.Below(255));
        }
        int seat;
        switch (random.Below(4)) {
            case 0:
                seat = kBadSeats[random.Below(5)];
                break;
            case 1:
                seat = 1 + random.Below(4);
                break;
            default:
                seat = t.turn;
                break;
        }
        const auto before = Snapshot(t);
        if (PlayAllowed(t, seat, chosen)) {
            GameTable copy(t);
            ASSERT_EQ(copy.Play(seat, chosen.data()), 1);
        } else {
            ASSERT_EQ(t.Play(seat, chosen.data()), 0);
            ASSERT_EQ(Snapshot(t), before);
        }
        const bool passAllowed = seat == t.turn && seat != t.leader && !t.roundOver;
        if (passAllowed) {
            GameTable copy(t);
            ASSERT_EQ(copy.Pass(seat), 1);
        } else {
            ASSERT_EQ(t.Pass(seat), 0);
            ASSERT_EQ(Snapshot(t), before);
        }
    }
}

// Applies one move of the random player and checks what it did.
void PlayOneMove(GameTable& t, RandomPlayer& player, Ledger& ledger) {
    const int seat = t.turn;
    const int next = seat % 4 + 1;
    const Move move = player.Choose(t, seat);
    if (move.pass) {
        const auto tableBefore = std::vector<std::uint8_t>(t.tablePlay, t.tablePlay + PLAY_SIZE);
        const int leader = t.leader;
        ASSERT_EQ(t.Pass(seat), 1);
        ++ledger.passes;
        ASSERT_EQ(t.passed[seat], 1);
        ASSERT_EQ(t.leader, leader);
        ASSERT_EQ(std::vector<std::uint8_t>(t.tablePlay, t.tablePlay + PLAY_SIZE), tableBefore);
    } else {
        Group cards;
        cards.fill(NO_CARD);
        int n = 0;
        for (int p = 0; p < HAND_SIZE; ++p) {
            if (move.chosen[p]) cards[n++] = t.hands[seat][p];
        }
        std::array<int, 5> charges{};
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            charges[s] = s == seat ? 0 : ExpectedCharge(CardsHeld(t, s));
        }
        const bool goesOut = CardsHeld(t, seat) == n;
        ASSERT_EQ(t.Play(seat, move.chosen), 1);
        for (int i = 0; i < n; ++i) ledger.played[cards[i]] = true;
        ++ledger.playsOfSize[n];
        ASSERT_EQ(t.leader, seat);
        ASSERT_EQ(t.tableCount, n);
        ASSERT_EQ(0, std::memcmp(t.tablePlay, cards.data(), PLAY_SIZE));
        ASSERT_EQ(t.mustOpenLowest, 0);
        ASSERT_EQ(t.roundOver, goesOut ? 1 : 0);
        if (goesOut) ledger.charges.push_back(charges);
    }
    ASSERT_EQ(t.turn, next);
    ASSERT_EQ(t.passed[next], 0);
}

TEST(Generated, RandomGames) {
    constexpr int kGames = 1000;
    RandomPlayer player(7);
    TestRandom junk(99);
    GameTable t;
    Ledger ledger;
    long long moves = 0;
    for (int game = 0; game < kGames; ++game) {
        const int rounds = 1 + game % 4;
        ledger.charges.clear();  // a new game starts a new history
        for (int round = 0; round < rounds; ++round) {
            const int winner = t.leader;
            t.DealWithSeed(static_cast<std::uint32_t>(game * 7919 + round), round == 0 ? 1 : 0);
            NoteDeal(ledger, t);
            if (round > 0) {
                ASSERT_EQ(t.leader, winner);
                ASSERT_EQ(t.mustOpenLowest, 0);
            }
            ASSERT_EQ(t.turn, t.leader);
            ASSERT_NO_FATAL_FAILURE(CheckInvariants(t, ledger));
            while (!t.roundOver) {
                ASSERT_NO_FATAL_FAILURE(TryJunk(t, junk, 1));
                ASSERT_NO_FATAL_FAILURE(PlayOneMove(t, player, ledger));
                ASSERT_NO_FATAL_FAILURE(CheckInvariants(t, ledger));
                ++moves;
            }
            ASSERT_NO_FATAL_FAILURE(TryJunk(t, junk, 8));
        }
    }
    // The games went through every kind of move, not only the easy ones.
    EXPECT_GT(moves, kGames * 20);
    EXPECT_GT(ledger.passes, moves / 10);
    for (int size : {1, 2, 3, 5}) EXPECT_GT(ledger.playsOfSize[size], kGames / 10) << size;
}

}  // namespace
