// cidfmapgen and Setupkit, run as their users run them.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

class CidfmapTest : public ::testing::Test {
protected:
    CidfmapTest()
    {
        std::filesystem::create_directories(etc.file("Quorvale"));
        test::writeFile(fonts.file("fonts.conf"),
            "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + fonts.path() + "</dir><cachedir>"
                + fonts.file("cache") + "</cachedir></fontconfig>\n");
        setLibFolder(lib.path());
    }
    void setLibFolder(const std::string& folder)
    {
        test::writeFile(config(), "[General]\nGSLibPath=\"" + folder + "\"\n");
    }
    std::string config() const { return etc.file("Quorvale/Folyant Velmo.conf"); }
    int run(bool realFonts = false)
    {
        std::vector<std::pair<std::string, std::string>> env{{"FOLYANT_SYSCONFDIR", etc.path()}};
        if (!realFonts)
            env.emplace_back("FONTCONFIG_FILE", fonts.file("fonts.conf"));
        const auto result = test::runProgram(FOLYANT_CIDFMAPGEN, {}, {}, env);
        EXPECT_EQ(result.out, "") << "the generator prints nothing";
        // Silent when it worked, one line saying why when it did not.
        EXPECT_EQ(result.err.empty(), result.exitCode == 0) << result.err;
        return result.exitCode;
    }
    // The line that lets the distribution's map serve every other name.
    static std::string systemMapLine()
    {
        return test::fileExists("/var/lib/ghostscript/fonts/cidfmap")
            ? "(/var/lib/ghostscript/fonts/cidfmap) .runlibfile\n"
            : "";
    }
    TempFolder etc;
    TempFolder lib;
    TempFolder fonts;
};

TEST_F(CidfmapTest, ACffOpenTypeCollectionIsNeverWrittenAsTrueType)
{
    const std::string noto = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc";
    if (!test::fileExists(noto))
        GTEST_SKIP() << "needs fonts-noto-cjk";
    std::filesystem::create_symlink(noto, fonts.file("NotoSerifCJK-Regular.ttc"));
    ASSERT_EQ(run(), 0);
    const std::string map = test::readFile(lib.file("cidfmap"));
    EXPECT_EQ(map.find("Noto"), std::string::npos) << map;
    EXPECT_NE(
        map.find("/Batang << /FileType /TrueType /Path (" + fonts.path() + "/BATANG.TTC)"), std::string::npos)
        << "without a TrueType face the Windows name stands, as without any";
}

TEST_F(CidfmapTest, TheSystemMapStillServesAdobesNames)
{
    if (systemMapLine().empty())
        GTEST_SKIP() << "no distribution cidfmap on this machine";
    ASSERT_EQ(run(true), 0);
    test::writeFile(lib.file("zev.ps"), test::readFile(std::string(FOLYANT_DEV_LIB) + "/zev.ps"));
    test::writeFile(
        config(), "[General]\nGSLibPath=\"" + lib.path() + "\"\nGSFontPath=\"" FOLYANT_GS_FONT_FOLDER "\"\n");
    // The job asks for HYSMyeongJo-Medium, which only the distribution's map names.
    const std::string pdf = lib.file("adobe.pdf");
    const auto result
        = test::runProgram(FOLYANT_CONVERTER, {pdf, "/source", test::dataFile("gs-cjk-gscjk_ak.ps")}, {},
            {{"FOLYANT_SYSCONFDIR", etc.path()}, {"FOLYANT_UNATTENDED", "1"}});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string text = test::pdfText(pdf);
    EXPECT_NE(text.find("한국어"), std::string::npos) << text.substr(0, 300);
}

