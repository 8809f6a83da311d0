#include "rules/game_table.h"

#include <time.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

DealSeedSource& SeedSource() {
    static DealSeedSource source;
    return source;
}

int NextSeat(int seat) {
    return seat % SEAT_COUNT + 1;
}

bool IsSeat(int seat) {
    return seat >= 1 && seat <= SEAT_COUNT;
}

}  // namespace

void SetDealSeedSource(DealSeedSource source) {
    SeedSource() = std::move(source);
}

std::uint32_t TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);  // wraps like a 32-bit tick count
}

// ---------------------------------------------------------------------------
// Construction and copying

GameTable::GameTable() {
    std::memset(hands, NO_CARD, sizeof hands);  // seat 0 is never dealt
    std::memset(lastPlays, NO_CARD, sizeof lastPlays);
    std::memset(tablePlay, NO_CARD, sizeof tablePlay);
    std::memset(selection, 0, sizeof selection);
    std::memset(passed, 0, sizeof passed);
    std::memset(money, 0, sizeof money);
    std::memset(wins, 0, sizeof wins);
    turn = 0;
    tableCount = 0;
    roundOver = 0;
    roundsPlayed = 0;
    mustOpenLowest = 0;
    leader = 0;
    history = nullptr;
    Deal(1);
}

GameTable::~GameTable() {
    std::free(history);
    history = nullptr;
}

GameTable::GameTable(const GameTable& other) : history(nullptr) {
    *this = other;
}

GameTable& GameTable::operator=(const GameTable& other) {
    if (this == &other) return *this;
    RoundResult* copy = nullptr;
    if (other.roundsPlayed > 0 && other.history != nullptr) {
        const std::size_t bytes =
            static_cast<std::size_t>(other.roundsPlayed) * sizeof(RoundResult);
        copy = static_cast<RoundResult*>(std::malloc(bytes));
        if (copy == nullptr) throw std::bad_alloc();
        std::memcpy(copy, other.history, bytes);
    }
    std::memcpy(hands, other.hands, sizeof hands);
    std::memcpy(lastPlays, other.lastPlays, sizeof lastPlays);
    std::memcpy(tablePlay, other.tablePlay, sizeof tablePlay);
    leader = other.leader;
    turn = other.turn;
    tableCount = other.tableCount;
    std::memcpy(selection, other.selection, sizeof selection);
    std::memcpy(passed, other.passed, sizeof passed);
    roundOver = other.roundOver;
    roundsPlayed = other.roundsPlayed;
    std::memcpy(money, other.money, sizeof money);
    std::memcpy(wins, other.wins, sizeof wins);
    std::free(history);
    history = copy;
    mustOpenLowest = other.mustOpenLowest;
    return *this;
}

// ---------------------------------------------------------------------------
// Card model

int GameTable::SuitOf(std::int8_t card) {
    if (card <= 12) return 0;
    if (card <= 25) return 1;
    if (card <= 38) return 2;
    if (card <= 51) return 3;
    return 4;
}

int GameTable::RankOf(std::int8_t card) {
    return card % 13;
}

int GameTable::CountCards(const std::uint8_t* cards, int n) {
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (cards[i] != NO_CARD) ++count;
    }
    return count;
}

int GameTable::PlayValue(std::uint8_t card) {
    const int rank = RankOf(static_cast<std::int8_t>(card));
    const int suit = SuitOf(static_cast<std::int8_t>(card));
    if (rank == 0) return 52 + suit;
    if (rank == 1) return 56 + suit;
    return 4 * rank + suit;
}

// ---------------------------------------------------------------------------
// Shuffle, deal and round reset

void GameTable::Deal(int newGame) {
    const DealSeedSource& source = SeedSource();
    DealWithSeed(source ? source() : TickCount(), newGame);
}

void GameTable::DealWithSeed(std::uint32_t seed, int newGame) {
    DealRandom random(seed);
    std::uint8_t deck[DECK_SIZE];
    for (int i = 0; i < DECK_SIZE; ++i) deck[i] = static_cast<std::uint8_t>(i);
    // Each place always exchanges with a different one.
    for (int i = 0; i < DECK_SIZE; ++i) {
        int j = random.Next() % DECK_SIZE;
        while (j == i) j = random.Next() % DECK_SIZE;
        std::swap(deck[i], deck[j]);
    }
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::memcpy(hands[s], deck + HAND_SIZE * (s - 1), HAND_SIZE);
    }
    // The new-game reset sets `leader` before the round reset hands it the turn.
    if (newGame != 0) StartNewGame();
    ResetRound();
    SortHands();
}

