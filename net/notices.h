// Everything the network code shows a player: every status text and chat
// notice exactly as it appears, and the helpers that format them and hand
// them to the installed view (doing nothing while no view is installed).
//
// Texts are formatted with bounded formatting into the one scratch buffer
// g_textBuf, whose contents last until the next formatting call.
#pragma once

#include "net/seat_table.h"
#include "net/table_view.h"

// Status line.
constexpr const char* STATUS_WAITING_HOST = "Waiting user... %d more needed";
constexpr const char* STATUS_WAITING_CLIENT = "Connected, waiting user... %d more needed";
constexpr const char* STATUS_GAME_STARTED = "Game started";
constexpr const char* STATUS_NO_CONNECTION = "Ready/No Connection";
constexpr const char* STATUS_DISCONNECTED = "Disconnected from host";
constexpr const char* STATUS_CONNECTING = "Connecting...";  // joined, no seat given yet

// Chat-log notices. CHAT_NOTICE takes a nickname and one of the CHAT_*
// endings below it.
constexpr const char* CHAT_NOTICE = "[Vantoro]>> \"%s\" %s";
constexpr const char* CHAT_HOST_READY = "(Host) is ready, awaiting...\r\n";
constexpr const char* CHAT_IS_READY = "is ready.\r\n";
constexpr const char* CHAT_IS_READY_HOST = "is ready. (Host)\r\n";
constexpr const char* CHAT_HAS_LEFT = "has left.\r\n";
constexpr const char* CHAT_HOST_CLOSED = "[Vantoro]>> Host connection closed.\r\n";
constexpr const char* CHAT_HOST_FULL = "[Vantoro]>> Host connection full.\r\n";
constexpr const char* CHAT_CONNECTION_CLOSED = "[Vantoro]>> Connection closed.\r\n";
// The name of a seat the host's computer player holds from the start (with
// the seat number), and the mark added to the name of a player whose seat it
// keeps (the name cut so that both fit in 16 characters).
constexpr const char* COMPUTER_NAME = "Ordi %d";
constexpr const char* COMPUTER_MARK = " (ordi)";

// A chat line: the speaker's name, this, the text, CHAT_LINE_END.
constexpr const char* CHAT_SPEAKER_SEPARATOR = ": ";
constexpr const char* CHAT_LINE_END = "\r\n";

constexpr int TEXT_BUF_SIZE = 164;
extern char g_textBuf[TEXT_BUF_SIZE];

void ShowStatus(const char* text);
void ShowChat(const char* text);
void ShowAwayChecked(bool checked);
// Formats CHAT_NOTICE with the name (at most 16 characters of it, whatever
// its record holds) and `what` into g_textBuf and returns it.
const char* FormatNotice(const char* name, const char* what);
// Formats a waiting status (STATUS_WAITING_HOST or STATUS_WAITING_CLIENT)
// with the number of players still needed into g_textBuf and returns it.
const char* FormatWaitingStatus(const char* format, int needed);
// Shows a waiting status with 4 - g_playerCount players still needed.
void ShowWaitingStatus(const char* format);
// The name of a computer-held seat: COMPUTER_NAME with the seat, or, for
// the seat of a player who left, that player's name (cut between
// characters) followed by COMPUTER_MARK. Writes a NUL-terminated name of at
// most 16 characters into out.
void ComputerSeatName(int seat, const char* leaverName, char out[NAME_SIZE]);
// Shows a chat line of `seat`: its name (at most 16 characters), ": ", the
// text and the line end, in four appends.
void ShowChatLine(int seat, const char* text);
