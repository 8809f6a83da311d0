// The committed bitmaps and icons are exactly what tools/make_images writes
// today: running it again into an empty folder gives the same bytes. This
// catches a file edited by hand, a generator change whose output was not
// committed, and any run-to-run difference in the generator itself.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/resources/bitmap_table.h"

TEST(Generator, RegeneratesTheCommittedFilesByteForByte) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess generator;
    generator.setProcessChannelMode(QProcess::MergedChannels);
    const QString icons = QDir(out.path()).filePath("icons");
    generator.start(QStringLiteral(VANTORO_MAKE_IMAGES), {out.path(), "--icons", icons});
    ASSERT_TRUE(generator.waitForStarted(10000));
    if (!generator.waitForFinished(60000)) {
        generator.kill();
        generator.waitForFinished(5000);
        FAIL() << "make_images did not finish within 60 s";
    }
    ASSERT_EQ(generator.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAll().toStdString();

    const QStringList written = QDir(out.path()).entryList({"*.bmp"}, QDir::Files, QDir::Name);
    QStringList committed = QDir(VANTORO_BITMAP_DIR).entryList({"*.bmp"}, QDir::Files, QDir::Name);
    EXPECT_EQ(written, committed);
    EXPECT_EQ(written.size(), static_cast<qsizetype>(AllBitmaps().size()));
    for (const QString& name : written) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray fresh = ReadAll(QDir(out.path()).filePath(name));
        const QByteArray stored = ReadAll(QDir(VANTORO_BITMAP_DIR).filePath(name));
        ASSERT_FALSE(fresh.isEmpty());
        EXPECT_TRUE(fresh == stored)
            << "regenerate with: make_images resources/bitmaps --icons resources/icons";
    }

    const QStringList drawn = QDir(icons).entryList({"*.png"}, QDir::Files, QDir::Name);
    EXPECT_EQ(drawn, QDir(VANTORO_ICON_DIR).entryList({"*.png"}, QDir::Files, QDir::Name));
    for (const QString& name : drawn) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray fresh = ReadAll(QDir(icons).filePath(name));
        ASSERT_FALSE(fresh.isEmpty());
        EXPECT_TRUE(fresh == ReadAll(QDir(VANTORO_ICON_DIR).filePath(name)))
            << "regenerate with: make_images resources/bitmaps --icons resources/icons";
    }
}
