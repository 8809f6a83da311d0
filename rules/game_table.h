// The game-table record and every rule of the game.
//
// Every program at a table holds one GameTable. The copies stay equal by two
// means only: the host deals and sends the 65-byte `hands` block to the
// clients, and every program applies the same plays and passes, in the host's
// order, through Play and Pass. Nothing else of the record travels.
//
// Cards are bytes 0..51: suit = card / 13 (0 diamonds, 1 clubs, 2 hearts,
// 3 spades), rank index = card % 13 (0 ace, 1 two, 2 three ... 12 king).
// Per-seat arrays have five elements indexed by seat number 1..4; element 0
// belongs to no player.
//
// Operations that accept or refuse return 1 (accepted and applied) or 0
// (refused, the record byte-for-byte unchanged); comparisons of plays return
// 0, 1 or 2 (2 = the two cannot be compared).
#pragma once

#include <cstdint>
#include <functional>

// Marks an empty slot in every card array: a played hand position, an unused
// place of a play of fewer than five cards, a cleared display. 85 is no card:
// SuitOf gives 4 for it and RankOf 7.
constexpr std::uint8_t NO_CARD = 0x55;

// The three of diamonds: the lowest card in play order. Its holder opens a new
// game and the first play of a new game must contain it.
constexpr std::uint8_t CARD_OPENING = 2;

constexpr int SEAT_COUNT = 4;  // seats 1..4; per-seat arrays have SEAT_COUNT + 1 elements
constexpr int HAND_SIZE = 13;  // positions per hand
constexpr int PLAY_SIZE = 5;   // places in a play buffer
constexpr int DECK_SIZE = 52;
constexpr int START_MONEY = 100;

// The five-card combinations, weakest kind first: a hand of a higher kind
// beats any hand of a lower one. kNone is five cards that are no combination.
enum class FiveCardKind : std::uint8_t {
    kNone,
    kStraight,
    kFlush,
    kFullHouse,
    kFourOfAKind,
    kStraightFlush,
};
constexpr int FIVE_CARD_KIND_COUNT = static_cast<int>(FiveCardKind::kStraightFlush) + 1;

// Why GameTable::Play or GameTable::Pass refuses a move; kNone when it would
// be accepted.
enum class MoveRefusal : std::uint8_t {
    kNone,
    kNoSeat,              // the seat is not one of 1..4
    kRoundOver,           // the round has ended; nothing is played until the next deal
    kNotYourTurn,         // another seat is on turn
    kNoCardChosen,        // a play of no card
    kCardNotHeld,         // a chosen position no longer holds a card
    kWrongCardCount,      // the play to beat has tableCount cards and this one another count
    kTooManyCards,        // more than five cards
    kOpeningCardMissing,  // the first play of a game must contain the three of diamonds
    kNotACombination,     // the cards are no combination (or not one of the table's kind)
    kDoesNotBeat,         // a combination of the table's kind that does not beat it
    kLeaderCannotPass,    // the seat that holds the lead (or opens the game) may not pass
};

// One finished round: byte s (1..4) is the number of cards charged to seat s
// (0 for the winner, at most 39). Byte 0 is never written or read.
struct RoundResult {
    std::uint8_t charged[SEAT_COUNT + 1];
};
static_assert(sizeof(RoundResult) == 5, "a round result is five bytes");

// Where the deal takes its seed. By default the millisecond tick count of the
// machine (time since boot); tests and reproducible tables install their own.
// Passing an empty function restores the tick count.
using DealSeedSource = std::function<std::uint32_t()>;
void SetDealSeedSource(DealSeedSource source);
std::uint32_t TickCount();  // milliseconds since the machine started

// The deal's random number generator: a 32-bit linear congruential generator.
class DealRandom {
  public:
    explicit DealRandom(std::uint32_t seed) : state_(seed) {}
    // state = state * 214013 + 2531011 (mod 2^32); yields (state >> 16) & 0x7FFF.
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }
    std::uint32_t State() const { return state_; }

  private:
    std::uint32_t state_;
};

class GameTable {
  public:
    // Fields in their declared order. The record is plain data apart from
    // `history`, which it owns.

