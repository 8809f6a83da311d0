#include "tools/make_images/palette.h"

#include <array>
#include <unordered_map>

namespace palette {

QList<QRgb> Vga16() {
    return {BLACK, MAROON, GREEN, OLIVE,  NAVY, PURPLE,  TEAL, SILVER,
            GREY,  RED,    LIME,  YELLOW, BLUE, FUCHSIA, AQUA, WHITE};
}

QList<QRgb> Colours256() {
    QList<QRgb> table = Vga16();
    static constexpr std::array<int, 6> levels = {0, 95, 135, 175, 215, 255};
    for (int r : levels) {
        for (int g : levels) {
            for (int b : levels) table.append(qRgb(r, g, b));
        }
    }
    for (int i = 0; i < 24; ++i) {
        const int v = 8 + 10 * i;
        table.append(qRgb(v, v, v));
    }
    return table;
}

namespace {

int Nearest(QRgb colour, const QList<QRgb>& table) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < table.size(); ++i) {
        const long dr = qRed(colour) - qRed(table[i]);
        const long dg = qGreen(colour) - qGreen(table[i]);
        const long db = qBlue(colour) - qBlue(table[i]);
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

QImage ToIndexed(const QImage& drawing, const QList<QRgb>& table) {
    const QImage rgb = drawing.convertToFormat(QImage::Format_RGB32);
    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    out.fill(0);  // also the padding at the end of each line, which the file keeps
    out.setDotsPerMeterX(rgb.dotsPerMeterX());
    out.setDotsPerMeterY(rgb.dotsPerMeterY());
    std::unordered_map<QRgb, int> cache;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb colour = in[x] | 0xFF000000u;
            auto found = cache.find(colour);
            if (found == cache.end()) found = cache.emplace(colour, Nearest(colour, table)).first;
            line[x] = static_cast<uchar>(found->second);
        }
    }
    return out;
}

QImage ToMono(const QImage& drawing) {
    const QImage rgb = drawing.convertToFormat(QImage::Format_RGB32);
    QImage out(rgb.size(), QImage::Format_Mono);
    out.setColorTable({BLACK, WHITE});
    out.fill(0);  // also the padding bits at the end of each line, which the file keeps
    out.setDotsPerMeterX(rgb.dotsPerMeterX());
    out.setDotsPerMeterY(rgb.dotsPerMeterY());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            out.setPixel(x, y, qGray(in[x]) < 128 ? 0 : 1);
        }
    }
    return out;
}

QImage ToRgb24(const QImage& drawing) {
    return drawing.convertToFormat(QImage::Format_RGB888);
}

int CountInexactPixels(const QImage& drawing, const QList<QRgb>& table) {
    const QImage rgb = drawing.convertToFormat(QImage::Format_RGB32);
    int inexact = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (!table.contains(in[x] | 0xFF000000u)) ++inexact;
        }
    }
    return inexact;
}

}  // namespace palette
