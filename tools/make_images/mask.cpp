#include "tools/make_images/mask.h"

#include <QPainter>
#include <map>

Mask MaskFromRows(std::initializer_list<std::string_view> rows) {
    Mask mask;
    mask.height = static_cast<int>(rows.size());
    mask.width = rows.size() == 0 ? 0 : static_cast<int>(rows.begin()->size());
    mask.bits.reserve(static_cast<size_t>(mask.width * mask.height));
    for (std::string_view row : rows) {
        for (int x = 0; x < mask.width; ++x) {
            const bool ink = x < static_cast<int>(row.size()) && row[static_cast<size_t>(x)] == '#';
            mask.bits.push_back(ink ? 1 : 0);
        }
    }
    return mask;
}

Mask Rotate180(const Mask& mask) {
    Mask turned = mask;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            turned.bits[static_cast<size_t>(y * mask.width + x)] =
                mask.At(mask.width - 1 - x, mask.height - 1 - y) ? 1 : 0;
        }
    }
    return turned;
}

Mask ScaleUp(const Mask& mask, int factor) {
    Mask big;
    big.width = mask.width * factor;
    big.height = mask.height * factor;
    big.bits.resize(static_cast<size_t>(big.width * big.height));
    for (int y = 0; y < big.height; ++y) {
        for (int x = 0; x < big.width; ++x) {
            big.bits[static_cast<size_t>(y * big.width + x)] =
                mask.At(x / factor, y / factor) ? 1 : 0;
        }
    }
    return big;
}

Mask MaskFromPath(const QPainterPath& unitPath, int width, int height) {
    constexpr int kSamples = 8;
    QImage fine(width * kSamples, height * kSamples, QImage::Format_Grayscale8);
    fine.fill(0);
    {
        QPainter painter(&fine);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.scale(width * kSamples, height * kSamples);
        painter.fillPath(unitPath, QColor(255, 255, 255));
    }
    Mask mask;
    mask.width = width;
    mask.height = height;
    mask.bits.resize(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < (width + 1) / 2; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                const uchar* line = fine.constScanLine(y * kSamples + sy);
                for (int sx = 0; sx < kSamples; ++sx) inside += line[x * kSamples + sx] != 0;
            }
            const std::uint8_t ink = 2 * inside >= kSamples * kSamples ? 1 : 0;
            mask.bits[static_cast<size_t>(y * width + x)] = ink;
            mask.bits[static_cast<size_t>(y * width + (width - 1 - x))] = ink;
        }
    }
    return mask;
}

Mask Dilate(const Mask& mask) {
    Mask grown;
    grown.width = mask.width + 2;
    grown.height = mask.height + 2;
    grown.bits.resize(static_cast<size_t>(grown.width * grown.height));
    for (int y = 0; y < grown.height; ++y) {
        for (int x = 0; x < grown.width; ++x) {
            const int mx = x - 1;
            const int my = y - 1;
            const bool ink = mask.At(mx, my) || mask.At(mx - 1, my) || mask.At(mx + 1, my) ||
                             mask.At(mx, my - 1) || mask.At(mx, my + 1);
            grown.bits[static_cast<size_t>(y * grown.width + x)] = ink ? 1 : 0;
        }
    }
    return grown;
}

void DrawMask(QImage& image, const Mask& mask, int x, int y, QRgb colour) {
    for (int my = 0; my < mask.height; ++my) {
        for (int mx = 0; mx < mask.width; ++mx) {
            const int px = x + mx;
            const int py = y + my;
            if (mask.At(mx, my) && image.valid(px, py)) image.setPixel(px, py, colour);
        }
    }
}