TEST_F(CidfmapTest, WritesOneLinePerFaceWithIndicesFromZero)
{
    for (const char* name : {"batang.ttc", "GULIM.TTC", "MsGothic.ttc", "MSMINCHO.TTC"})
        test::writeFile(fonts.file(name), "stand-in");
    ASSERT_EQ(run(), 0);
    const std::string f = fonts.path();
    const std::string expected = "/Batang << /FileType /TrueType /Path (" + f
        + "/batang.ttc) /SubfontID 0 /CSI [(Korea1) 2] >> ;\n"
          "/BatangChe << /FileType /TrueType /Path ("
        + f
        + "/batang.ttc) /SubfontID 1 /CSI [(Korea1) 2] >> ;\n"
          "/Gungseo << /FileType /TrueType /Path ("
        + f
        + "/batang.ttc) /SubfontID 2 /CSI [(Korea1) 2] >> ;\n"
          "/GungseoChe << /FileType /TrueType /Path ("
        + f
        + "/batang.ttc) /SubfontID 3 /CSI [(Korea1) 2] >> ;\n"
          "/Gulim << /FileType /TrueType /Path ("
        + f
        + "/GULIM.TTC) /SubfontID 0 /CSI [(Korea1) 2] >> ;\n"
          "/GulimChe << /FileType /TrueType /Path ("
        + f
        + "/GULIM.TTC) /SubfontID 1 /CSI [(Korea1) 2] >> ;\n"
          "/Dotum << /FileType /TrueType /Path ("
        + f
        + "/GULIM.TTC) /SubfontID 2 /CSI [(Korea1) 2] >> ;\n"
          "/DotumChe << /FileType /TrueType /Path ("
        + f
        + "/GULIM.TTC) /SubfontID 3 /CSI [(Korea1) 2] >> ;\n"
          "/Gothic << /FileType /TrueType /Path ("
        + f
        + "/MsGothic.ttc) /SubfontID 0 /CSI [(Japan1) 2] >> ;\n"
          "/Mincho << /FileType /TrueType /Path ("
        + f + "/MSMINCHO.TTC) /SubfontID 0 /CSI [(Japan1) 2] >> ;\n";
    EXPECT_EQ(test::readFile(lib.file("cidfmap")), systemMapLine() + expected);

    ASSERT_EQ(run(), 0);
    EXPECT_EQ(test::readFile(lib.file("cidfmap")), systemMapLine() + expected)
        << "a second run replaces, never appends";
}

TEST_F(CidfmapTest, EveryFaceGetsALineEvenWithoutFonts)
{
    ASSERT_EQ(run(), 0);
    const std::string map = test::readFile(lib.file("cidfmap"));
    EXPECT_EQ(std::count(map.begin(), map.end(), '\n'), systemMapLine().empty() ? 10 : 11);
    EXPECT_NE(
        map.find("/Mincho << /FileType /TrueType /Path (" + fonts.path() + "/MSMINCHO.TTC) /SubfontID 0"),
        std::string::npos)
        << map;
}

TEST_F(CidfmapTest, FailuresEndWithMinusOneAndWriteNothing)
{
    test::writeFile(config(), "[General]\nGSFontPath=\"/x\"\n");
    EXPECT_EQ(run(), 255) << "no GSLibPath";
    std::remove(config().c_str());
    EXPECT_EQ(run(), 255) << "no settings at all";

    setLibFolder(lib.path() + "/" + std::string(500, 'd'));
    EXPECT_EQ(run(), 255) << "the map's path would not fit its buffer";
    setLibFolder(lib.file("missing-folder"));
    EXPECT_EQ(run(), 255);
    EXPECT_TRUE(test::filesBelow(lib.path()).empty());
}

TEST_F(CidfmapTest, KoreanAndJapaneseJobsGetTheInstalledFaces)
{
    ASSERT_EQ(run(true), 0);
    test::writeFile(lib.file("zev.ps"), test::readFile(std::string(FOLYANT_DEV_LIB) + "/zev.ps"));
    test::writeFile(
        config(), "[General]\nGSLibPath=\"" + lib.path() + "\"\nGSFontPath=\"" FOLYANT_GS_FONT_FOLDER "\"\n");
    // 한국어 in the Unified Hangul Code, 日本語 in Shift-JIS.
    const std::string job
        = "%!PS\n/Batang-KSCms-UHC-H findfont 40 scalefont setfont 72 700 moveto <C7D1B1B9BEEE> show\n"
          "/Mincho-90ms-RKSJ-H findfont 40 scalefont setfont 72 600 moveto <93FA967B8CEA> show\n"
          "showpage\n";
    auto convert = [&](const std::string& pdf) {
        const auto result = test::runProgram(
            FOLYANT_CONVERTER, {pdf}, job, {{"FOLYANT_SYSCONFDIR", etc.path()}, {"FOLYANT_UNATTENDED", "1"}});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return test::runProgram("pdffonts", {pdf}).out;
    };

    const std::string mapped = convert(lib.file("mapped.pdf"));
    EXPECT_NE(mapped.find("+Nanum"), std::string::npos) << mapped;
    EXPECT_NE(mapped.find("+IPA"), std::string::npos) << mapped;
    EXPECT_NE(mapped.find("CID TrueType"), std::string::npos) << mapped;
    const std::string text = test::pdfText(lib.file("mapped.pdf"));
    EXPECT_NE(text.find("한국어"), std::string::npos) << text;
    EXPECT_NE(text.find("日本語"), std::string::npos) << text;

    // The page shows glyphs where the text stands: dark pixels in that band.
    test::runProgram(
        "pdftoppm", {"-r", "36", "-gray", "-f", "1", "-l", "1", lib.file("mapped.pdf"), lib.file("page")});
    const std::string pgm = test::readFile(lib.file("page-1.pgm"));
    ASSERT_GT(pgm.size(), 1000u);
    const std::size_t header = pgm.find("255\n") + 4;
    const std::size_t width = 306; // 8.5 in at 36 dpi
    int dark = 0;
    for (std::size_t row = 36 * 1; row < 36 * 3; ++row) // the band from 1 to 3 inches below the top
        for (std::size_t column = 36; column < 250; ++column)
            dark += static_cast<unsigned char>(pgm[header + row * width + column]) < 128 ? 1 : 0;
    EXPECT_GT(dark, 200);

    std::remove(lib.file("cidfmap").c_str());
    const std::string fallback = convert(lib.file("fallback.pdf"));
    EXPECT_EQ(fallback.find("+Nanum"), std::string::npos) << fallback;
    EXPECT_EQ(test::pdfText(lib.file("fallback.pdf")).find("한국어"), std::string::npos);
}

