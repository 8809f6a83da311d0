// The saved game: a file written from a game's messages reads back, and its
// replay shows at every position the table the live game had; every kind of
// damage is refused with its French message and the byte where it was found.
#include <gtest/gtest.h>

#include <cstring>

#include "bench/support/recorded_game.h"
#include "record/game_file.h"

namespace {

GameFileHeader SomeHeader() {
    GameFileHeader header;
    header.startedMs = 1765000000123;
    const char* names[] = {"", "Anne", "Bruno", "Chloé", "Ordi 4"};
    for (int s = 1; s <= SEAT_COUNT; ++s) std::strcpy(header.names[s], names[s]);
    header.playerSeat = 2;
    return header;
}

std::vector<std::uint8_t> FileOf(const RecordedGame& game) {
    return EncodeGameFile(SomeHeader(), game.messages.data(), game.messages.size());
}

void ExpectSameTable(const GameTable& live, const GameTable& replayed, int position) {
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        EXPECT_EQ(0, std::memcmp(live.hands[s], replayed.hands[s], HAND_SIZE))
            << "seat " << s << " at position " << position;
        EXPECT_EQ(live.money[s], replayed.money[s]) << "seat " << s << " at position " << position;
        EXPECT_EQ(live.wins[s], replayed.wins[s]) << "seat " << s << " at position " << position;
        EXPECT_EQ(0, std::memcmp(live.lastPlays[s], replayed.lastPlays[s], PLAY_SIZE));
    }
    EXPECT_EQ(live.roundsPlayed, replayed.roundsPlayed) << "at position " << position;
    EXPECT_EQ(live.turn, replayed.turn) << "at position " << position;
    EXPECT_EQ(live.roundOver, replayed.roundOver) << "at position " << position;
    EXPECT_EQ(0, std::memcmp(live.tablePlay, replayed.tablePlay, PLAY_SIZE));
}

GameFileError Refusal(const std::vector<std::uint8_t>& bytes) {
    GameFile file;
    GameFileError error;
    EXPECT_FALSE(ReadGameFile(bytes.data(), bytes.size(), &file, &error));
    return error;
}

// The offset of the n-th message (0-based) in the file.
std::size_t MessageOffset(const RecordedGame& game, std::size_t n) {
    return GAME_FILE_HEADER_SIZE + (n == 0 ? 0 : game.ends[n - 1]);
}

TEST(GameFile, ReadsBackHeaderAndReplaysTheLiveTableAtEveryPosition) {
    const RecordedGame game = PlayRecordedGame(6, 42);
    const std::vector<std::uint8_t> bytes = FileOf(game);
    GameFile file;
    GameFileError error;
    ASSERT_TRUE(ReadGameFile(bytes.data(), bytes.size(), &file, &error))
        << GameFileErrorText(error);
    EXPECT_EQ(1765000000123, file.header.startedMs);
    EXPECT_STREQ("Chloé", file.header.names[3]);
    EXPECT_EQ(2, file.header.playerSeat);
    EXPECT_EQ(game.messages, file.messages);

    GameReplay replay(&file);
    // Every message is a position but the new game, which joins the first deal's.
    ASSERT_EQ(static_cast<int>(game.tables.size()) - 1, replay.PositionCount());
    EXPECT_EQ(6, replay.RoundCount());
    // Forward through the game, then backward, then at random places: the
    // table is the live one wherever the replay comes from.
    for (int p = 0; p < replay.PositionCount(); ++p) {
        replay.GoTo(p);
        ExpectSameTable(game.tables[static_cast<std::size_t>(p + 1)], replay.Table(), p);
    }
    for (int p = replay.PositionCount() - 1; p >= 0; --p) {
        replay.GoTo(p);
        ExpectSameTable(game.tables[static_cast<std::size_t>(p + 1)], replay.Table(), p);
    }
    const GameTable& last = game.tables.back();
    EXPECT_EQ(6, last.roundsPlayed);
    EXPECT_EQ(6, last.wins[1] + last.wins[2] + last.wins[3] + last.wins[4]);
}