    // Seats 0..4, 13 positions each; a played position holds NO_CARD and
    // positions never move. This block is the MSG_DEAL payload, byte
    // 13 * s + p being position p of seat s.
    std::uint8_t hands[SEAT_COUNT + 1][HAND_SIZE];
    // Per seat, the cards it put down on its latest action in this lead.
    std::uint8_t lastPlays[SEAT_COUNT + 1][PLAY_SIZE];
    // The play to beat, in places 0..tableCount-1, NO_CARD in the rest.
    std::uint8_t tablePlay[PLAY_SIZE];
    std::int32_t leader;      // the seat that made tablePlay; 0 before the first deal
    std::int32_t turn;        // the seat whose action is awaited
    std::int32_t tableCount;  // cards in tablePlay: 0, 1, 2, 3 or 5
    // The local player's chosen hand positions: 0 = not chosen, else chosen.
    std::uint8_t selection[HAND_SIZE];
    std::uint8_t passed[SEAT_COUNT + 1];  // 1 if the seat passed on its latest turn
    std::uint8_t roundOver;               // 1 from a seat going out until the next deal
    std::int32_t roundsPlayed;            // finished rounds since the new game
    std::int32_t money[SEAT_COUNT + 1];   // 100 each at a new game; may go negative
    std::int32_t wins[SEAT_COUNT + 1];    // rounds won since the new game
    // One record per finished round, oldest first; null while empty. Always
    // holds exactly roundsPlayed records.
    RoundResult* history;
    std::int32_t mustOpenLowest;  // 1 = the next accepted play must contain CARD_OPENING

    // A fresh record holds a complete new game: dealt, sorted, seat of the
    // three of diamonds on turn, money 100 and wins 0 everywhere.
    GameTable();
    ~GameTable();
    GameTable(const GameTable& other);
    GameTable& operator=(const GameTable& other);

    // Card model. These read no field of the record.
    static int SuitOf(std::int8_t card);                      // 0..3 for a card, 4 for NO_CARD
    static int RankOf(std::int8_t card);                      // card mod 13; 7 for NO_CARD
    static int CountCards(const std::uint8_t* cards, int n);  // cards that are not NO_CARD

    // Shuffles with a seed from the deal seed source, deals 13 cards to each
    // of seats 1..4, then (newGame) StartNewGame, ResetRound, SortHands.
    void Deal(int newGame);
    // The same with an explicit seed: what Deal does after taking its seed.
    void DealWithSeed(std::uint32_t seed, int newGame);
    // Finds the holder of the three of diamonds, gives it turn and lead, and
    // resets money, wins and history. Changes nothing if no seat holds it.
    void StartNewGame();
    // Clears the table, the latest plays, the selection and the passes, and
    // gives the turn to `leader`.
    void ResetRound();
    // Sorts each of seats 1..4 into hand order (rank index, then suit).
    void SortHands();

    // Combination tests on a five-byte play buffer in hand order.
    static int IsPair(const std::uint8_t* cards);
    static int IsTriple(const std::uint8_t* cards);
    static int IsStraight(const std::uint8_t* cards);
    static int IsFlush(const std::uint8_t* cards);
    static int IsFullHouse(const std::uint8_t* cards);
    static int IsFourOfAKind(const std::uint8_t* cards);
    static int IsStraightFlush(const std::uint8_t* cards);
    // The kind of five cards in hand order (a straight flush is only that).
    static FiveCardKind KindOfFive(const std::uint8_t* cards);
    // Play value of the group's strongest card; 85 if it holds no card.
    static int CardValue(const std::uint8_t* cards, int n);
    // 1 if the n cards are a legal combination for a free lead. A group must
    // fill places 0..n-1 with cards; an empty place among them makes it no
    // combination (0 here, 2 from ComparePlays).
    static int IsValidPlay(const std::uint8_t* cards, int n);
    // 1 = play beats table, 0 = it does not, 2 = they cannot be compared.
    static int ComparePlays(const std::uint8_t* table, const std::uint8_t* play, int n);

    // The seat plays the chosen hand positions (13 bytes, non-zero = chosen;
    // null = this record's `selection`). 1 = accepted and applied, 0 =
    // refused and the record unchanged. A seat outside 1..4, a seat not on
    // turn, a finished round, a chosen position that holds no card, more than
    // five cards, a missing three of diamonds at the opening, or a play that
    // does not fit or does not beat the table are refused.
    int Play(int seat, const std::uint8_t* chosen);
    // The seat on turn gives up this turn. Refused for a seat outside 1..4,
    // a seat not on turn, the holder of the lead, or a finished round.
    int Pass(int seat);
    // Why Play(seat, chosen) or Pass(seat) would refuse, read from the record
    // as it is: kNone exactly when the move would be accepted (Play and Pass
    // decide through these). A refused play gives the first reason found in
    // this order: the seat, the round, the turn, the chosen cards (none, one
    // not held, a count other than the table's, more than five), the
    // opening card, the combination, the comparison.
    MoveRefusal PlayRefusal(int seat, const std::uint8_t* chosen) const;
    MoveRefusal PassRefusal(int seat) const;

    // Cards charged to a losing hand with this many cards left.
    static int Charge(int cardsLeft);
    // Play value of one card (three of diamonds 8 ... two of spades 59).
    static int PlayValue(std::uint8_t card);

  private:
    void Settle(int winner);
};
