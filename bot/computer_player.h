// A computer player of any level, for every front end that seats one: the
// host's computer-held seats, vantoro-bot, and a seat whose player is away.
//
// The front end tells it what the table shows as it happens (a new deal,
// each play, each pass) and asks it for a move on its turn, handing it the
// table as its seat sees it (SeatView): its own hand, the public fields of
// the table (the play to beat, the lead, the turn, the passes, the latest
// plays, money and wins), how many cards each other seat holds. With the
// round's record of plays and passes, that is all it knows; the view holds
// no other seat's cards, although every copy of the table does.
//
// A player started in the middle of a round is handed the round's record so
// far (Resume); a front end with several players at one table may keep one
// RoundRecord and hand each player a copy.
#pragma once

#include <cstdint>

#include "bot/bot_level.h"
#include "bot/bot_random.h"
#include "bot/moves.h"
#include "bot/round_record.h"
#include "bot/search.h"
#include "bot/seat_view.h"
#include "rules/game_table.h"

class ComputerPlayer {
  public:
    // Every choice is determined by the level, the seed and what the player
    // is told: the same seed at the same table gives the same moves.
    ComputerPlayer(BotLevel level, std::uint64_t seed);

    BotLevel Level() const { return level_; }

    // A new round has been dealt: the record starts empty.
    void NewRound() { record_.NewRound(); }
    // Seat `seat` played the cards of a play buffer (GameTable::tablePlay
    // just after the play).
    void SawPlay(int seat, const std::uint8_t cards[PLAY_SIZE]) { record_.Played(seat, cards); }
    // Seat `seat` passed.
    void SawPass(int seat) { record_.Passed(seat); }
    // Takes the round's record so far in place of its own.
    void Resume(const RoundRecord& record) { record_ = record; }
    const RoundRecord& Record() const { return record_; }

    // The move for the view's seat: always one the table accepts (one of
    // LegalMoves), or a pass, which the table refuses, when the seat has no
    // move (not on turn, round over). The front end applies it and then
    // tells the player, as for anybody's move.
    Move Choose(const SeatView& view);

    // The hard level's search, for benchmarks.
    void SetSearchParams(const SearchParams& params) { search_ = params; }
    const SearchStats& LastSearch() const { return lastSearch_; }

  private:
    BotLevel level_;
    BotRandom random_;
    RoundRecord record_;
    SearchParams search_;
    SearchStats lastSearch_;
};