TEST(GameFile, StepsByMoveAndByRound) {
    const RecordedGame game = PlayRecordedGame(3, 7);
    const std::vector<std::uint8_t> bytes = FileOf(game);
    GameFile file;
    GameFileError error;
    ASSERT_TRUE(ReadGameFile(bytes.data(), bytes.size(), &file, &error));
    GameReplay replay(&file);
    EXPECT_EQ(1, replay.Round());
    EXPECT_EQ(0, replay.Move());
    replay.Back();  // nothing before the first deal
    EXPECT_EQ(0, replay.Position());
    replay.Forward();
    EXPECT_EQ(1, replay.Move());
    replay.NextRound();
    EXPECT_EQ(2, replay.Round());
    EXPECT_EQ(0, replay.Move());
    EXPECT_EQ(1, replay.Table().roundsPlayed);
    replay.Forward();
    replay.PreviousRound();  // back to this round's deal
    EXPECT_EQ(2, replay.Round());
    EXPECT_EQ(0, replay.Move());
    replay.PreviousRound();  // from a deal, to the round before
    EXPECT_EQ(1, replay.Round());
    replay.GoTo(replay.PositionCount() - 1);
    EXPECT_EQ(3, replay.Round());
    EXPECT_EQ(replay.MovesInRound(), replay.Move());
    EXPECT_EQ(1, replay.Table().roundOver);
    replay.NextRound();  // the last round stays at its end
    EXPECT_EQ(replay.PositionCount() - 1, replay.Position());
}

TEST(GameFile, RefusesDamageWithWhatAndWhere) {
    const RecordedGame game = PlayRecordedGame(2, 3);
    const std::vector<std::uint8_t> good = FileOf(game);

    // Cut anywhere: never read, and the message says where the bytes end.
    for (std::size_t size = 0; size < good.size(); size += (size < 200 ? 1 : 37)) {
        const GameFileError error = Refusal({good.begin(), good.begin() + static_cast<long>(size)});
        EXPECT_FALSE(error.what.empty()) << "cut at " << size;
        if (size >= GAME_FILE_HEADER_SIZE) {
            EXPECT_NE(std::string::npos, error.what.find("tronqué")) << error.what;
            EXPECT_EQ(size, error.offset);
        }
    }

    std::vector<std::uint8_t> bad = good;
    bad[0] = 'W';
    GameFileError error = Refusal(bad);
    EXPECT_EQ(0u, error.offset);
    EXPECT_EQ(
        "Cette partie ne peut pas être ouverte : ce n'est pas une partie de Vantoro "
        "(signature absente) (octet 0).",
        GameFileErrorText(error));

    bad = good;
    bad[GAME_FILE_VERSION_OFFSET] = 2;
    EXPECT_EQ(static_cast<std::size_t>(GAME_FILE_VERSION_OFFSET), Refusal(bad).offset);
    EXPECT_NE(std::string::npos, Refusal(bad).what.find("version 2"));

    for (std::uint8_t seat : {0, 5, 0xFF}) {
        bad = good;
        bad[GAME_FILE_SEAT_OFFSET] = seat;
        EXPECT_EQ(static_cast<std::size_t>(GAME_FILE_SEAT_OFFSET), Refusal(bad).offset);
    }

    // The seat of the first move (after the deal and the new game) taken out of 1..4.
    bad = good;
    const std::size_t move = MessageOffset(game, 2);
    bad[move + MSG_SEAT_OFFSET] = 5;
    error = Refusal(bad);
    EXPECT_EQ(move + MSG_SEAT_OFFSET, error.offset);
    EXPECT_NE(std::string::npos, error.what.find("place 5 hors de 1 à 4"));

    // A move out of turn: the rules refuse it at its own offset.
    bad = good;
    const int seat = SeatByte(bad[move + MSG_SEAT_OFFSET]);
    bad[move + MSG_SEAT_OFFSET] = static_cast<std::uint8_t>(seat % SEAT_COUNT + 1);
    error = Refusal(bad);
    EXPECT_EQ(move, error.offset);
    EXPECT_NE(std::string::npos, error.what.find("refus")) << error.what;

    // A deal that gives a card twice.
    bad = good;
    bad[GAME_FILE_HEADER_SIZE + MSG_DEAL_HANDS_OFFSET + HAND_SIZE + 1] =
        bad[GAME_FILE_HEADER_SIZE + MSG_DEAL_HANDS_OFFSET + HAND_SIZE];
    EXPECT_EQ(static_cast<std::size_t>(GAME_FILE_HEADER_SIZE), Refusal(bad).offset);

    // A message a game file does not hold (a chat line's type).
    bad = good;
    bad[move] = MSG_CHAT;
    EXPECT_EQ(move, Refusal(bad).offset);

    // Bytes after the game.
    bad = good;
    bad.push_back(MSG_PASS);
    EXPECT_EQ(good.size(), Refusal(bad).offset);
}

}  // namespace
