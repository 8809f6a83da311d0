#include "ui/chat_box.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QTextCursor>

#include "ui/wire_text.h"

ChatLog::ChatLog(QWidget* parent) : QPlainTextEdit(parent) {
    // Read-only refuses every change (typing, Backspace, Delete, paste, drops);
    // the flags keep the caret and the selection by mouse and keyboard.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Anything that empties the document (also a direct clear()) restarts the count.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (document()->isEmpty()) length_ = 0;
    });
}

void ChatLog::Clear() {
    clear();
    length_ = 0;
}

void ChatLog::Append(const QString& text) {
    QTextCursor cursor = textCursor();
    if (length_ <= CHAT_LOG_LIMIT) {
        cursor.movePosition(QTextCursor::End);
        // insertText turns "\r\n" (and a lone "\r" or "\n") into one line break.
        cursor.insertText(text);
        length_ += text.size();
    } else {
        setPlainText(text);
        length_ = text.size();
        cursor = textCursor();
    }
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ChatLog::keyPressEvent(QKeyEvent* event) {
    // Cutting copies and leaves the text in place.
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void AppendChatText(ChatLog* log, const char* text) {
    if (log == nullptr || text == nullptr) return;
    log->Append(TextFromBytes(text));
}
