// The committed files, read byte by byte: each is an uncompressed Windows
// bitmap of the size and colour depth that the resource table gives it.

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/resources/bitmap_table.h"

namespace {

std::uint32_t U32(const QByteArray& b, int at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

std::uint16_t U16(const QByteArray& b, int at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      static_cast<std::uint8_t>(b[at + 1]) << 8);
}

// The fields of the file header (14 bytes) and the info header (40 bytes)
// that a loader relies on.
struct BmpHeader {
    std::uint32_t fileSize;
    std::uint32_t pixelOffset;
    std::uint32_t infoSize;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t planes;
    std::uint16_t bits;
    std::uint32_t compression;
    std::uint32_t coloursUsed;
};

BmpHeader Parse(const QByteArray& b) {
    return {U32(b, 2),
            U32(b, 10),
            U32(b, 14),
            static_cast<std::int32_t>(U32(b, 18)),
            static_cast<std::int32_t>(U32(b, 22)),
            U16(b, 26),
            U16(b, 28),
            U32(b, 30),
            U32(b, 46)};
}

// Colour-table entries as stored: blue, green, red, reserved.
QRgb TableEntry(const QByteArray& b, int index) {
    const int at = 14 + 40 + 4 * index;
    return qRgb(static_cast<std::uint8_t>(b[at + 2]), static_cast<std::uint8_t>(b[at + 1]),
                static_cast<std::uint8_t>(b[at]));
}

}  // namespace

TEST(BitmapHeader, EveryCommittedFileHasTheSizeAndDepthOfItsResource) {
    for (const BitmapEntry& entry : AllBitmaps()) {
        SCOPED_TRACE(entry.name.toStdString());
        const QByteArray bytes = ReadAll(CommittedPath(entry.name));
        ASSERT_GE(bytes.size(), 54) << "missing or truncated";
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        const BmpHeader h = Parse(bytes);
        EXPECT_EQ(h.fileSize, static_cast<std::uint32_t>(bytes.size()));
        EXPECT_EQ(h.infoSize, 40u);
        EXPECT_EQ(h.width, entry.width);
        EXPECT_EQ(h.height, entry.height);  // positive: rows stored bottom-up
        EXPECT_EQ(h.planes, 1);
        EXPECT_EQ(h.bits, entry.bits);
        EXPECT_EQ(h.compression, 0u);

        // The colour table sits between the headers and the pixels; a table
        // of 0 entries in the header means the full 2^bits.
        const std::uint32_t entries =
            entry.bits == 24 ? 0 : (h.coloursUsed ? h.coloursUsed : 1u << entry.bits);
        EXPECT_EQ(h.pixelOffset, 54 + 4 * entries);
        const std::uint32_t rowBytes =
            (static_cast<std::uint32_t>(entry.width * entry.bits) + 31) / 32 * 4;
        EXPECT_EQ(h.fileSize, h.pixelOffset + rowBytes * static_cast<std::uint32_t>(entry.height));
        switch (entry.bits) {
            case 4:
                EXPECT_LE(entries, 16u);
                break;
            case 8:
                // A 256-colour picture really uses a table beyond the 16 colours.
                EXPECT_GT(entries, 16u);
                EXPECT_LE(entries, 256u);
                break;
            default:
                break;
        }
    }
}

TEST(BitmapHeader, TwoColourCardsStoreBlackInkAtIndexZeroAndWhitePaperAtOne) {
    // The window draws a two-colour card with black for index 0 and white
    // for index 1, so the file's own table must say exactly that.
    int checked = 0;
    for (const BitmapEntry& entry : AllBitmaps()) {
        if (entry.bits != 1) continue;
        SCOPED_TRACE(entry.name.toStdString());
        const QByteArray bytes = ReadAll(CommittedPath(entry.name));
        ASSERT_GE(bytes.size(), 62);
        EXPECT_EQ(Parse(bytes).pixelOffset, 62u) << "a table of exactly two entries";
        EXPECT_EQ(TableEntry(bytes, 0), qRgb(0, 0, 0));
        EXPECT_EQ(TableEntry(bytes, 1), qRgb(255, 255, 255));
        ++checked;
    }
    EXPECT_EQ(checked, 19);  // clubs ace to ten, spades two to ten
}
