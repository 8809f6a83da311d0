// Texts that arrive in fixed-size byte fields (nicknames) or as NUL-terminated
// byte strings (chat lines, notices) are UTF-8. The window decodes them here,
// never reading past the field: a name without its NUL ends at the field's end.
#pragma once

#include <QString>
#include <cstddef>
#include <cstring>

inline QString TextFromBytes(const char* bytes, std::size_t capacity) {
    if (bytes == nullptr) return QString();
    const std::size_t length = strnlen(bytes, capacity);
    return QString::fromUtf8(bytes, static_cast<qsizetype>(length));
}

inline QString TextFromBytes(const char* text) {
    if (text == nullptr) return QString();
    return QString::fromUtf8(text);
}
