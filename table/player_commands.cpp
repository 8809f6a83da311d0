// The player's commands on the table window. Their behaviour (card selection,
// playing, passing, the next round, the away flag, chat, player information
// and the statistics box) is the work of the player's-commands change; until
// it lands these hooks do nothing, so a click or a button changes nothing.
#include "table/table_window.h"

void TableWindow::OnPlay() {}
void TableWindow::OnPass() {}
void TableWindow::OnNextRound() {}
void TableWindow::OnAway() {}
void TableWindow::OnSendChat() {}
void TableWindow::OnPlayerInfo() {}
void TableWindow::OnSaveGame() {}
void TableWindow::OnLButtonDown(int /*x*/, int /*y*/) {}
