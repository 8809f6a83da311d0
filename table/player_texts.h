// The texts of the two information boxes of the table window, built from the
// seat table and the game table with bounded formatting.
#pragma once

#include <string>

// "Connected players: N" and, for each occupied seat, its number, name and
// address (the host's own seat shows the address it listens on).
std::string PlayerInfoText();
// The statistics of the first round of the current game: rounds played, and
// for each seat its name and the cards charged to it in that round. Empty
// while no round has been played.
std::string SaveGameText();
