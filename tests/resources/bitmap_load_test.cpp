// Loading through the resource paths of vantoro_resources. This test links
// the static library and never calls an initialisation function: that the
// images load at all shows the resources register themselves.

#include <gtest/gtest.h>

#include "tests/resources/bitmap_table.h"

TEST(BitmapLoad, EveryBitmapLoadsFromItsResourcePathWithItsSizeAndColours) {
    for (const BitmapEntry& entry : AllBitmaps()) {
        SCOPED_TRACE(entry.name.toStdString());
        const QImage image(ResourcePath(entry.name));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), entry.width);
        EXPECT_EQ(image.height(), entry.height);
        switch (entry.bits) {
            case 1:
                EXPECT_EQ(image.format(), QImage::Format_Mono);
                break;
            case 4:
                EXPECT_EQ(image.format(), QImage::Format_Indexed8);
                EXPECT_LE(image.colorCount(), 16);
                break;
            case 8:
                EXPECT_EQ(image.format(), QImage::Format_Indexed8);
                EXPECT_GT(image.colorCount(), 16);
                break;
            default:
                EXPECT_FALSE(image.isGrayscale());
                EXPECT_EQ(image.colorCount(), 0);  // true colour, no table
                break;
        }
    }
}

TEST(BitmapLoad, CompiledResourcesAreTheCommittedFiles) {
    // A stale copy in the library would show pictures other than the ones in
    // the repository.
    for (const BitmapEntry& entry : AllBitmaps()) {
        SCOPED_TRACE(entry.name.toStdString());
        const QByteArray compiled = ReadAll(ResourcePath(entry.name));
        ASSERT_FALSE(compiled.isEmpty());
        EXPECT_TRUE(compiled == ReadAll(CommittedPath(entry.name)));
    }
}

TEST(IconLoad, TheThemeIconLoadsAtEverySizeOnAClearBackground) {
    // The desktop shows the icon on its own background: a file of the wrong
    // size lands in the wrong folder of the theme, an opaque one shows a box.
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage icon(QStringLiteral(":/icons/%1.png").arg(size));
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(size, size));
        ASSERT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(0, size - 1)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    }
}
