// The chat log: where appended text goes, the restart above the limit, and
// the refusal of every change the player tries to make.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <string>

#include "ui/chat_box.h"

namespace {

class ChatLogTest : public ::testing::Test {
  protected:
    // Fills the log with `count` characters as the appends count them: lines
    // of 1022 letters and "\r\n" (1024 each), then single letters.
    void FillTo(int count) {
        const std::string line = std::string(1022, 'a') + "\r\n";
        while (log.Length() + 1024 <= count) AppendChatText(&log, line.c_str());
        while (log.Length() < count) AppendChatText(&log, "b");
        ASSERT_EQ(log.Length(), count);
    }

    void SelectRange(int from, int to) {
        QTextCursor cursor = log.textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        log.setTextCursor(cursor);
    }

    ChatLog log;
};

}  // namespace

TEST_F(ChatLogTest, CountsAppendedCharactersWithCrLfAsTwoAndShowsOneLineBreak) {
    AppendChatText(&log, "Anne: ");
    AppendChatText(&log, "salut\r\n");
    AppendChatText(&log, "[Vantoro]>> Connection closed.\r\n");
    EXPECT_EQ(log.Length(), 6 + 7 + 32);
    EXPECT_EQ(log.toPlainText(), QStringLiteral("Anne: salut\n[Vantoro]>> Connection closed.\n"));
    // Names and lines arrive as UTF-8.
    AppendChatText(&log, "Zoë\r\n");
    EXPECT_TRUE(log.toPlainText().endsWith(QStringLiteral("Zoë\n")));
    EXPECT_EQ(log.Length(), 45 + 5);

    log.Clear();
    EXPECT_EQ(log.Length(), 0);
    AppendChatText(&log, "again");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("again"));
    EXPECT_EQ(log.Length(), 5);
}

TEST_F(ChatLogTest, AtExactlyTheLimitTheTextStillGoesAtTheEnd) {
    FillTo(CHAT_LOG_LIMIT);
    AppendChatText(&log, "end\r\n");
    EXPECT_EQ(log.Length(), CHAT_LOG_LIMIT + 5);
    EXPECT_TRUE(log.toPlainText().endsWith(QStringLiteral("aa\nend\n")));
    EXPECT_TRUE(log.toPlainText().startsWith(QStringLiteral("aaaa")));
}

TEST_F(ChatLogTest, AboveTheLimitTheTextReplacesTheWholeLog) {
    FillTo(CHAT_LOG_LIMIT + 1);
    AppendChatText(&log, "fresh\r\n");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("fresh\n"));
    EXPECT_EQ(log.Length(), 7);
    // And the log grows again from there.
    AppendChatText(&log, "next");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("fresh\nnext"));
}

TEST_F(ChatLogTest, AppendDropsTheSelectionAndShowsTheEnd) {
    log.resize(200, 80);
    log.show();
    for (int i = 0; i < 40; ++i) AppendChatText(&log, "line\r\n");
    QCoreApplication::processEvents();
    SelectRange(0, 4);
    log.verticalScrollBar()->setValue(0);
    ASSERT_TRUE(log.textCursor().hasSelection());
    QTextCursor end = log.textCursor();
    end.movePosition(QTextCursor::End);
    ASSERT_FALSE(log.viewport()->rect().contains(log.cursorRect(end))) << "the end is out of view";

    AppendChatText(&log, "last");
    QCoreApplication::processEvents();
    EXPECT_FALSE(log.textCursor().hasSelection());
    EXPECT_TRUE(log.textCursor().atEnd());
    EXPECT_TRUE(log.toPlainText().endsWith(QStringLiteral("line\nlast")));
    EXPECT_TRUE(log.viewport()->rect().contains(log.cursorRect()))
        << "the caret is scrolled into view";
}

TEST_F(ChatLogTest, RefusesTypingBackspaceDeleteAndPaste) {
    log.show();
    log.setFocus();
    AppendChatText(&log, "keep this\r\n");
    const QString before = log.toPlainText();
    QApplication::clipboard()->setText(QStringLiteral("pasted"));

    SelectRange(0, 4);
    QTest::keyClicks(&log, "typed");
    QTest::keyClick(&log, Qt::Key_Backspace);
    QTest::keyClick(&log, Qt::Key_Delete);
    QTest::keyClick(&log, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&log, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(&log, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&log, Qt::Key_Return);
    EXPECT_EQ(log.toPlainText(), before);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("pasted"));
    EXPECT_EQ(log.Length(), 11);
}

TEST_F(ChatLogTest, CutCopiesTheSelectionAndKeepsTheText) {
    log.show();
    log.setFocus();
    AppendChatText(&log, "Anne: bonjour\r\n");
    const QString before = log.toPlainText();

    QApplication::clipboard()->setText(QStringLiteral("old"));
    SelectRange(0, 4);
    QTest::keyClick(&log, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Anne"));
    EXPECT_EQ(log.toPlainText(), before);

    SelectRange(6, 13);
    QTest::keyClick(&log, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("bonjour"));

    SelectRange(0, 3);
    QTest::keyClick(&log, Qt::Key_Delete, Qt::ShiftModifier);  // the other cut key
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Ann"));
    EXPECT_EQ(log.toPlainText(), before);

    // Selecting with the keyboard works: Shift+End from the start of the text.
    SelectRange(0, 0);
    QTest::keyClick(&log, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(log.textCursor().selectedText(), QStringLiteral("Anne: bonjour"));
}
