#include "net/notices.h"

#include <cstdio>
#include <cstring>

char g_textBuf[TEXT_BUF_SIZE];

void ShowStatus(const char* text) {
    if (g_view != nullptr) g_view->SetStatusText(text);
}

void ShowChat(const char* text) {
    if (g_view != nullptr) g_view->AppendChatText(text);
}

void ShowRepaint() {
    if (g_view != nullptr) g_view->Repaint();
}

void ShowAwayChecked(bool checked) {
    if (g_view != nullptr) g_view->SetAwayChecked(checked);
}

namespace {

// A nickname is at most 16 characters, whatever its record holds.
void CopyNickname(const char* name, char out[NAME_SIZE]) {
    const std::size_t length = strnlen(name, NAME_MAX_CHARS);
    std::memcpy(out, name, length);
    out[length] = '\0';
}

}  // namespace

const char* FormatNotice(const char* name, const char* what) {
    char nickname[NAME_SIZE];
    CopyNickname(name, nickname);
    std::snprintf(g_textBuf, sizeof g_textBuf, CHAT_NOTICE, nickname, what);
    return g_textBuf;
}

const char* FormatWaitingStatus(const char* format, int needed) {
    std::snprintf(g_textBuf, sizeof g_textBuf, format, needed);
    return g_textBuf;
}

void ShowWaitingStatus(const char* format) {
    ShowStatus(FormatWaitingStatus(format, SEAT_COUNT - g_playerCount));
}

void ShowChatLine(int seat, const char* text) {
    if (seat < 0 || seat > SEAT_COUNT) return;
    char name[NAME_SIZE];
    CopyNickname(g_seats[seat].name, name);
    ShowChat(name);
    ShowChat(CHAT_SPEAKER_SEPARATOR);
    ShowChat(text);
    ShowChat(CHAT_LINE_END);
}