void GameTable::StartNewGame() {
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        for (int p = 0; p < HAND_SIZE; ++p) {
            if (hands[s][p] != CARD_OPENING) continue;
            turn = s;
            leader = s;
            mustOpenLowest = 1;
            roundsPlayed = 0;
            std::free(history);
            history = nullptr;
            for (int t = 1; t <= SEAT_COUNT; ++t) money[t] = START_MONEY;
            for (int t = 0; t <= SEAT_COUNT; ++t) wins[t] = 0;
            return;
        }
    }
}

void GameTable::ResetRound() {
    std::memset(tablePlay, NO_CARD, sizeof tablePlay);
    std::memset(lastPlays, NO_CARD, sizeof lastPlays);
    std::memset(selection, 0, sizeof selection);
    std::memset(passed, 0, sizeof passed);
    turn = leader;
    roundOver = 0;
    tableCount = 0;
}

void GameTable::SortHands() {
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::uint8_t* hand = hands[s];
        for (int pass = 0; pass < 12; ++pass) {
            bool exchanged = false;
            for (int p = 1; p < HAND_SIZE; ++p) {
                const auto a = static_cast<std::int8_t>(hand[p - 1]);
                const auto b = static_cast<std::int8_t>(hand[p]);
                if (RankOf(a) > RankOf(b) || (RankOf(a) == RankOf(b) && SuitOf(a) >= SuitOf(b))) {
                    std::swap(hand[p - 1], hand[p]);
                    exchanged = true;
                }
            }
            if (!exchanged) break;
        }
    }
}

// ---------------------------------------------------------------------------
// Combination rules

namespace {

int R(const std::uint8_t* cards, int i) {
    return GameTable::RankOf(static_cast<std::int8_t>(cards[i]));
}
int S(const std::uint8_t* cards, int i) {
    return GameTable::SuitOf(static_cast<std::int8_t>(cards[i]));
}

// A group of n cards stands in places 0..n-1 of its buffer. An empty place
// among them would read as an eight of suit 4 and could pass for a pair, a
// run or a flush, so such a buffer is no group at all.
bool HoldsCards(const std::uint8_t* cards, int n) {
    for (int i = 0; i < n; ++i) {
        if (cards[i] >= DECK_SIZE) return false;
    }
    return true;
}

}  // namespace

int GameTable::IsPair(const std::uint8_t* cards) {
    return R(cards, 1) == R(cards, 0) ? 1 : 0;
}

int GameTable::IsTriple(const std::uint8_t* cards) {
    return (R(cards, 1) == R(cards, 0) && R(cards, 2) == R(cards, 0)) ? 1 : 0;
}

int GameTable::IsStraight(const std::uint8_t* cards) {
    const int top = R(cards, 4);
    if (R(cards, 3) != top - 1 || R(cards, 2) != top - 2 || R(cards, 1) != top - 3) return 0;
    if (R(cards, 0) == top - 4) return 1;
    if (R(cards, 0) == 0 && top == 12) return 1;  // the ace before ten to king
    return 0;
}

int GameTable::IsFlush(const std::uint8_t* cards) {
    const int suit = S(cards, 0);
    return (S(cards, 4) == suit && S(cards, 3) == suit && S(cards, 2) == suit &&
            S(cards, 1) == suit)
               ? 1
               : 0;
}

int GameTable::IsFullHouse(const std::uint8_t* cards) {
    if (IsTriple(cards) && IsPair(cards + 3)) return 1;
    if (IsPair(cards) && IsTriple(cards + 2)) return 1;
    return 0;
}

int GameTable::IsFourOfAKind(const std::uint8_t* cards) {
    if (IsPair(cards) && IsPair(cards + 2) && R(cards, 0) == R(cards, 2)) return 1;
    if (IsPair(cards + 1) && IsPair(cards + 3) && R(cards, 1) == R(cards, 3)) return 1;
    return 0;
}

int GameTable::IsStraightFlush(const std::uint8_t* cards) {
    return (IsFlush(cards) && IsStraight(cards)) ? 1 : 0;
}

int GameTable::CardValue(const std::uint8_t* cards, int n) {
    int found = -1;
    for (int i = 0; i < n; ++i) {
        if (cards[i] != NO_CARD && R(cards, i) == 1) found = 56 + S(cards, i);
    }
    if (found >= 0) return found;
    for (int i = 0; i < n; ++i) {
        if (cards[i] != NO_CARD && R(cards, i) == 0) found = 52 + S(cards, i);
    }
    if (found >= 0) return found;
    for (int i = n - 1; i >= 0; --i) {
        if (cards[i] != NO_CARD) return 4 * R(cards, i) + S(cards, i);
    }
    return NO_CARD;
}

