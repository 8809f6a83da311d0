// make_images: draws every bitmap of the program and writes it as
// <output dir>/<id>.bmp, and with --icons the desktop's icon as
// <icon dir>/<size>.png. Run by hand when the artwork changes:
//
//   make_images resources/bitmaps --icons resources/icons [--sheet docs/cards.png]
//
// The output depends on nothing but this program: no image, font file or
// setting is read, so running it again writes the same bytes.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

#include "tools/make_images/bmp_writer.h"
#include "tools/make_images/palette.h"
#include "tools/make_images/pictures.h"

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: make_images <output dir> [--icons <dir>] [--sheet <file.png> [--scale N]]\n");
    return 2;
}

bool WritePng(const QImage& image, const QString& path) {
    QImageWriter writer(path, "PNG");
    if (writer.write(image)) return true;
    std::fprintf(stderr, "make_images: cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // The painter needs the Gui module but never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith("-")) return Usage();
    const QString outDir = args.first();
    QString sheetPath;
    QString iconDir;
    int scale = 2;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--icons" && i + 1 < args.size()) {
            iconDir = args[++i];
        } else if (args[i] == "--sheet" && i + 1 < args.size()) {
            sheetPath = args[++i];
        } else if (args[i] == "--scale" && i + 1 < args.size()) {
            scale = args[++i].toInt();
            if (scale < 1 || scale > 4) return Usage();
        } else {
            return Usage();
        }
    }
    for (const QString& dir : {outDir, iconDir}) {
        if (!dir.isEmpty() && !QDir().mkpath(dir)) {
            std::fprintf(stderr, "make_images: cannot create %s\n", qPrintable(dir));
            return 1;
        }
    }

    const std::vector<Picture> pictures = MakePictures();
    for (const Picture& picture : pictures) {
        // A picture meant for a palette must use only that palette's colours;
        // anything else would be a drawing mistake hidden by the conversion.
        if (picture.depth == Depth::Colour16 &&
            palette::CountInexactPixels(picture.drawing, palette::Vga16()) != 0) {
            std::fprintf(stderr, "make_images: %s uses colours outside its palette\n",
                         qPrintable(picture.name));
            return 1;
        }
        // Written by our own encoder: Qt's BMP writer leaves the padding at the
        // end of each row of 1- and 8-bit images uninitialised, so its files
        // differ from run to run.
        const QByteArray bytes = EncodeBmp(Stored(picture));
        QFile file(QDir(outDir).filePath(picture.name + ".bmp"));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "make_images: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    if (!iconDir.isEmpty()) {
        for (int size : ICON_SIZES) {
            QImage icon = DrawThemeIcon(size);
            // A fixed resolution: the default one comes from the screen.
            icon.setDotsPerMeterX(3780);
            icon.setDotsPerMeterY(3780);
            const QString path = QDir(iconDir).filePath(QString::number(size) + ".png");
            if (!WritePng(icon, path)) return 1;
        }
    }
    if (!sheetPath.isEmpty() && !WritePng(MakeSheet(pictures, scale), sheetPath)) return 1;
    std::printf("make_images: wrote %d bitmaps to %s\n", static_cast<int>(pictures.size()),
                qPrintable(outDir));
    return 0;
}
