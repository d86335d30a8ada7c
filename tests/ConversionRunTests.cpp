// Whole conversions through the real interpreter, judged by poppler's tools.
#include "converter/core/ConversionJob.h"
#include "converter/core/StringTable.h"
#include "interpreter/PostScriptFeed.h"
#include "interpreter/ToUnicodeRepair.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace folyant;
using namespace folyant::converter;
using folyant::test::TempFolder;

namespace {

class ConversionRunTest : public ::testing::Test {
protected:
    ConversionJob jobWriting(const std::string& name)
    {
        ConversionJob job;
        job.outputPath = folder.file(name);
        job.libFolder = FOLYANT_DEV_LIB;
        job.fontFolder = FOLYANT_GS_FONT_FOLDER;
        return job;
    }

    // The dialog's sequence: start, stamp, feed until the input ends.
    void convert(const ConversionJob& job, const std::string& source)
    {
        ASSERT_TRUE(run.openSource(source)) << source;
        ASSERT_TRUE(startInterpreter(run, job).started()) << run.log().text();
        run.sendPageStamp(job.libFolder);
        for (int ticks = 0; run.feedStep() == gs::PostScriptFeed::Step::Fed; ++ticks)
            ASSERT_LT(ticks, 100000);
        EXPECT_FALSE(run.hasInterpreter());
    }

