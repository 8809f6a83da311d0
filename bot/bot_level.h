// How strong a computer player plays. The table window's choice of level and
// vantoro-bot's --level both name one of these.
#pragma once

#include <string_view>

enum class BotLevel {
    kEasy,    // a beginner: its lowest cards that fit, no count, sometimes passes for nothing
    kNormal,  // the strategy of bot/strategy.h
    kHard,    // searches the cards it cannot see, playing every seat out with the strategy
};

constexpr BotLevel DEFAULT_BOT_LEVEL = BotLevel::kNormal;
constexpr BotLevel BOT_LEVELS[] = {BotLevel::kEasy, BotLevel::kNormal, BotLevel::kHard};

// The command-line name: "easy", "normal" or "hard".
const char* BotLevelName(BotLevel level);
// The label shown to players: "Facile", "Normal" or "Difficile".
const char* BotLevelLabel(BotLevel level);
// Reads a command-line name (exactly as BotLevelName writes it). Returns
// false, leaving *level alone, for any other text.
bool ParseBotLevel(std::string_view text, BotLevel* level);
