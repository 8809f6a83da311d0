// The bitmaps the window needs, with the size and colour depth each must
// have: the resource table of the program, written down here on its own so
// that the committed files are checked against it and not against the
// generator that made them.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <vector>

struct BitmapEntry {
    QString name;  // file name without ".bmp"
    int width;
    int height;
    int bits;  // bits per pixel in the file: 1 (two-colour), 4, 8 or 24
};

inline std::vector<BitmapEntry> AllBitmaps() {
    std::vector<BitmapEntry> specs;
    for (int id = 301; id <= 365; ++id) {
        int bits = 4;
        if ((id >= 314 && id <= 323) || (id >= 341 && id <= 349))
            bits = 1;             // clubs A-10, spades 2-10
        if (id == 331) bits = 8;  // the five of hearts
        const bool smallBack = id == 364;
        specs.push_back({QString::number(id), smallBack ? 35 : 71, smallBack ? 47 : 96, bits});
    }
    specs.push_back({"366", 48, 16, 4});
    specs.push_back({"367", 48, 20, 4});
    specs.push_back({"368", 48, 16, 4});
    specs.push_back({"369_32", 32, 32, 4});
    specs.push_back({"369_16", 16, 16, 4});
    specs.push_back({"373", 150, 185, 24});
    specs.push_back({"374", 17, 22, 4});
    // The readable sets, 16 colours throughout: the four-colour faces, and
    // the faces of both decks and the small back at twice the size.
    for (int id = 301; id <= 352; ++id) specs.push_back({QString::number(id) + "@2x", 142, 192, 4});
    specs.push_back({"364@2x", 70, 94, 4});
    for (int id = 401; id <= 452; ++id) {
        specs.push_back({QString::number(id), 71, 96, 4});
        specs.push_back({QString::number(id) + "@2x", 142, 192, 4});
    }
    return specs;
}

inline QString CommittedPath(const QString& name) {
    return QStringLiteral(VANTORO_BITMAP_DIR "/") + name + ".bmp";
}

inline QString ResourcePath(const QString& name) {
    return ":/bitmaps/" + name + ".bmp";
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// A bitmap as the window shows it: loaded through its resource path, in colour.
inline QImage Shown(const QString& name) {
    return QImage(ResourcePath(name)).convertToFormat(QImage::Format_RGB32);
}

inline int CardResource(int cardIndex) {
    return 301 + cardIndex;
}
