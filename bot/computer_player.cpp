#include "bot/computer_player.h"

#include "bot/easy_strategy.h"
#include "bot/strategy.h"

ComputerPlayer::ComputerPlayer(BotLevel level, std::uint64_t seed) : level_(level), random_(seed) {}

Move ComputerPlayer::Choose(const SeatView& view) {
    lastSearch_ = SearchStats{};
    switch (level_) {
        case BotLevel::kEasy:
            return ChooseEasyMove(view, random_);
        case BotLevel::kHard:
            return ChooseSearchedMove(view, record_, random_, search_, &lastSearch_);
        case BotLevel::kNormal:
            break;
    }
    return ChooseMove(view, &record_);
}
