#include "net/game_log.h"

#include <algorithm>

#include "net/wire.h"

GameLog g_gameLog;

void GameLog::Clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    base_ = 0;
    gameStart_ = 0;
    lastDeal_ = 0;
    dealt_ = false;
    hold_ = NO_HOLD;
}

void GameLog::Append(const std::uint8_t* msg, std::size_t len) {
    if (len == 0) return;
    if (msg[0] == MSG_DEAL) {
        lastDeal_ = End();
        if (!dealt_) gameStart_ = lastDeal_;
        dealt_ = true;
    }
    bytes_.insert(bytes_.end(), msg, msg + len);
    if (msg[0] == MSG_NEW_GAME) {
        gameStart_ = lastDeal_;
        LetGo();
    }
}

const std::uint8_t* GameLog::GameData() const {
    return bytes_.data() + (gameStart_ - base_);
}

std::size_t GameLog::GameSize() const {
    return static_cast<std::size_t>(End() - gameStart_);
}

void GameLog::Hold(std::uint64_t at) {
    hold_ = at;
    LetGo();
}

void GameLog::LetGo() {
    const std::uint64_t keepFrom = std::min(gameStart_, std::max(hold_, base_));
    if (keepFrom <= base_) return;
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(keepFrom - base_));
    base_ = keepFrom;
}
