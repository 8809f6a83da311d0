#include "tools/make_images/bmp_writer.h"

#include <cstdint>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch

void PutU16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void PutU32(QByteArray& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((v >> shift) & 0xFF));
}

}  // namespace

QByteArray EncodeBmp(const QImage& image) {
    int bits = 0;
    QList<QRgb> table;
    switch (image.format()) {
        case QImage::Format_Mono:
            bits = 1;
            table = image.colorTable();
            table.resize(2);
            break;
        case QImage::Format_Indexed8:
            table = image.colorTable();
            bits = table.size() <= 16 ? 4 : 8;
            table.resize(bits == 4 ? 16 : table.size());
            break;
        case QImage::Format_RGB888:
            bits = 24;
            break;
        default:
            return {};
    }
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * bits + 31) / 32 * 4;
    const std::uint32_t tableBytes = static_cast<std::uint32_t>(table.size()) * 4;
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes * height);

    QByteArray out;
    out.reserve(static_cast<int>(pixelOffset + imageBytes));
    out.append("BM");
    PutU32(out, pixelOffset + imageBytes);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, pixelOffset);

    PutU32(out, kInfoHeaderSize);
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, static_cast<std::uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint16_t>(bits));
    PutU32(out, 0);  // no compression
    PutU32(out, imageBytes);
    PutU32(out, kPixelsPerMetre);
    PutU32(out, kPixelsPerMetre);
    PutU32(out, static_cast<std::uint32_t>(table.size()));
    PutU32(out, 0);

    for (QRgb colour : table) {
        out.append(static_cast<char>(qBlue(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qRed(colour)));
        out.append('\0');
    }

    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        auto* bytes = reinterpret_cast<std::uint8_t*>(row.data());
        for (int x = 0; x < width; ++x) {
            switch (bits) {
                case 1:
                    if (image.pixelIndex(x, y))
                        bytes[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                    break;
                case 4:
                    bytes[x / 2] |=
                        static_cast<std::uint8_t>(image.pixelIndex(x, y) << (x % 2 ? 0 : 4));
                    break;
                case 8:
                    bytes[x] = static_cast<std::uint8_t>(image.pixelIndex(x, y));
                    break;
                default: {
                    const QRgb colour = image.pixel(x, y);
                    bytes[3 * x] = static_cast<std::uint8_t>(qBlue(colour));
                    bytes[3 * x + 1] = static_cast<std::uint8_t>(qGreen(colour));
                    bytes[3 * x + 2] = static_cast<std::uint8_t>(qRed(colour));
                    break;
                }
            }
        }
        out.append(row);
    }
    return out;
}
