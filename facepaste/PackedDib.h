#pragma once

#include <QImage>
#include <QList>

#include <cstdint>
#include <vector>

namespace folyant::facepaste {

// The resource number of each face.
inline constexpr int kFirstFace = 1000;
inline constexpr int kSecondFace = 1001;

// The sixteen colours of a 4-bit display, in the order of its colour table.
const QList<QRgb>& sixteenColours();

// The stored picture, converted as a bitmap compatible with a display of that
// many bits per pixel is: more than 8 gives true colour, 5 to 8 keeps the
// picture's own indexes, 2 to 4 takes the nearest of the sixteen colours, 1
// black and white. A null image for an unknown resource.
QImage faceForDisplay(int resource, int displayDepth);

// The DIB bit count for a bitmap of that many bits per pixel: 1, 4, 8 or 24.
int dibBitCount(int bitsPerPixel);

// The packed DIB of the image, byte for byte as a CF_DIB block, with the bit
// count for a bitmap of bitsPerPixel (the image's own depth when 0, never
// more); the colour table from palette, or from the image's own colours when
// it is empty. Empty for a null image.
std::vector<std::uint8_t> packedDib(
    const QImage& image, const QList<QRgb>& palette = {}, int bitsPerPixel = 0);

// The colour-table entries a DIB header calls for; 0 for null.
unsigned countDibColors(const std::uint8_t* header);

// A BMP file of the packed DIB: the 14-byte file header in front of it.
std::vector<std::uint8_t> bmpFileOf(const std::vector<std::uint8_t>& dib);

} // namespace folyant::facepaste
