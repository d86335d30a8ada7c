#include "facepaste/PackedDib.h"

#include <algorithm>
#include <cstring>

// The pictures live in a static library's resources, which register only when
// asked to by name.
static void registerFaces()
{
    Q_INIT_RESOURCE(facepaste);
}

namespace folyant::facepaste {

namespace {
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t get32(const std::uint8_t* in)
{
    return in[0] | (in[1] << 8) | (in[2] << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

std::uint16_t get16(const std::uint8_t* in)
{
    return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

// The entry of table nearest to the colour, by squared distance.
std::uint8_t nearest(const QList<QRgb>& table, QRgb colour)
{
    std::size_t best = 0;
    int bestDistance = 0x7fffffff;
    for (std::size_t i = 0; i < static_cast<std::size_t>(table.size()); ++i) {
        const QRgb c = table[static_cast<qsizetype>(i)];
        const int r = qRed(c) - qRed(colour);
        const int g = qGreen(c) - qGreen(colour);
        const int b = qBlue(c) - qBlue(colour);
        const int distance = r * r + g * g + b * b;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}
} // namespace

const QList<QRgb>& sixteenColours()
{
    static const QList<QRgb> colours = {qRgb(0, 0, 0), qRgb(128, 0, 0), qRgb(0, 128, 0), qRgb(128, 128, 0),
        qRgb(0, 0, 128), qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192), qRgb(128, 128, 128),
        qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 255),
        qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return colours;
}

QImage faceForDisplay(int resource, int displayDepth)
{
    if (resource != kFirstFace && resource != kSecondFace)
        return {};
    registerFaces();
    const QImage stored(QStringLiteral(":/facepaste/face%1.bmp").arg(resource));
    if (stored.isNull())
        return {};
    if (displayDepth > 8)
        return stored.convertToFormat(QImage::Format_RGB32);
    if (displayDepth > 4)
        return stored.convertToFormat(QImage::Format_Indexed8);
    if (displayDepth > 1)
        // (Through true colour: Qt keeps an indexed picture's own table.)
        return stored.convertToFormat(QImage::Format_RGB32)
            .convertToFormat(QImage::Format_Indexed8, sixteenColours(), Qt::ThresholdDither);
    return stored.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

int dibBitCount(int bitsPerPixel)
{
    return bitsPerPixel <= 1 ? 1 : bitsPerPixel <= 4 ? 4 : bitsPerPixel <= 8 ? 8 : 24;
}

std::vector<std::uint8_t> packedDib(const QImage& image, const QList<QRgb>& palette, int bitsPerPixel)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    const int bits = dibBitCount(bitsPerPixel > 0 ? std::min(bitsPerPixel, image.depth()) : image.depth());
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = (static_cast<std::uint32_t>(bits) * width + 31) / 32 * 4;
    const std::uint32_t imageSize = stride * height;
    const unsigned colours = bits == 24 ? 0u : 1u << bits;

    QList<QRgb> table = palette.isEmpty() ? image.colorTable() : palette;
    if (colours != 0) {
        table.resize(static_cast<qsizetype>(colours), qRgb(0, 0, 0));
    }

    std::vector<std::uint8_t> dib(kInfoHeaderSize + 4 * colours + imageSize, 0);
    put32(dib, 0, kInfoHeaderSize);
    put32(dib, 4, width);
    put32(dib, 8, height);
    put16(dib, 12, 1);
    put16(dib, 14, static_cast<std::uint16_t>(bits));
    put32(dib, 20, imageSize);
    for (unsigned i = 0; i < colours; ++i) {
        const QRgb c = table[static_cast<qsizetype>(i)];
        const std::size_t at = kInfoHeaderSize + 4 * i;
        dib[at] = static_cast<std::uint8_t>(qBlue(c));
        dib[at + 1] = static_cast<std::uint8_t>(qGreen(c));
        dib[at + 2] = static_cast<std::uint8_t>(qRed(c));
    }

    // The picture's own indexes stand when its colours are the table's.
    const bool ownIndexes = palette.isEmpty() && image.format() == QImage::Format_Indexed8 && bits == 8;
    const std::size_t pixels = kInfoHeaderSize + 4 * colours;
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = dib.data() + pixels + static_cast<std::size_t>(height - 1 - y) * stride;
        for (std::uint32_t x = 0; x < width; ++x) {
            const int px = static_cast<int>(x);
            const int py = static_cast<int>(y);
            if (bits == 24) {
                const QRgb c = image.pixel(px, py);
                std::uint8_t* pixel = row + std::size_t{3} * x;
                pixel[0] = static_cast<std::uint8_t>(qBlue(c));
                pixel[1] = static_cast<std::uint8_t>(qGreen(c));
                pixel[2] = static_cast<std::uint8_t>(qRed(c));
                continue;
            }
            const std::uint8_t index = ownIndexes ? static_cast<std::uint8_t>(image.pixelIndex(px, py))
                                                  : nearest(table, image.pixel(px, py));
            const std::uint32_t bit = x * static_cast<std::uint32_t>(bits);
            const int shift = 8 - bits - static_cast<int>(bit % 8);
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (index << shift));
        }
    }
    return dib;
}

unsigned countDibColors(const std::uint8_t* header)
{
    if (!header)
        return 0;
    const std::uint32_t size = get32(header);
    if (size == kInfoHeaderSize) {
        if (const std::uint32_t used = get32(header + 32); used != 0)
            return used & 0xffffu;
    }
    const std::uint16_t bits = size == kCoreHeaderSize ? get16(header + 10) : get16(header + 14);
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

std::vector<std::uint8_t> bmpFileOf(const std::vector<std::uint8_t>& dib)
{
    if (dib.size() < kInfoHeaderSize)
        return {};
    const auto offset = static_cast<std::uint32_t>(14 + get32(dib.data()) + 4 * countDibColors(dib.data()));
    std::vector<std::uint8_t> file(14 + dib.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<std::uint32_t>(file.size()));
    put32(file, 10, offset);
    std::memcpy(file.data() + 14, dib.data(), dib.size());
    return file;
}

} // namespace folyant::facepaste
