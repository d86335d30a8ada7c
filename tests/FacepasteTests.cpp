// The toolbar face library: the packed DIB byte for byte, and the clipboard as
// a program that is not built on Qt finds it after loading the library.
#include "facepaste/PackedDib.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstring>

using namespace folyant;
using namespace folyant::facepaste;
using folyant::test::TempFolder;

namespace {

std::uint32_t field32(const std::string& dib, std::size_t at)
{
    std::uint32_t value = 0;
    std::memcpy(&value, dib.data() + at, 4);
    return value;
}

std::uint16_t field16(const std::string& dib, std::size_t at)
{
    std::uint16_t value = 0;
    std::memcpy(&value, dib.data() + at, 2);
    return value;
}

// The colour of pixel (x, y), counted from the top, of a 16 x 16 packed DIB.
QRgb pixelOf(const std::string& dib, int x, int y)
{
    const int bits = field16(dib, 14);
    const std::size_t table = 40;
    const std::size_t colours = bits == 24 ? 0 : std::size_t{1} << bits;
    const std::size_t stride = (static_cast<std::size_t>(bits) * 16 + 31) / 32 * 4;
    const std::size_t row = table + 4 * colours + static_cast<std::size_t>(15 - y) * stride;
    if (bits == 24) {
        const auto* p
            = reinterpret_cast<const unsigned char*>(dib.data() + row + 3 * static_cast<std::size_t>(x));
        return qRgb(p[2], p[1], p[0]);
    }
    const std::size_t bit = static_cast<std::size_t>(x * bits);
    const auto byte = static_cast<unsigned char>(dib[row + bit / 8]);
    const unsigned index = (byte >> (8 - bits - static_cast<int>(bit % 8))) & ((1u << bits) - 1);
    const auto* q = reinterpret_cast<const unsigned char*>(dib.data() + table + 4 * index);
    return qRgb(q[2], q[1], q[0]);
}

struct ProbeRun {
    test::ProcessResult result;
    std::string first(int format) const
    {
        return test::readFile(folder->file("first-" + std::to_string(format)));
    }
    std::string second(int format) const
    {
        return test::readFile(folder->file("second-" + std::to_string(format)));
    }
    std::string formats(const char* step) const
    {
        return test::readFile(folder->file(std::string(step) + "-formats"));
    }
    const TempFolder* folder = nullptr;
};

ProbeRun probe(const TempFolder& folder, const test::Environment& environment)
{
    ProbeRun run;
    run.folder = &folder;
    run.result
        = test::runProgram(FOLYANT_FACEPASTE_PROBE, {FOLYANT_FACEPASTE, folder.path()}, {}, environment);
    return run;
}

TEST(Facepaste, TrueColourDisplayGetsA24BitDibAndOnlyTheLastPicture)
{
    TempFolder folder;
    const ProbeRun run = probe(folder, {{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_EQ(run.result.exitCode, 0) << run.result.err;
    EXPECT_EQ(run.result.out, "1 1 null\n");

    const std::string dib = run.first(0);
    ASSERT_EQ(dib.size(), 808u);
    EXPECT_EQ(field32(dib, 0), 40u);
    EXPECT_EQ(field32(dib, 4), 16u);
    EXPECT_EQ(field32(dib, 8), 16u) << "positive: rows bottom-up";
    EXPECT_EQ(field16(dib, 12), 1u);
    EXPECT_EQ(field16(dib, 14), 24u);
    EXPECT_EQ(field32(dib, 16), 0u) << "BI_RGB";
    EXPECT_EQ(field32(dib, 20), 768u);
    EXPECT_EQ(pixelOf(dib, 0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(pixelOf(dib, 2, 10), qRgb(255, 0, 0)) << "the P of PDF";
    EXPECT_EQ(pixelOf(dib, 7, 3), qRgb(204, 232, 140)) << "the emblem, pale yellow-green";

    const std::string bmp = run.first(1);
    ASSERT_EQ(bmp.size(), 14u + 808u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.substr(14), dib) << "the BMP is the same DIB";
    QImage png;
    ASSERT_TRUE(png.loadFromData(
        reinterpret_cast<const uchar*>(run.first(2).data()), static_cast<int>(run.first(2).size()), "PNG"));
    EXPECT_EQ(png.size(), QSize(16, 16));

    const std::string second = run.second(0);
    ASSERT_EQ(second.size(), 808u);
    EXPECT_EQ(pixelOf(second, 7, 3), qRgb(248, 176, 208)) << "the pink face replaced the first";
    EXPECT_EQ(run.formats("second").find("text/plain"), std::string::npos) << "earlier content is gone";
    EXPECT_NE(run.formats("second").find("image/png"), std::string::npos);
}

TEST(Facepaste, EightBitDisplayGetsAnIndexedDibWith256Colours)
{
    TempFolder folder;
    const ProbeRun run = probe(folder, {{"QT_QPA_PLATFORM", "offscreen"}, {"FOLYANT_DISPLAY_DEPTH", "8"}});
    ASSERT_EQ(run.result.exitCode, 0) << run.result.err;
    const std::string dib = run.first(0);
    ASSERT_EQ(dib.size(), 1320u);
    EXPECT_EQ(field16(dib, 14), 8u);
    EXPECT_EQ(field32(dib, 20), 256u);
    EXPECT_EQ(pixelOf(dib, 2, 10), qRgb(255, 0, 0));
    EXPECT_EQ(pixelOf(dib, 7, 3), qRgb(204, 232, 140));
    EXPECT_EQ(run.second(0).size(), 1320u);
}

TEST(Facepaste, FourBitDisplayGetsAFourBitDibInTheSixteenColours)
{
    TempFolder folder;
    const ProbeRun run = probe(folder, {{"QT_QPA_PLATFORM", "offscreen"}, {"FOLYANT_DISPLAY_DEPTH", "4"}});
    ASSERT_EQ(run.result.exitCode, 0) << run.result.err;
    const std::string dib = run.first(0);
    ASSERT_EQ(dib.size(), 40u + 16 * 4 + 16 * 8);
    EXPECT_EQ(field16(dib, 14), 4u);
    EXPECT_EQ(field32(dib, 20), 128u);
    const QList<QRgb>& sixteen = sixteenColours();
    for (std::size_t i = 0; i < 16; ++i) {
        const auto* entry = reinterpret_cast<const unsigned char*>(dib.data() + 40 + 4 * i);
        EXPECT_EQ(qRgb(entry[2], entry[1], entry[0]), sixteen[static_cast<qsizetype>(i)]) << i;
    }
    EXPECT_EQ(pixelOf(dib, 2, 10), qRgb(255, 0, 0)) << "the P of PDF";
    EXPECT_EQ(pixelOf(dib, 0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(pixelOf(dib, 7, 3), qRgb(192, 192, 192)) << "the emblem, as near as sixteen colours come";
    EXPECT_EQ(run.first(1).size(), 14u + dib.size());
}

// A display that cannot be reached, however it is named, must not end the
// program that loaded the library: the exports return 1 and place nothing.
TEST(Facepaste, AnUnreachableDisplayNeverEndsTheHostProgram)
{
    const std::vector<test::Environment> displays = {
        {{"DISPLAY", ":93"}},
        {{"WAYLAND_DISPLAY", "wayland-93"}},
        {{"QT_QPA_PLATFORM", "xcb"}},
        {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":93"}},
        {{"QT_QPA_PLATFORM", "xcb;wayland"}},
        {{"QT_QPA_PLATFORM", "eglfs"}},
        {{"QT_QPA_PLATFORM", "linuxfb:fb=/dev/null"}},
        {{"QT_QPA_PLATFORM", "no-such-platform"}},
    };
    for (const test::Environment& display : displays) {
        test::Environment environment{{"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
        environment.insert(environment.end(), display.begin(), display.end());
        SCOPED_TRACE(display.front().first + "=" + display.front().second);
        TempFolder folder;
        const ProbeRun run = probe(folder, environment);
        EXPECT_EQ(run.result.exitCode, 0) << run.result.err;
        EXPECT_EQ(run.result.out, "1 1 null\n");
        EXPECT_TRUE(run.first(0).empty());
        EXPECT_TRUE(run.second(0).empty());
    }
}

TEST(Facepaste, WithoutAnyDisplayTheExportsStillReturnOne)
{
    TempFolder folder;
    const ProbeRun run = probe(folder, {{"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(run.result.exitCode, 0) << run.result.err;
    EXPECT_EQ(run.result.out, "1 1 null\n");
    EXPECT_TRUE(run.first(0).empty());
}

TEST(Facepaste, ExportsExactlyItsFourFunctions)
{
    const auto result
        = test::runProgram("nm", {"-D", "--defined-only", "--format=just-symbols", FOLYANT_FACEPASTE});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "BitmapToPackedDib\nCountDibColors\nLoadIcon1\nLoadIcon2\n");
}

TEST(PackedDib, ColourCountsForBothHeaderKinds)
{
    struct Case {
        std::uint32_t size;
        std::uint16_t bits;
        std::uint32_t used;
        unsigned expected;
    };
    const Case cases[] = {
        {40, 1, 0, 2},
        {40, 4, 0, 16},
        {40, 8, 0, 256},
        {40, 24, 0, 0},
        {40, 16, 0, 0},
        {40, 32, 0, 0},
        {40, 8, 173, 173},
        {40, 24, 5, 5},
        {40, 8, 0x10005, 5},
        {12, 1, 0, 2},
        {12, 4, 0, 16},
        {12, 8, 0, 256},
        {12, 24, 0, 0},
    };
    for (const Case& c : cases) {
        std::uint8_t header[40] = {};
        std::memcpy(header, &c.size, 4);
        std::memcpy(header + (c.size == 12 ? 10 : 14), &c.bits, 2);
        if (c.size == 40)
            std::memcpy(header + 32, &c.used, 4);
        EXPECT_EQ(countDibColors(header), c.expected) << c.size << "/" << c.bits << "/" << c.used;
    }
    EXPECT_EQ(countDibColors(nullptr), 0u);
}

TEST(PackedDib, DepthsPaddingAndPalettes)
{
    EXPECT_TRUE(packedDib(QImage()).empty());
    for (const auto& [depth, bits, size] : {std::tuple{32, 24, 808u}, std::tuple{16, 24, 808u},
             std::tuple{8, 8, 1320u}, std::tuple{1, 1, 40u + 8 + 64}}) {
        const QImage face = faceForDisplay(kFirstFace, depth);
        ASSERT_FALSE(face.isNull()) << depth;
        const auto dib = packedDib(face);
        EXPECT_EQ(dib.size(), size) << depth;
        EXPECT_EQ(dib[14], bits) << depth;
    }
    EXPECT_TRUE(faceForDisplay(999, 32).isNull());

    // An odd width pads each row to four bytes.
    QImage odd(3, 2, QImage::Format_RGB32);
    odd.fill(qRgb(1, 2, 3));
    const auto dib = packedDib(odd);
    ASSERT_EQ(dib.size(), 40u + 2 * 12);
    EXPECT_EQ(dib[40], 3) << "blue first";
    EXPECT_EQ(dib[40 + 9], 0) << "padding";

    // A palette given by the caller maps each colour to its nearest entry.
    const auto mapped = packedDib(faceForDisplay(kFirstFace, 8), {qRgb(250, 10, 10), qRgb(250, 250, 250)});
    ASSERT_EQ(mapped.size(), 1320u);
    const std::string asText(mapped.begin(), mapped.end());
    EXPECT_EQ(pixelOf(asText, 2, 10), qRgb(250, 10, 10));
    EXPECT_EQ(pixelOf(asText, 0, 0), qRgb(250, 250, 250));

    const std::vector<std::uint8_t> bmp = bmpFileOf(packedDib(faceForDisplay(kFirstFace, 8)));
    EXPECT_EQ(bmp[10] | (bmp[11] << 8), 14 + 40 + 1024) << "pixels start behind the colour table";
}

TEST(PackedDib, StoredPicturesAndAnEnlargedViewForAPerson)
{
    const QImage first(QStringLiteral(FOLYANT_SOURCE_DIR "/facepaste/face1000.bmp"));
    const QImage second(QStringLiteral(FOLYANT_SOURCE_DIR "/facepaste/face1001.bmp"));
    EXPECT_EQ(first.format(), QImage::Format_Indexed8);
    EXPECT_EQ(first.colorCount(), 255);
    EXPECT_EQ(second.colorCount(), 173);

    QImage sheet(16 * 12 * 2 + 12, 16 * 12, QImage::Format_RGB32);
    sheet.fill(Qt::lightGray);
    QPainter painter(&sheet);
    painter.drawImage(QRect(0, 0, 192, 192), faceForDisplay(kFirstFace, 32));
    painter.drawImage(QRect(204, 0, 192, 192), faceForDisplay(kSecondFace, 32));
    painter.end();
    EXPECT_TRUE(sheet.save(QStringLiteral(FOLYANT_TEST_ARTEFACTS "/facepaste-faces.png")));
}

} // namespace
