// The converter's command-line grammar, the job built from it, and the
// settings read and written around a run.
#include "converter/core/CDu2RorCommandLineInfo.h"
#include "converter/core/ConversionJob.h"
#include "converter/core/StringTable.h"
#include "converter/core/TextNumbers.h"
#include "installation/MachineSettings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace folyant;
using namespace folyant::converter;

namespace {

CDu2RorCommandLineInfo parse(std::vector<const char*> words)
{
    words.insert(words.begin(), "Folyant_Standard");
    CDu2RorCommandLineInfo info;
    ParseCommandLine(info, static_cast<int>(words.size()), words.data());
    return info;
}

ConversionJob jobFor(std::vector<const char*> words)
{
    test::RecordingProfile profile;
    return buildJob(parse(std::move(words)), profile);
}

// What each command line makes of the job: the first word that is not a
// switch is the output, switches match in any case, unknown ones are ignored.
TEST(CommandLine, WordsMakeTheJob)
{
    struct Case {
        std::vector<const char*> words;
        const char* output;
        const char* source;
        int quality; // 1: the profile's default
        bool show;
        bool mail;
        bool hft;
    };
    const Case cases[] = {
        {{"out.pdf", "/source", "in.ps", "/quality", "2", "/showpdf"}, "out.pdf", "in.ps", 2, true, false,
            false},
        {{"/source", "in.ps", "out.pdf"}, "in.ps", "in.ps", 1, false, false, false},
        // "/quality=2" is an unknown switch.
        {{"out.pdf", "/SHOWPDF", "-EmailPdf", "/quality=2", "/nosuch", "-hft"}, "out.pdf", "", 1, true, true,
            true},
        // A quality switch without its value means prepress.
        {{"out.pdf", "/quality"}, "out.pdf", "", 0, false, false, false},
        {{"/home/u/out.pdf", "/source", "/tmp/in.ps", "/showpdf"}, "/home/u/out.pdf", "/tmp/in.ps", 1, true,
            false, false},
        {{"/showpdf"}, "", "", 1, true, false, false},
    };
    for (const Case& c : cases) {
        const auto job = jobFor(c.words);
        std::string words;
        for (const char* word : c.words)
            words += std::string(word) + " ";
        EXPECT_EQ(job.outputPath, c.output) << words;
        EXPECT_EQ(job.sourcePath, c.source) << words;
        EXPECT_EQ(job.quality, c.quality) << words;
        EXPECT_EQ(job.showRequested, c.show) << words;
        EXPECT_EQ(job.mailRequested, c.mail) << words;
        EXPECT_EQ(job.hftSeen, c.hft) << words;
        EXPECT_FALSE(job.securityRequested) << words;
    }

    const auto secured = jobFor({"out.pdf", "/security", "", "owner", "1100", "x", "surplus"});
    EXPECT_TRUE(secured.securityRequested);
    EXPECT_EQ(secured.userPassword, "");
    EXPECT_EQ(secured.ownerPassword, "owner");
    EXPECT_EQ(secured.permissionText, "1100");
    EXPECT_EQ(secured.fourthSecurityValue, "x");
}

// Every absolute path begins with "/": one that holds a further "/" or a "."
// is a value, not a switch.
TEST(CommandLine, AbsolutePathsAreValuesNotSwitches)
{
    const std::pair<const char*, bool> cases[] = {{"/source", true}, {"-source", true}, {"/quality=2", true},
        {"/out.pdf", false}, {"/tmp/x", false}, {"", false}, {"out.pdf", false}};
    for (const auto& [word, isSwitch] : cases)
        EXPECT_EQ(isSwitchWord(word), isSwitch) << word;
}

TEST(CommandLine, SourceSlotPassesItsWordOn)
{
    auto info = parse({"out.pdf", "/source", "/quality", "in.ps", "2"});
    EXPECT_EQ(info.m_sourcePath, "in.ps");
    EXPECT_EQ(info.m_qualityText, "in.ps");
    EXPECT_EQ(buildJob(info, test::RecordingProfile{}).quality, 0);

    info = parse({"out.pdf", "/security", "u", "o", "/source", "in.ps"});
    EXPECT_EQ(info.m_sourcePath, "in.ps");
    EXPECT_EQ(info.m_permissionText, "in.ps");
    EXPECT_EQ(info.m_securityCount, 3);
}

TEST(CommandLine, WatermarkTakesSevenValuesWithAtoiNumbers)
{
    const auto info
        = parse({"o.pdf", "/watermark", "DRAFT", "굴림", "12", "-3x", " 7", "abc", "99999999999", "extra"});
    EXPECT_EQ(info.m_watermarkText, "DRAFT");
    EXPECT_EQ(info.m_watermarkFont, "굴림");
    EXPECT_EQ(info.m_watermarkCount, 7);
    // "-3x" begins with "-": a switch, not a value.
    const std::array<int, 5> expected{12, 7, 0, INT_MAX, 0};
    EXPECT_EQ(info.m_watermarkNumbers, expected);
}

TEST(LeadingInt, ReadsLikeAtoi)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0},
        {"2", 2},
        {"  -17z", -17},
        {"+5", 5},
        {"x1", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
        {"\t\n 3", 3},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(leadingInt(text), expected) << '"' << text << '"';
}

