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
