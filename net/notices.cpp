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

void ComputerSeatName(int seat, const char* leaverName, char out[NAME_SIZE]) {
    std::memset(out, 0, NAME_SIZE);
    if (leaverName == nullptr || leaverName[0] == '\0') {
        std::snprintf(out, NAME_SIZE, COMPUTER_NAME, seat);
        return;
    }
    const std::size_t mark = std::strlen(COMPUTER_MARK);
    std::size_t length = strnlen(leaverName, NAME_MAX_CHARS);
    if (length + mark > NAME_MAX_CHARS) {
        length = NAME_MAX_CHARS - mark;
        // Never cut inside a character: continuation bytes are 10xxxxxx.
        while (length > 0 && (static_cast<unsigned char>(leaverName[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    std::memcpy(out, leaverName, length);
    std::memcpy(out + length, COMPUTER_MARK, mark);
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
