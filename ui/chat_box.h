// The chat box: the chat log the player can read, select and copy but never
// change, and the text that reaches it through AppendChatText.
//
// The log is an ordinary multiline text view; the program alone writes to it.
// Typing, Backspace, Delete, paste, drops and undo do nothing; the cut command
// (Ctrl+X, Shift+Delete) copies the selection and removes nothing, Ctrl+C and
// Ctrl+Insert copy. Selecting with the mouse or the keyboard and moving the
// caret work as usual.
//
// The log's length is counted in characters of the texts as they were
// appended, "\r\n" counting two (it shows as one line break).
#pragma once

#include <QPlainTextEdit>

class QKeyEvent;

// Above this many characters the next appended text replaces the whole log.
constexpr int CHAT_LOG_LIMIT = 30720;

class ChatLog : public QPlainTextEdit {
  public:
    explicit ChatLog(QWidget* parent = nullptr);

    // The log's length in characters, counted as the appends counted them.
    qsizetype Length() const { return length_; }
    // Empties the log (the "Effacer la boîte de chat" command).
    void Clear();
    // Puts `text` at the end, or replaces everything with it when the log
    // already holds more than CHAT_LOG_LIMIT characters; either way the user's
    // selection is dropped, the caret goes to the end and is scrolled into view.
    void Append(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    qsizetype length_ = 0;
};

// Appends a NUL-terminated UTF-8 text at the end of the log (see
// ChatLog::Append). The caller supplies its own "\r\n". A null log or text
// does nothing.
void AppendChatText(ChatLog* log, const char* text);
