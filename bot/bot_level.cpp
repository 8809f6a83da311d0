#include "bot/bot_level.h"

const char* BotLevelName(BotLevel level) {
    switch (level) {
        case BotLevel::kEasy:
            return "easy";
        case BotLevel::kNormal:
            return "normal";
        case BotLevel::kHard:
            return "hard";
    }
    return "normal";
}

const char* BotLevelLabel(BotLevel level) {
    switch (level) {
        case BotLevel::kEasy:
            return "Facile";
        case BotLevel::kNormal:
            return "Normal";
        case BotLevel::kHard:
            return "Difficile";
    }
    return "Normal";
}

bool ParseBotLevel(std::string_view text, BotLevel* level) {
    for (BotLevel candidate : BOT_LEVELS) {
        if (text == BotLevelName(candidate)) {
            *level = candidate;
            return true;
        }
    }
    return false;
}
