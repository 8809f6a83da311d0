// Writes a stored picture as an uncompressed Windows bitmap file, byte for
// byte the same on every run.
#pragma once

#include <QByteArray>
#include <QImage>

// The file bytes of `image`:
//   Format_Mono                         -> 1 bit per pixel, 2-entry colour table
//   Format_Indexed8, <= 16 table entries -> 4 bits per pixel, 16-entry table
//   Format_Indexed8, more entries        -> 8 bits per pixel, the whole table
//   Format_RGB888                        -> 24 bits per pixel, no table
// Layout: file header (14 bytes: "BM", file size u32, two reserved u16, pixel
// offset u32), info header (40 bytes: size, width, height (positive: rows
// bottom-up), planes 1, bit count, compression 0, image size, 3780 x 3780
// pixels per metre, colours used, colours important 0), the colour table as
// blue, green, red, 0, then the rows, each padded with zero bytes to a
// multiple of four. Returns an empty array for any other format.
QByteArray EncodeBmp(const QImage& image);
