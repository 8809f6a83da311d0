// What a player at one seat may know of the table, and nothing more: its own
// hand, the public fields (the play to beat, the lead, the turn, the passes,
// the latest plays, whether the opening card is due), how many cards each seat
// holds, the money, the wins and the history of finished rounds. The other
// seats' cards are not in its interface, so the computer player, which sees
// the table only through a SeatView, cannot read them although every copy of
// the table holds them. The cards played earlier in the round are the
// player's own record (RoundRecord), which it is told as the round goes.
//
// A view reads the table in place: it is valid while the table lives, shows
// the table's changes, and costs nothing to build.
#pragma once

#include <cstdint>

#include "rules/game_table.h"

class SeatView {
  public:
    // The table as seat `seat` sees it. A seat outside 1..4 gives the view of
    // seat 0, which holds no cards and is never on turn.
    SeatView(const GameTable& table, int seat)
        : table_(table), seat_(seat >= 1 && seat <= SEAT_COUNT ? seat : 0) {}

    int Seat() const { return seat_; }
    // The seat's 13 hand positions, NO_CARD where a card has been played.
    const std::uint8_t* Hand() const { return table_.hands[seat_]; }
    // The number of cards seat `s` (1..4) holds; 0 for any other number.
    int Held(int s) const {
        return s >= 1 && s <= SEAT_COUNT ? GameTable::CountCards(table_.hands[s], HAND_SIZE) : 0;
    }

    // The play to beat, in places 0..TableCount()-1, NO_CARD in the rest.
    const std::uint8_t* TablePlay() const { return table_.tablePlay; }
    int TableCount() const { return table_.tableCount; }
    int Leader() const { return table_.leader; }
    int Turn() const { return table_.turn; }
    // True when the seat may lead anything: nothing is on the table or its
    // own play is.
    bool FreeLead() const { return table_.tableCount == 0 || table_.leader == seat_; }
    // True when the next accepted play must hold the three of diamonds.
    bool MustOpenLowest() const { return table_.mustOpenLowest != 0; }
    bool RoundOver() const { return table_.roundOver != 0; }
    // Seat s's latest play in this lead (PLAY_SIZE places, NO_CARD after its
    // cards) and whether it passed on its latest turn; s in 0..4.
    const std::uint8_t* LastPlay(int s) const { return table_.lastPlays[s]; }
    bool Passed(int s) const { return table_.passed[s] != 0; }

    std::int32_t Money(int s) const { return table_.money[s]; }
    std::int32_t Wins(int s) const { return table_.wins[s]; }
    // The finished rounds of the game, oldest first: RoundsPlayed() records.
    int RoundsPlayed() const { return table_.roundsPlayed; }
    const RoundResult* History() const { return table_.history; }

    // A table that agrees with the view in every field it shows and holds
    // no other seat's card (their positions are NO_CARD): the start of a
    // world in which the search deals the cards the seat cannot see.
    GameTable PublicTable() const {
        GameTable world(table_);
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            if (s == seat_) continue;
            for (std::uint8_t& card : world.hands[s]) card = NO_CARD;
        }
        for (std::uint8_t& chosen : world.selection) chosen = 0;
        return world;
    }

  private:
    const GameTable& table_;
    int seat_;
};