int GameTable::IsValidPlay(const std::uint8_t* cards, int n) {
    if (n >= 1 && n <= PLAY_SIZE && !HoldsCards(cards, n)) return 0;
    switch (n) {
        case 1:
            return 1;
        case 2:
            return IsPair(cards);
        case 3:
            return IsTriple(cards);
        case 5:
            return (IsStraight(cards) || IsFlush(cards) || IsFullHouse(cards) ||
                    IsFourOfAKind(cards))
                       ? 1
                       : 0;
        default:
            return 0;
    }
}

FiveCardKind GameTable::KindOfFive(const std::uint8_t* cards) {
    if (IsStraightFlush(cards)) return FiveCardKind::kStraightFlush;
    if (IsStraight(cards)) return FiveCardKind::kStraight;
    if (IsFlush(cards)) return FiveCardKind::kFlush;
    if (IsFullHouse(cards)) return FiveCardKind::kFullHouse;
    if (IsFourOfAKind(cards)) return FiveCardKind::kFourOfAKind;
    return FiveCardKind::kNone;
}

int GameTable::ComparePlays(const std::uint8_t* table, const std::uint8_t* play, int n) {
    if (n <= 0) return 2;
    if (n <= 3) {
        if (CountCards(table, PLAY_SIZE) != n || CountCards(play, PLAY_SIZE) != n) return 2;
        if (!HoldsCards(table, n) || !HoldsCards(play, n)) return 2;
        if (n == 2 && (!IsPair(table) || !IsPair(play))) return 2;
        if (n == 3 && (!IsTriple(table) || !IsTriple(play))) return 2;
        return CardValue(table, n) <= CardValue(play, n) ? 1 : 0;
    }
    if (n != 5) return 2;

    if (!HoldsCards(table, PLAY_SIZE) || !HoldsCards(play, PLAY_SIZE)) return 2;
    const FiveCardKind tableKind = KindOfFive(table);
    if (tableKind == FiveCardKind::kNone) return 2;
    const FiveCardKind playKind = KindOfFive(play);
    if (playKind == FiveCardKind::kNone) return 2;
    if (tableKind > playKind) return 0;
    if (tableKind < playKind) return 1;

    if (tableKind == FiveCardKind::kFullHouse || tableKind == FiveCardKind::kFourOfAKind) {
        // In hand order place 2 always belongs to the three or the four.
        return CardValue(table + 2, 1) <= CardValue(play + 2, 1) ? 1 : 0;
    }

    // Straights, flushes and straight flushes: a two, then an ace, then the
    // ranks from the top down, then the suit of the strongest card.
    const bool tableTwo = R(table, 0) == 1 || R(table, 1) == 1;
    const bool playTwo = R(play, 0) == 1 || R(play, 1) == 1;
    if (tableTwo && !playTwo) return 0;
    if (playTwo && !tableTwo) return 1;
    const bool tableAce = R(table, 0) == 0;
    const bool playAce = R(play, 0) == 0;
    if (tableAce && !playAce) return 0;
    if (playAce && !tableAce) return 1;
    for (int i = 4; i >= 0; --i) {
        if (R(table, i) > R(play, i)) return 0;
        if (R(table, i) < R(play, i)) return 1;
    }
    return CardValue(table, 5) <= CardValue(play, 5) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Playing, passing and settlement

int GameTable::Charge(int cardsLeft) {
    if (cardsLeft >= 13) return 39;
    if (cardsLeft >= 10) return 2 * cardsLeft;
    return cardsLeft;
}

namespace {

// The cards a play takes from the hand: in hand order, with their positions.
struct ChosenCards {
    std::uint8_t buffer[PLAY_SIZE];
    std::uint8_t positions[PLAY_SIZE];
    int count;
    bool holdsOpening;  // it holds the three of diamonds while the game must open with it
};

MoveRefusal ExaminePlay(const GameTable& table, int seat, const std::uint8_t* chosen,
                        ChosenCards* cards) {
    if (!IsSeat(seat)) return MoveRefusal::kNoSeat;
    if (table.roundOver != 0) return MoveRefusal::kRoundOver;
    if (seat != table.turn) return MoveRefusal::kNotYourTurn;

    std::memset(cards->buffer, NO_CARD, sizeof cards->buffer);
    std::memset(cards->positions, NO_CARD, sizeof cards->positions);
    int n = 0;
    bool holdsOpening = false;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (chosen[p] == 0) continue;
        const std::uint8_t card = table.hands[seat][p];
        // A seat cannot play a card it no longer holds.
        if (card == NO_CARD) return MoveRefusal::kCardNotHeld;
        if (n < PLAY_SIZE) {
            cards->positions[n] = static_cast<std::uint8_t>(p);
            cards->buffer[n] = card;
        }
        if (table.mustOpenLowest != 0 && card == CARD_OPENING) holdsOpening = true;
        ++n;
    }
    cards->count = n;
    cards->holdsOpening = holdsOpening;
    if (n == 0) return MoveRefusal::kNoCardChosen;
    const bool freeLead = table.tableCount == 0 || table.leader == seat;
    if (!freeLead && n != table.tableCount) return MoveRefusal::kWrongCardCount;
    if (n > PLAY_SIZE) return MoveRefusal::kTooManyCards;
    if (table.mustOpenLowest != 0 && !holdsOpening) return MoveRefusal::kOpeningCardMissing;

    if (freeLead) {
        return GameTable::IsValidPlay(cards->buffer, n) ? MoveRefusal::kNone
                                                        : MoveRefusal::kNotACombination;
    }
    if (n > 3 && n != PLAY_SIZE) return MoveRefusal::kNotACombination;
    switch (GameTable::ComparePlays(table.tablePlay, cards->buffer, n)) {
        case 1:
            return MoveRefusal::kNone;
        case 0:
            return MoveRefusal::kDoesNotBeat;
        default:
            return MoveRefusal::kNotACombination;
    }
}

}  // namespace