namespace {

using Glyphs = std::map<char, Mask>;

// The card ranks: 9 rows, strokes two pixels wide so that the index reads
// well in the 15-pixel strip a hand leaves visible.
const Glyphs& IndexGlyphs() {
    static const Glyphs glyphs = {
        {'A', MaskFromRows({"..###..", "..###..", ".##.##.", ".##.##.", "##...##", "##...##",
                            "#######", "##...##", "##...##"})},
        {'2', MaskFromRows({".#####.", "##...##", ".....##", "....##.", "...##..", "..##...",
                            ".##....", "##.....", "#######"})},
        {'3', MaskFromRows({".#####.", "##...##", ".....##", ".....##", "..####.", ".....##",
                            ".....##", "##...##", ".#####."})},
        {'4', MaskFromRows({"....##.", "...###.", "..####.", ".##.##.", "##..##.", "#######",
                            "....##.", "....##.", "....##."})},
        {'5', MaskFromRows({"#######", "##.....", "##.....", "######.", ".....##", ".....##",
                            ".....##", "##...##", ".#####."})},
        {'6', MaskFromRows({"..####.", ".##....", "##.....", "######.", "##...##", "##...##",
                            "##...##", "##...##", ".#####."})},
        {'7', MaskFromRows({"#######", ".....##", "....##.", "....##.", "...##..", "...##..",
                            "..##...", "..##...", "..##..."})},
        {'8', MaskFromRows({".#####.", "##...##", "##...##", "##...##", ".#####.", "##...##",
                            "##...##", "##...##", ".#####."})},
        {'9', MaskFromRows({".#####.", "##...##", "##...##", "##...##", ".######", ".....##",
                            ".....##", "....##.", ".####.."})},
        {'1',
         MaskFromRows({"..##", ".###", "####", "..##", "..##", "..##", "..##", "..##", "..##"})},
        {'0', MaskFromRows({".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##",
                            "##..##", ".####."})},
        {'J', MaskFromRows({"..####", "....##", "....##", "....##", "....##", "....##", "##..##",
                            "##..##", ".####."})},
        {'Q', MaskFromRows({".#####.", "##...##", "##...##", "##...##", "##...##", "##.#.##",
                            "##..##.", ".####.#", "......."})},
        {'K', MaskFromRows({"##...##", "##..##.", "##.##..", "####...", "###....", "####...",
                            "##.##..", "##..##.", "##...##"})},
        {'O', MaskFromRows({".#####.", "##...##", "##...##", "##...##", "##...##", "##...##",
                            "##...##", "##...##", ".#####."})},
        {'E', MaskFromRows({"######", "##....", "##....", "#####.", "##....", "##....", "##....",
                            "##....", "######"})},
        {'R', MaskFromRows({"######.", "##...##", "##...##", "##...##", "######.", "##.##..",
                            "##..##.", "##...##", "##...##"})},
    };
    return glyphs;
}

// Seven rows with two-pixel strokes: capitals and a lowercase x-height of five.
const Glyphs& SmallGlyphs() {
    static const Glyphs glyphs = {
        {'M', MaskFromRows(
                  {"##...##", "###.###", "##.#.##", "##.#.##", "##...##", "##...##", "##...##"})},
        {'P', MaskFromRows({"####.", "##.##", "##.##", "####.", "##...", "##...", "##..."})},
        {'A', MaskFromRows({".###.", "##.##", "##.##", "#####", "##.##", "##.##", "##.##"})},
        {'S', MaskFromRows({".####", "##...", "##...", ".###.", "...##", "...##", "####."})},
        {'E', MaskFromRows({"#####", "##...", "##...", "####.", "##...", "##...", "#####"})},
        {'o', MaskFromRows({".....", ".....", ".###.", "##.##", "##.##", "##.##", ".###."})},
        {'n', MaskFromRows({".....", ".....", "####.", "##.##", "##.##", "##.##", "##.##"})},
        {'t', MaskFromRows({".##.", ".##.", "####", ".##.", ".##.", ".##.", "..##"})},
        {'u', MaskFromRows({".....", ".....", "##.##", "##.##", "##.##", "##.##", ".####"})},
        {'r', MaskFromRows({".....", ".....", "##.##", "####.", "##...", "##...", "##..."})},
        {' ', MaskFromRows({"...", "...", "...", "...", "...", "...", "..."})},
    };
    return glyphs;
}

// The card ranks at twice the size: 18 rows, stems four pixels wide, for
// the corner index of the 142 x 192 cards.
const Glyphs& LargeIndexGlyphs() {
    static const Glyphs glyphs = {
        {'A', MaskFromRows({".....####.....", "....######....", "....######....", "...###..###...",
                            "...###..###...", "..####..####..", "..###....###..", ".####....####.",
                            ".###......###.", "####......####", "####......####", "##############",
                            "##############", "####......####", "####......####", "####......####",
                            "####......####", "####......####"})},
        {'2', MaskFromRows({"...########...", ".############.", "#####....#####", "####......####",
                            "..........####", "..........####", ".........#####", "........#####.",
                            ".......#####..", "......#####...", ".....#####....", "....#####.....",
                            "...#####......", "..#####.......", ".#####........", "#####.........",
                            "##############", "##############"})},
        {'3', MaskFromRows({"...########...", ".############.", "#####....#####", "####......####",
                            "..........####", "..........####", "..........####", ".....########.",
                            ".....#######..", ".....########.", "..........####", "..........####",
                            "..........####", "..........####", "####......####", "#####....#####",
                            ".############.", "...########..."})},
        {'4', MaskFromRows({"........####..", ".......#####..", "......######..", ".....#######..",
                            "....########..", "...####.####..", "..####..####..", ".####...####..",
                            "####....####..", "##############", "##############", "##############",
                            "........####..", "........####..", "........####..", "........####..",
                            "........####..", "........####.."})},
        {'5', MaskFromRows({"##############", "##############", "####..........", "####..........",
                            "####..........", "####..........", "############..", "#############.",
                            ".........#####", "..........####", "..........####", "..........####",
                            "..........####", "..........####", "####......####", "#####....#####",
                            ".############.", "...########..."})},
        {'6', MaskFromRows({".....######...", "...########...", "..#####.......", ".####.........",
                            "####..........", "####..........", "####.#######..", "#############.",
                            "#####....#####", "####......####", "####......####", "####......####",
                            "####......####", "####......####", "####......####", "#####....#####",
                            ".############.", "...########..."})},
        {'7', MaskFromRows({"##############", "##############", "..........####", ".........####.",
                            ".........####.", "........####..", "........####..", ".......####...",
                            ".......####...", "......####....", "......####....", ".....####.....",
                            ".....####.....", "....####......", "....####......", "....####......",
                            "....####......", "....####......"})},
        {'8', MaskFromRows({"...########...", ".############.", "#####....#####", "####......####",
                            "####......####", "####......####", "#####....#####", ".############.",
                            ".############.", "#####....#####", "####......####", "####......####",
                            "####......####", "####......####", "####......####", "#####....#####",
                            ".############.", "...########..."})},
        {'9', MaskFromRows({"...########...", ".############.", "#####....#####", "####......####",
                            "####......####", "####......####", "####......####", "####......####",
                            "####......####", "#####....#####", ".#############", "..#######.####",
                            "..........####", "..........####", ".........####.", ".......#####..",
                            "...########...", "...######....."})},
        {'1',
         MaskFromRows({"....####", "...#####", "..######", ".#######", "###.####", "##..####",
                       "....####", "....####", "....####", "....####", "....####", "....####",
                       "....####", "....####", "....####", "....####", "....####", "....####"})},
        {'0', MaskFromRows({"...######...", ".##########.", "#####..#####", "####....####",
                            "####....####", "####....####", "####....####", "####....####",
                            "####....####", "####....####", "####....####", "####....####",
                            "####....####", "####....####", "####....####", "#####..#####",
                            ".##########.", "...######..."})},
        {'J', MaskFromRows({"....########", "....########", "........####", "........####",
                            "........####", "........####", "........####", "........####",
                            "........####", "........####", "........####", "........####",
                            "........####", "####....####", "####....####", "#####..#####",
                            ".##########.", "...######..."})},
        {'Q', MaskFromRows({"...########...", ".############.", "#####....#####", "####......####",
                            "####......####", "####......####", "####......####", "####......####",
                            "####......####", "####......####", "####..##..####", "####..###.####",
                            "#####..######.", ".############.", "...##########.", "..........####",
                            "...........###", ".............."})},
        {'K', MaskFromRows({"####.....#####", "####....#####.", "####...#####..", "####..#####...",
                            "####.#####....", "#########.....", "########......", "#######.......",
                            "######........", "#######.......", "########......", "#########.....",
                            "####.#####....", "####..#####...", "####...#####..", "####....#####.",
                            "####.....#####", "####......####"})},
    };
    return glyphs;
}

}  // namespace

Mask TextMask(Font font, std::string_view text) {
    const Glyphs& glyphs = font == Font::Index        ? IndexGlyphs()
                           : font == Font::LargeIndex ? LargeIndexGlyphs()
                                                      : SmallGlyphs();
    const int gap = font == Font::LargeIndex ? 2 : 1;
    const int height = glyphs.begin()->second.height;
    int width = 0;
    for (char c : text) {
        const auto found = glyphs.find(c);
        if (found == glyphs.end()) continue;
        width += (width > 0 ? gap : 0) + found->second.width;
    }
    Mask mask;
    mask.width = width;
    mask.height = height;
    mask.bits.resize(static_cast<size_t>(width * height));
    int x = 0;
    for (char c : text) {
        const auto found = glyphs.find(c);
        if (found == glyphs.end()) continue;
        if (x > 0) x += gap;
        const Mask& glyph = found->second;
        for (int gy = 0; gy < glyph.height; ++gy) {
            for (int gx = 0; gx < glyph.width; ++gx) {
                if (glyph.At(gx, gy)) mask.bits[static_cast<size_t>(gy * width + x + gx)] = 1;
            }
        }
        x += glyph.width;
    }
    return mask;
}