// A font file's name is anyone's choice (a user's own font folder is read
// too): written into the map, it stays a name. A name that would close the
// string and run code, or leave it open, still names its face.
TEST_F(CidfmapTest, FontFileNamesStayNamesInTheMap)
{
    const std::string nanum = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";
    if (!test::fileExists(nanum))
        GTEST_SKIP() << "needs fonts-nanum";
    const std::string hostile = "x) >> ; (INJECTED) = (z) (y ( \xed\x95\x9c.ttf";
    std::filesystem::copy_file(nanum, fonts.file(hostile));
    ASSERT_EQ(run(), 0);
    const std::string map = test::readFile(lib.file("cidfmap"));
    EXPECT_NE(
        map.find("/Path (" + fonts.path() + "/x\\) >> ; \\(INJECTED\\) = \\(z\\) \\(y \\( \xed\x95\x9c.ttf)"),
        std::string::npos)
        << map;

    test::writeFile(lib.file("zev.ps"), test::readFile(std::string(FOLYANT_DEV_LIB) + "/zev.ps"));
    test::writeFile(
        config(), "[General]\nGSLibPath=\"" + lib.path() + "\"\nGSFontPath=\"" FOLYANT_GS_FONT_FOLDER "\"\n");
    const auto result = test::runProgram(FOLYANT_CONVERTER, {lib.file("korean.pdf")},
        "%!PS\n/Batang-KSCms-UHC-H findfont 40 scalefont setfont 72 700 moveto <C7D1B1B9BEEE> "
        "show\nshowpage\n",
        {{"FOLYANT_SYSCONFDIR", etc.path()}, {"FOLYANT_UNATTENDED", "1"}});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("INJECTED"), std::string::npos) << result.err;
    EXPECT_NE(test::runProgram("pdffonts", {lib.file("korean.pdf")}).out.find("+Nanum"), std::string::npos)
        << "the face came from the file of that name";
    EXPECT_NE(test::pdfText(lib.file("korean.pdf")).find("한국"), std::string::npos);
}

TEST(Setupkit, ExportsAnswerWithTheirBounds)
{
    auto run = [](const std::string& ppd, const std::string& data, const std::string& home) {
        return test::runProgram(FOLYANT_SETUPKIT_PROBE, {FOLYANT_SETUPKIT}, {},
            {{"FOLYANT_PPD_DIR", ppd}, {"XDG_DATA_HOME", data}, {"HOME", home}})
            .out;
    };
    EXPECT_EQ(run("/usr/share/ppd/folyant", "/data/here", "/home/h"),
        "printer 1 /usr/share/ppd/folyant\nword 1 /data/here\n");
    EXPECT_EQ(run("/p", "", "/home/h"), "printer 1 /p\nword 1 /home/h/.local/share\n");
    EXPECT_EQ(run("/p", "relative/data", "/home/h"), "printer 1 /p\nword 1 /home/h/.local/share\n");
    EXPECT_EQ(run("/" + std::string(253, 'p'), "/" + std::string(1022, 'd'), "/h"),
        "printer 1 /" + std::string(253, 'p') + "\nword 1 /" + std::string(1022, 'd') + "\n");
    EXPECT_EQ(
        run("/" + std::string(254, 'p'), "/" + std::string(1023, 'd'), "/h"), "printer -1 -\nword -1 \n");
}

} // namespace