MoveRefusal GameTable::PlayRefusal(int seat, const std::uint8_t* chosen) const {
    ChosenCards cards;
    return ExaminePlay(*this, seat, chosen != nullptr ? chosen : selection, &cards);
}

MoveRefusal GameTable::PassRefusal(int seat) const {
    if (!IsSeat(seat)) return MoveRefusal::kNoSeat;
    if (roundOver != 0) return MoveRefusal::kRoundOver;
    if (seat != turn) return MoveRefusal::kNotYourTurn;
    if (seat == leader) return MoveRefusal::kLeaderCannotPass;
    return MoveRefusal::kNone;
}

int GameTable::Play(int seat, const std::uint8_t* chosen) {
    if (chosen == nullptr) chosen = selection;
    ChosenCards cards;
    if (ExaminePlay(*this, seat, chosen, &cards) != MoveRefusal::kNone) return 0;

    if (cards.holdsOpening) mustOpenLowest = 0;
    for (int i = 0; i < cards.count; ++i) hands[seat][cards.positions[i]] = NO_CARD;
    tableCount = cards.count;
    leader = seat;
    std::memcpy(tablePlay, cards.buffer, sizeof cards.buffer);
    std::memcpy(lastPlays[seat], cards.buffer, sizeof cards.buffer);
    if (CountCards(hands[seat], HAND_SIZE) == 0) Settle(seat);

    // The turn moves on even when the round has just ended.
    turn = NextSeat(turn);
    passed[turn] = 0;
    std::memset(lastPlays[turn], NO_CARD, PLAY_SIZE);
    return 1;
}

void GameTable::Settle(int winner) {
    RoundResult record{};
    int total = 0;
    int s = winner;
    for (int i = 0; i < SEAT_COUNT - 1; ++i) {
        s = NextSeat(s);
        const int charge = Charge(CountCards(hands[s], HAND_SIZE));
        total += charge;
        record.charged[s] = static_cast<std::uint8_t>(charge);
        money[s] -= charge;
    }
    record.charged[winner] = 0;
    money[winner] += total;
    wins[winner] += 1;
    roundOver = 1;

    // The history grows by one record; if it cannot grow, the records already
    // there are kept and the count stays equal to them.
    const std::size_t count = static_cast<std::size_t>(roundsPlayed) + 1;
    auto* grown = static_cast<RoundResult*>(std::realloc(history, count * sizeof(RoundResult)));
    if (grown == nullptr) return;
    history = grown;
    history[count - 1] = record;
    roundsPlayed = static_cast<std::int32_t>(count);
}

int GameTable::Pass(int seat) {
    if (PassRefusal(seat) != MoveRefusal::kNone) return 0;
    passed[seat] = 1;
    std::memset(lastPlays[seat], NO_CARD, PLAY_SIZE);
    turn = NextSeat(turn);
    passed[turn] = 0;
    std::memset(lastPlays[turn], NO_CARD, PLAY_SIZE);
    return 1;
}