TEST(Job, ProfileDefaultsAndReadOrder)
{
    test::RecordingProfile profile;
    const auto job = buildJob(parse({"out.pdf"}), profile);
    EXPECT_EQ(job.quality, 1);
    EXPECT_EQ(job.paperSizeMode, 0);
    EXPECT_EQ(job.paperWidthMm, 0);
    EXPECT_EQ(job.paperHeightMm, 0);
    EXPECT_TRUE(job.closeAfterProcess);
    EXPECT_EQ(profile.reads, (std::vector<std::string>{"Quality", "PaperW", "PaperH"}));
}

TEST(Job, CommandLineQualityOverridesProfile)
{
    test::RecordingProfile profile;
    profile.values = {{"Quality", 2}, {"PaperW", 210}, {"PaperH", 297}, {"PaperSize", 1}};
    auto job = buildJob(parse({"out.pdf"}), profile);
    EXPECT_EQ(job.quality, 2);
    EXPECT_EQ(job.paperWidthMm, 210);
    EXPECT_EQ(job.paperSizeMode, 0) << "each run starts with the job's own size";
    job = buildJob(parse({"out.pdf", "/quality", "0"}), profile);
    EXPECT_EQ(job.quality, 0);
}

TEST(Job, SaveWritesFiveValuesInOrder)
{
    test::RecordingProfile profile;
    ConversionJob job;
    job.closeAfterProcess = false;
    job.quality = 3;
    job.paperSizeMode = 1;
    job.paperWidthMm = 210;
    job.paperHeightMm = 297;
    saveSettings(profile, job);
    EXPECT_EQ(profile.writes,
        (std::vector<std::string>{"CloseAfterProcess", "Quality", "PaperSize", "PaperW", "PaperH"}));
    EXPECT_EQ(profile.values["CloseAfterProcess"], 0);
    EXPECT_EQ(profile.values["Quality"], 3);
    EXPECT_EQ(profile.values["PaperH"], 297);
}

TEST(StringTable, WatermarkCidFontByLanguage)
{
    EXPECT_EQ(watermarkCidFont("KR", "바탕"), "Batang-KSCms-UHC-H");
    EXPECT_EQ(watermarkCidFont("KR", "궁서"), "Gungseo-KSCms-UHC-H");
    EXPECT_EQ(watermarkCidFont("KR", "굴림"), "Gulim-KSCms-UHC-H");
    EXPECT_EQ(watermarkCidFont("KR", "돋움"), "Dotum-KSCms-UHC-H");
    EXPECT_EQ(watermarkCidFont("KR", "Arial"), "Dotum-KSCms-UHC-H");
    EXPECT_EQ(watermarkCidFont("JP", "Arial"), "Gothic-90ms-RKSJ-H");
    EXPECT_EQ(watermarkCidFont("EN", "Arial"), "Arial");
    EXPECT_EQ(loadString(12345), "");
}

} // namespace