    TempFolder folder;
    gs::PostScriptFeed run;
};

TEST_F(ConversionRunTest, HundredKibibytesArriveInTwoChunks)
{
    std::string job = "%!PS\n";
    while (job.size() < 100 * 1024 - 20)
        job += "% padding\n";
    job += "showpage\n";
    job.resize(100 * 1024, '\n');
    test::writeFile(folder.file("in.ps"), job);

    const auto conversion = jobWriting("out.pdf");
    ASSERT_TRUE(run.openSource(folder.file("in.ps")));
    ASSERT_TRUE(startInterpreter(run, conversion).started());
    EXPECT_EQ(run.inputSize(), 102400u);

    ASSERT_EQ(run.feedStep(), gs::PostScriptFeed::Step::Fed);
    EXPECT_EQ(run.bytesFed(), 65535);
    EXPECT_EQ(run.amountText(), "63");
    EXPECT_EQ(run.progressPosition(), 191);

    ASSERT_EQ(run.feedStep(), gs::PostScriptFeed::Step::Fed);
    EXPECT_EQ(run.bytesFed(), 102400);
    EXPECT_EQ(run.amountText(), "100");
    EXPECT_EQ(run.progressPosition(), 300);

    EXPECT_EQ(run.feedStep(), gs::PostScriptFeed::Step::InputEnded);
    EXPECT_EQ(test::pdfPageCount(conversion.outputPath), 1);
    EXPECT_EQ(run.feedStep(), gs::PostScriptFeed::Step::Idle) << "a tick after the end does nothing";
}

TEST_F(ConversionRunTest, EmptyInputFailsAtTheFirstTick)
{
    test::writeFile(folder.file("empty.ps"), "");
    const auto job = jobWriting("out.pdf");
    ASSERT_TRUE(run.openSource(folder.file("empty.ps")));
    ASSERT_TRUE(startInterpreter(run, job).started());
    run.sendPageStamp(job.libFolder);
    EXPECT_EQ(run.feedStep(job.outputPath), gs::PostScriptFeed::Step::Failed);
    EXPECT_EQ(run.failure(), gs::PostScriptFeed::Failure::EmptyInput);
    EXPECT_FALSE(run.outputKept());
    EXPECT_FALSE(test::fileExists(job.outputPath)) << "a blank page is no conversion";
    EXPECT_EQ(run.bytesFed(), 0);
    EXPECT_EQ(run.progressPosition(), std::nullopt) << "no share of an empty input";
}

TEST_F(ConversionRunTest, InputsThatCannotBeOpened)
{
    EXPECT_FALSE(run.openSource(folder.file("missing.ps")));
    EXPECT_FALSE(run.openSource(folder.path())) << "a folder is not a PostScript input";
    test::writeFile(folder.file("locked.ps"), "%!PS\n");
    chmod(folder.file("locked.ps").c_str(), 0);
    if (geteuid() != 0) {
        EXPECT_FALSE(run.openSource(folder.file("locked.ps")));
    }
    EXPECT_FALSE(run.hasInput());
}

TEST_F(ConversionRunTest, CancelDeletesThePartlyWrittenOutput)
{
    const auto job = jobWriting("out.pdf");
    ASSERT_TRUE(run.openSource(test::dataFile("acrobat6-win-word-12p.ps")));
    ASSERT_TRUE(startInterpreter(run, job).started());
    ASSERT_EQ(run.feedStep(), gs::PostScriptFeed::Step::Fed);
    ASSERT_TRUE(test::fileExists(job.outputPath));
    EXPECT_TRUE(run.cancel(job.outputPath));
    EXPECT_FALSE(test::fileExists(job.outputPath));
    EXPECT_FALSE(run.hasInterpreter());
    EXPECT_EQ(run.feedStep(), gs::PostScriptFeed::Step::Idle);
    EXPECT_FALSE(run.cancel(job.outputPath)) << "nothing left to cancel";
}

TEST_F(ConversionRunTest, RefusedStartLeavesNoRunningInterpreter)
{
    auto job = jobWriting("out.pdf");
    job.fontFolder = "/nonexistent/fonts";
    job.libFolder = "/nonexistent/lib";
    test::writeFile(folder.file("in.ps"), "showpage\n");
    ASSERT_TRUE(run.openSource(folder.file("in.ps")));
    // The interpreter finds its own resources without ours, so a refusal
    // needs arguments it cannot take.
    job.outputPath = "/nonexistent-folder/out.pdf";
    const gs::StartResult started = startInterpreter(run, job);
    EXPECT_EQ(started.outcome, gs::StartResult::Outcome::Refused);
    EXPECT_LT(started.code, 0);
    EXPECT_FALSE(run.log().text().empty());
    EXPECT_TRUE(run.cancel(job.outputPath));
}

TEST_F(ConversionRunTest, TheTitleLosesTheParenthesesOfItsHeader)
{
    const auto job = jobWriting("titled.pdf");
    convert(job, test::dataFile("lo74-print-poi-15556-korean.ps"));
    const std::string info = test::runProgram("pdfinfo", {job.outputPath}).out;
    EXPECT_NE(info.find("Title:           poi-15556-korean.xls\n"), std::string::npos) << info;
}

TEST_F(ConversionRunTest, CancellingARefusedStartKeepsAnEarlierPdf)
{
    auto job = jobWriting("earlier.pdf");
    test::writeFile(job.outputPath, "%PDF-1.4 from an earlier run");
    // A page the device cannot take: refused at start, before anything is opened.
    job.paperSizeMode = 1;
    job.paperWidthMm = 700000000;
    job.paperHeightMm = 700000000;
    ASSERT_TRUE(run.openSource(test::dataFile("cups-testfile.ps")));
    ASSERT_FALSE(startInterpreter(run, job).started());
    EXPECT_TRUE(run.cancel(job.outputPath));
    EXPECT_EQ(test::readFile(job.outputPath), "%PDF-1.4 from an earlier run");
}

TEST_F(ConversionRunTest, CustomPaperSizeReachesThePdf)
{
    auto job = jobWriting("out.pdf");
    job.paperSizeMode = 1;
    job.paperWidthMm = 210;
    job.paperHeightMm = 297;
    test::writeFile(folder.file("in.ps"), "%!PS\nshowpage\n");
    convert(job, folder.file("in.ps"));
    const auto info = test::runProgram("pdfinfo", {job.outputPath}).out;
    EXPECT_NE(info.find("595 x 842 pts"), std::string::npos) << info;
}

// Real jobs: every page comes out and carries the stamp.
struct CorpusJob {
    const char* file;
    int pages;
    const char* text; // a text the PDF must contain, or null
};

class CorpusConversion : public ConversionRunTest, public ::testing::WithParamInterface<CorpusJob> { };

TEST_P(CorpusConversion, PagesAndStampArePresent)
{
    const CorpusJob& corpus = GetParam();
    const auto job = jobWriting("out.pdf");
    convert(job, test::dataFile(corpus.file));
    ASSERT_EQ(test::pdfPageCount(job.outputPath), corpus.pages) << run.log().text();
    EXPECT_EQ(test::pagesWithStamp(job.outputPath, corpus.pages), corpus.pages);
    if (corpus.text) {
        EXPECT_NE(test::pdfText(job.outputPath).find(corpus.text), std::string::npos) << corpus.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, CorpusConversion,
    ::testing::Values(CorpusJob{"acrobat6-win-word-12p.ps", 12, nullptr},
        CorpusJob{"cups-testfile.ps", 1, nullptr}, CorpusJob{"gs-cjk-gscjk_ak.ps", 1, "한국어"},
        CorpusJob{"lo74-print-poi-15556-korean.ps", 2, nullptr},
        CorpusJob{"derived-error-undefined-acrobat6-p3.ps", 2, nullptr},
        CorpusJob{"derived-truncated-acrobat6-win-word.ps", 3, nullptr}),
    [](const auto& test) {
        std::string name = test.param.file;
        name = name.substr(0, name.find('.'));
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// What the job prints, "=" of any object included, and its PostScript errors
// go to the log, never into the PDF; the run goes on after an error.
struct PrintingJob {
    const char* name;
    const char* file; // of the test data; null: the PostScript below
    const char* postscript;
    const char* logged;
};

class JobLog : public ConversionRunTest, public ::testing::WithParamInterface<PrintingJob> { };

TEST_P(JobLog, WhatTheJobPrintsAndItsErrorsGoToTheLog)
{
    const PrintingJob& printing = GetParam();
    std::string source = folder.file("in.ps");
    if (printing.file)
        source = test::dataFile(printing.file);
    else
        test::writeFile(source, printing.postscript);
    const auto job = jobWriting("out.pdf");
    convert(job, source);
    EXPECT_NE(run.log().text().find(printing.logged), std::string::npos) << run.log().text();
    EXPECT_EQ(test::readFile(job.outputPath).rfind("%PDF", 0), 0u) << "printed text never lands in the PDF";
}

INSTANTIATE_TEST_SUITE_P(Jobs, JobLog,
    ::testing::Values(PrintingJob{"PrintedText", "gs-contrib-dumppdd.ps", nullptr,
                          "Current Page Device Dictionary Contents\r\n"},
        PrintingJob{"EqualsOfAnyObject", nullptr, "%!PS\n(text) = 123 = /name = [1 (two)] = showpage\n",
            "text\r\n123\r\nname\r\n--nostringval--\r\n"},
        PrintingJob{"PostScriptError", "derived-error-undefined-acrobat6-p3.ps", nullptr, "undefined"}),
    [](const auto& test) { return std::string(test.param.name); });

// Hostile and malformed jobs: the interpreter's protections hold, nothing
// crashes, and nothing but the output is written.
struct HostileJob {
    const char* name;
    std::string postscript;
    const char* logMentions;
};

class HostileConversion : public ConversionRunTest, public ::testing::WithParamInterface<HostileJob> { };

std::string page(const std::string& body)
{
    return "%!PS\n/Helvetica findfont 12 scalefont setfont 72 700 moveto\n" + body + "\nshowpage\n";
}

TEST_P(HostileConversion, EndsCleanlyAndWritesOnlyTheOutput)
{
    const HostileJob& hostile = GetParam();
    TempFolder work;
    test::writeFile(work.file("victim.txt"), "keep me");
    std::string postscript = hostile.postscript;
    for (std::size_t at; (at = postscript.find("@DIR@")) != std::string::npos;)
        postscript.replace(at, 5, work.path());
    test::writeFile(folder.file("in.ps"), postscript);

    auto job = jobWriting("out.pdf");
    job.outputPath = work.file("out.pdf");
    convert(job, folder.file("in.ps"));

    EXPECT_EQ(test::filesBelow(work.path()), (std::vector<std::string>{"out.pdf", "victim.txt"}));
    EXPECT_EQ(test::readFile(work.file("victim.txt")), "keep me");
    if (hostile.logMentions) {
        EXPECT_NE(run.log().text().find(hostile.logMentions), std::string::npos) << run.log().text();
    }
    EXPECT_EQ(test::pdfText(job.outputPath).find("root:"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Jobs, HostileConversion,
    ::testing::Values(HostileJob{"ReadsPasswd", page("(/etc/passwd) (r) file 200 string readstring pop show"),
                          "invalidfileaccess"},
        HostileJob{"WritesAFile", page("(@DIR@/pwned) (w) file (x) writestring"), "invalidfileaccess"},
        HostileJob{"DeletesAFile", page("(@DIR@/victim.txt) deletefile"), "in deletefile"},
        HostileJob{"RenamesAFile", page("(@DIR@/victim.txt) (@DIR@/moved) renamefile"), "in renamefile"},
        HostileJob{"WidensItsPermissions",
            page("<< /PermitFileWriting [(*)] >> setuserparams (@DIR@/pwned) (w) file pop"),
            "invalidfileaccess"},
        HostileJob{"SecondOutputFile", page("<< /OutputFile (@DIR@/second.pdf) >> setpagedevice"), nullptr},
        HostileJob{"Quits", page("quit") + page("(after quit) show"), nullptr},
        HostileJob{"BinaryGarbage",
            [] {
                std::string bytes;
                for (int i = 0; i < 70000; ++i)
                    bytes += static_cast<char>((i * 7919 + 13) % 256);
                return bytes;
            }(),
            nullptr},
        HostileJob{"UnbalancedStructures", "%!PS\n<< /a [ { ( \n", nullptr},
        HostileJob{"EndsInsideAString", page("(never closed"), nullptr},
        HostileJob{"EndsInsideAProcedure", page("{ 1 2 add"), nullptr},
        HostileJob{"EndsInsideHexData", page("<48656c6c"), nullptr},
        HostileJob{"EndsInsideAscii85", page("<~87cURD]i,"), nullptr}),
    [](const auto& test) { return std::string(test.param.name); });

// The messages of a print job are in the language of its locale, chosen as
// the desktop chooses it, with no translator loaded.
TEST(StringTableLanguages, TheLocaleChoosesTheLanguage)
{
    const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    struct Case {
        const char* language;
        const char* all;
        const char* messages;
        const char* lang;
        const char* tag;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, "ja_JP.UTF-8", "JP"},
        {nullptr, nullptr, nullptr, "en_GB.UTF-8", "EN"},
        {nullptr, nullptr, nullptr, "zh_CN.UTF-8", "SC"},
        {nullptr, nullptr, nullptr, "zh_TW.UTF-8", "TC"},
        {nullptr, nullptr, nullptr, "zh_HK", "TC"},
        {nullptr, nullptr, nullptr, "ko_KR.UTF-8", "KR"},
        {nullptr, nullptr, nullptr, "C.UTF-8", "KR"},
        {nullptr, nullptr, nullptr, "fr_FR.UTF-8", "KR"},
        {nullptr, "ja_JP.UTF-8", "en_US.UTF-8", "zh_CN.UTF-8", "JP"},
        {nullptr, nullptr, "en_US.UTF-8", "ja_JP.UTF-8", "EN"},
        {"de:zh_TW:en", nullptr, nullptr, "ja_JP.UTF-8", "TC"},
        {"de", nullptr, nullptr, "ja_JP.UTF-8", "JP"},
        {nullptr, nullptr, nullptr, nullptr, "KR"},
    };
    for (const Case& c : cases) {
        const char* values[] = {c.language, c.all, c.messages, c.lang};
        for (std::size_t i = 0; i < std::size(names); ++i) {
            if (values[i])
                setenv(names[i], values[i], 1);
            else
                unsetenv(names[i]);
        }
        const std::string tag = loadString(strings::kLanguageTag);
        EXPECT_EQ(tag, c.tag) << (c.language ? c.language : "-") << " " << (c.all ? c.all : "-") << " "
                              << (c.messages ? c.messages : "-") << " " << (c.lang ? c.lang : "-");
        if (tag == "JP") {
            EXPECT_EQ(loadString(strings::kPdfMissing), "該当のPDFファイルが存在しません。");
            EXPECT_EQ(watermarkCidFont("JP", "明朝"), "Mincho-90ms-RKSJ-H");
            EXPECT_EQ(watermarkCidFont("JP", "ゴシック"), "Gothic-90ms-RKSJ-H");
        }
        if (tag == "EN") {
            EXPECT_EQ(loadString(strings::kPdfNotCorrect), "The PDF file is not correct.");
        }
    }
    for (std::size_t i = 0; i < std::size(names); ++i) {
        if (saved[i])
            setenv(names[i], saved[i]->c_str(), 1);
        else
            unsetenv(names[i]);
    }
}

TEST(ToUnicodeUnits, OnlyDestinationsOfSeveralUnitsAreTurned)
{
    struct Case {
        const char* name;
        const char* cmap;
        std::optional<std::string> repaired;
        std::set<std::string> pairsOfInput = {};
    };
    const Case cases[] = {
        {"a ligature in a range", "1 beginbfrange\n<09><09><66006900>\nendbfrange\n",
            "1 beginbfrange\n<09><09><00660069>\nendbfrange\n"},
        {"a ligature among characters", "2 beginbfchar\n<01><0054>\n<0A><66006C00>\nendbfchar\n",
            "2 beginbfchar\n<01><0054>\n<0A><0066006C>\nendbfchar\n"},
        {"destinations in an array", "1 beginbfrange\n<01><02>[<0041><66006600 6900>]\nendbfrange\n",
            "1 beginbfrange\n<01><02>[<0041><006600660069>]\nendbfrange\n"},
        {"two-byte codes are sources, never turned",
            "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n1 "
            "beginbfchar\n<00010002><0041>\nendbfchar\n",
            std::nullopt},
        {"single units only", "3 beginbfrange\n<01><03><0061>\nendbfrange\n", std::nullopt},
        {"a ligature written right stays right", "1 beginbfchar\n<0A><00660069>\nendbfchar\n", std::nullopt},
        {"other scripts are not guessed at", "1 beginbfchar\n<0B><1509 4D09>\nendbfchar\n", std::nullopt},
        {"the header's dictionary and names",
            "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) >> def\n% <66006900>\n", std::nullopt},
        {"a pair cut short, put right from the input's",
            "2 beginbfrange\n<10><10><d842429f>\n<11><11><d83d3d00>\nendbfrange\n",
            "2 beginbfrange\n<10><10><D842DF9F>\n<11><11><D83DDE00>\nendbfrange\n",
            {"D842DF9F", "D83DDE00", "D800DC00"}},
        {"a pair the input does not hold stays", "1 beginbfchar\n<10><D842429F>\nendbfchar\n", std::nullopt,
            {"D801DC37"}},
        {"a pair the input holds twice is not guessed at", "1 beginbfchar\n<10><D842429F>\nendbfchar\n",
            std::nullopt, {"D842DC9F", "D842DF9F"}},
        {"a pair written right stays", "1 beginbfchar\n<10><D842DF9F>\nendbfchar\n", std::nullopt,
            {"D842DF9F"}},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        EXPECT_EQ(folyant::gs::reorderToUnicodeUnits(item.cmap, item.pairsOfInput), item.repaired);
    }
    EXPECT_EQ(folyant::gs::surrogatePairsIn("2 beginbfchar\n<10><d842df9f>\n<11><D842429F>\nendbfchar\n"
                                            "1 beginbfrange\n<01><02>[<0041><D83DDE00>]\nendbfrange\n"),
        (std::set<std::string>{"D842DF9F", "D83DDE00"}))
        << "only pairs written right, from characters, ranges and arrays";
}

TEST(ToUnicodeUnits, APdfWithoutSuchEntriesIsLeftByteForByte)
{
    TempFolder folder;
    // Without ToUnicode, and with ToUnicode of single units only.
    for (const char* name : {"cups-onepage-a4.pdf", "pdfjs-tracemonkey.pdf"}) {
        SCOPED_TRACE(name);
        const std::string copy = folder.file(name);
        const std::string original = test::readFile(test::dataFile(name));
        test::writeFile(copy, original);
        EXPECT_EQ(folyant::gs::repairToUnicode(copy), folyant::gs::ToUnicodeRepair::Unchanged);
        EXPECT_TRUE(test::readFile(copy) == original) << "the file was written";
    }
}

} // namespace
