#include "bot/computer_player.h"

#include "bot/easy_strategy.h"
#include "bot/strategy.h"

ComputerPlayer::ComputerPlayer(BotLevel level, std::uint64_t seed) : level_(level), random_(seed) {}

Move ComputerPlayer::Choose(const GameTable& table, int seat) {
    lastSearch_ = SearchStats{};
    switch (level_) {
        case BotLevel::kEasy:
            return ChooseEasyMove(table, seat, random_);
        case BotLevel::kHard:
            return ChooseSearchedMove(table, seat, record_, random_, search_, &lastSearch_);
        case BotLevel::kNormal:
            break;
    }
    const Memory memory = record_.Gone();
    return ChooseMove(table, seat, &memory);
}
