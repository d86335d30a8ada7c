// The Ghostscript side that both converters share: argument vectors, the page
// stamp procedure, the log, the session over the real libgs, and the repair
// of what it writes.
#include "interpreter/ActualTextRestore.h"
#include "interpreter/ConversionLog.h"
#include "interpreter/GhostscriptArguments.h"
#include "interpreter/GhostscriptSession.h"
#include "interpreter/PageStamp.h"
#include "interpreter/PostScriptFeed.h"
#include "interpreter/PostScriptString.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

using namespace folyant;
using namespace folyant::gs;
using folyant::test::TempFolder;

namespace {

ConverterArguments sampleArguments()
{
    ConverterArguments arguments;
    arguments.libFolder = "/opt/gs/lib";
    arguments.fontFolder = "/opt/gs/fonts";
    arguments.outputPath = "/home/u/out.pdf";
    arguments.quality = 1;
    return arguments;
}

// Each converter's strings in its own order; the document converter's preset is fixed.
TEST(ArgumentVector, EachConverterPassesNineStringsWithoutCustomSize)
{
    const std::vector<std::string> converter{"Folyant Velmo", "-I/opt/gs/lib:/opt/gs/fonts",
        "-sOutputFile=/home/u/out.pdf", "-dNOPAUSE", "-sGenericResourceDir=/opt/gs/Resource/",
        "-dAutoRotatePages=/All", "-sDEVICE=pdfwrite", "-dPDFSETTINGS=/printer", "-dEmbedAllFonts=true"};
    const std::vector<std::string> document{"Folyant", "-I/l:/f/fonts", "-dNOPAUSE",
        "-sOutputFile=/o/100%%%%.pdf", "-sGenericResourceDir=/f/Resource/", "-dAutoRotatePages=/All",
        "-sDEVICE=pdfwrite", "-dPDFSETTINGS=/printer", "-dEmbedAllFonts=true"};
    const std::pair<std::vector<std::string>, const std::vector<std::string>&> cases[] = {
        {converterArgumentVector(sampleArguments()), converter},
        {documentArgumentVector("/l", "/f/fonts", "/o/100%%.pdf"), document},
    };
    for (const auto& [made, expected] : cases)
        EXPECT_EQ(made, expected);
}

TEST(ArgumentVector, CustomSizeAddsPointsRoundedHalfUp)
{
    auto arguments = sampleArguments();
    arguments.paperSizeMode = 1;
    arguments.paperWidthMm = 210;
    arguments.paperHeightMm = 297;
    auto vector = converterArgumentVector(arguments);
    ASSERT_EQ(vector.size(), 11u);
    EXPECT_EQ(vector[9], "-dDEVICEWIDTHPOINTS=595");
    EXPECT_EQ(vector[10], "-dDEVICEHEIGHTPOINTS=842");

    arguments.paperWidthMm = 216;
    arguments.paperHeightMm = 279;
    vector = converterArgumentVector(arguments);
    EXPECT_EQ(vector[9], "-dDEVICEWIDTHPOINTS=612");
    EXPECT_EQ(vector[10], "-dDEVICEHEIGHTPOINTS=791");
    EXPECT_EQ(millimetresToPoints(0), 0);
}

TEST(ArgumentVector, QualityChoosesPreset)
{
    EXPECT_EQ(qualityPresetArgument(0), "-dPDFSETTINGS=/prepress");
    EXPECT_EQ(qualityPresetArgument(1), "-dPDFSETTINGS=/printer");
    EXPECT_EQ(qualityPresetArgument(2), "-dPDFSETTINGS=/screen");
    EXPECT_EQ(qualityPresetArgument(3), "-dPDFSETTINGS=/default");
    EXPECT_EQ(qualityPresetArgument(-1), "-dPDFSETTINGS=/default");
}

TEST(ArgumentVector, EveryPercentIsLiteral)
{
    const std::pair<std::string, std::string> cases[] = {
        {"out.pdf", "out.pdf"},
        {"100%%.pdf", "100%%%%.pdf"},
        {"page%d.pdf", "page%%d.pdf"},
        {"100% sure.pdf", "100%% sure.pdf"},
        {"%%%", "%%%%%%"},
        {"%", "%%"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(literalPercents(path), expected) << path;
}

TEST(ArgumentVector, ResourceFolderReplacesEveryFontsWord)
{
    EXPECT_EQ(resourceFolderFor("/usr/share/ghostscript/10.00.0/fonts"),
        "/usr/share/ghostscript/10.00.0/Resource/");
    EXPECT_EQ(resourceFolderFor("/opt/typefaces"), "/opt/typefaces");
    EXPECT_EQ(resourceFolderFor("/fonts/x/fonts"), "/Resource//x/Resource/");
    EXPECT_EQ(resourceFolderFor("/opt/Fonts"), "/opt/Fonts");
    EXPECT_EQ(resourceFolderFor(""), "");
}

TEST(PageStamp, PathUsesForwardSlashes)
{
    EXPECT_EQ(stampPathFor("C:\\gs\\lib"), "C:/gs/lib/zev.ps");
    EXPECT_EQ(stampPathFor("/usr/share/folyant/lib"), "/usr/share/folyant/lib/zev.ps");
}

TEST(PageStamp, ThePathCannotEndItsStringEarly)
{
    const std::string procedure = protectedStampProcedure("/a (b/c)) d\n/zev.ps", "Fvtoken");
    EXPECT_NE(procedure.find("(/a \\(b/c\\)\\) d\\012/zev.ps)"), std::string::npos) << procedure;
    const std::pair<std::string, std::string> strings[] = {
        {"plain", "(plain)"}, {"a\\b", "(a\\\\b)"}, {std::string("\x01\x7f\r", 3), "(\\001\\177\\015)"},
        {"글꼴 (한).ttf", "(글꼴 \\(한\\).ttf)"},
        {"x) >> ; (INJECTED) = (z", "(x\\) >> ; \\(INJECTED\\) = \\(z)"},
        {std::string("nul\0"
                     "7",
             5),
            "(nul\\0007)"}, // three digits, so the 7 stays a 7
    };
    for (const auto& [text, literal] : strings)
        EXPECT_EQ(postScriptString(text), literal);
}

TEST(PageStamp, TitleStringsOfTheHeaderBecomeTheTitle)
{
    const std::pair<const char*, const char*> cases[] = {
        {"%!PS-Adobe-3.0\n%%Title: (report.xls)\n%%EndComments\n",
            "[ /Title (report.xls) /DOCINFO pdfmark\n"},
        {"%%Title: (a \\) b (c))\r\n", "[ /Title (a \\) b (c)) /DOCINFO pdfmark\n"},
        {"%!PS\n%%Title: plain words\n", ""},
        {"%!PS\n%%Title: (unbalanced\n", ""},
        {"%!PS\n%%Title: (x) ] /DOCINFO pdfmark (y)\n", ""},
        {"%!PS\n%%EndComments\n%%Title: (in a resource)\n", ""},
        {"%!PS\nno title at all\n", ""},
    };
    for (const auto& [header, mark] : cases)
        EXPECT_EQ(titlePdfmarkFor(header), mark) << header;
}

TEST(ConversionLog, LineFeedsBecomeCrLfAndShownFlagFollows)
{
    ConversionLog log;
    EXPECT_TRUE(log.shown());
    log.append("");
    EXPECT_TRUE(log.shown());
    log.append("one\ntwo\n");
    EXPECT_EQ(log.text(), "one\r\ntwo\r\n");
    EXPECT_FALSE(log.shown());
    log.markShown();
    log.clear();
    EXPECT_EQ(log.text(), "");
    EXPECT_FALSE(log.shown());
}

TEST(ConversionLog, AJobsWordsAreNotTheInterpretersState)
{
    ConversionLog log(16);
    log.append("Error: /VMerror in --string--\n");
    EXPECT_FALSE(log.ranOutOfMemory());
}

TEST(ConversionLog, EndlessOutputStopsAtTheLimit)
{
    ConversionLog log(16);
    for (int i = 0; i < 100; ++i)
        log.append("0123456789\n");
    EXPECT_LE(log.text().size(), 16u);
    EXPECT_GT(log.droppedBytes(), 1000u);
}

// The real interpreter.
class SessionTest : public ::testing::Test {
protected:
    std::vector<std::string> arguments(const std::string& output) const
    {
        ConverterArguments a;
        a.libFolder = FOLYANT_DEV_LIB;
        a.fontFolder = FOLYANT_GS_FONT_FOLDER;
        a.outputPath = output;
        return converterArgumentVector(a);
    }
    TempFolder folder;
    ConversionLog log;
};

TEST_F(SessionTest, RunsPostScriptToPdfAndCapturesOutput)
{
    GhostscriptSession session(&log);
    ASSERT_TRUE(session.start(arguments(folder.file("a.pdf"))).started());
    session.send(kPrologue);
    session.send("(hello from the job) =\n/Helvetica findfont 20 scalefont setfont 72 720 moveto (Page one) "
                 "show showpage\n");
    session.finish();
    EXPECT_FALSE(session.hasInstance());
    EXPECT_NE(log.text().find("hello from the job\r\n"), std::string::npos);
    EXPECT_EQ(test::pdfPageCount(folder.file("a.pdf")), 1);
    EXPECT_NE(test::pdfText(folder.file("a.pdf")).find("Page one"), std::string::npos);
}

TEST_F(SessionTest, RefusedArgumentsKeepInstanceUntilAbort)
{
    GhostscriptSession session(&log);
    auto vector = arguments(folder.file("a.pdf"));
    vector[6] = "-sDEVICE=nosuchdevice";
    EXPECT_EQ(session.start(vector).outcome, StartResult::Outcome::Refused);
    EXPECT_TRUE(session.hasInstance());
    EXPECT_FALSE(session.isRunning());
    session.send("showpage\n"); // ignored, not a crash
    EXPECT_TRUE(session.start(vector).started()) << "an existing instance is reported as started";
    session.abort();
    EXPECT_FALSE(session.hasInstance());
    EXPECT_FALSE(test::fileExists(folder.file("a.pdf")));
}

TEST_F(SessionTest, OnlyOneInstancePerProcess)
{
    GhostscriptSession first(&log);
    GhostscriptSession second(nullptr);
    ASSERT_TRUE(first.start(arguments(folder.file("a.pdf"))).started());
    EXPECT_EQ(second.start(arguments(folder.file("b.pdf"))).outcome, StartResult::Outcome::NoInstance);
    first.finish();
    EXPECT_TRUE(second.start(arguments(folder.file("b.pdf"))).started());
    second.finish();
}

// Input after the interpreter has finished, by quit or by an error inside the
// error's own handler (beyond recovery), is not fed to it.
TEST_F(SessionTest, InputAfterTheEndIsNotFedToTheFinishedInterpreter)
{
    const std::pair<const char*, int> cases[] = {
        {"showpage quit\n", 1},
        {"errordict /undefinedresult { 1 0 div } put 1 0 div\n", -1}, // pages: not judged
    };
    for (const auto& [ending, pages] : cases) {
        GhostscriptSession session(&log);
        ASSERT_TRUE(session.start(arguments(folder.file("a.pdf"))).started());
        session.send(ending);
        EXPECT_FALSE(session.isRunning()) << ending << log.text();
        session.send("showpage showpage\n");
        session.finish();
        EXPECT_FALSE(session.hasInstance()) << ending;
        if (pages >= 0) {
            EXPECT_EQ(test::pdfPageCount(folder.file("a.pdf")), pages);
        }
    }
}

TEST_F(SessionTest, DestructorShutsDownARunningInterpreter)
{
    {
        GhostscriptSession session(&log);
        ASSERT_TRUE(session.start(arguments(folder.file("a.pdf"))).started());
        session.send("showpage\n");
    }
    GhostscriptSession next(&log);
    EXPECT_TRUE(next.start(arguments(folder.file("b.pdf"))).started());
    next.abort();
}

// A one-page PDF (300 by 300) with Helvetica as /F1 and the property list
// /P1, around the content given.
// A one-page PDF of the content; with formContent, the page's /X1 is a form
// of it, drawn at twice its size by its own matrix.
std::string pdfWithContent(const std::string& content, const std::string& formContent = {})
{
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Contents 4 0 R /Resources << /Font << /F1 5 0 "
        "R >> /Properties << /P1 6 0 R >> /XObject << /X1 7 0 R >> >> >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /ActualText (named) >>",
        "<< /Type /XObject /Subtype /Form /BBox [0 0 150 150] /Matrix [2 0 0 2 0 0] /Resources << /Font << "
        "/F1 5 "
        "0 R >> >> /Length "
            + std::to_string(formContent.size()) + " >>\nstream\n" + formContent + "\nendstream",
    };
    std::string pdf = "%PDF-1.7\n";
    std::string xref = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", pdf.size());
        xref += entry;
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t start = pdf.size();
    return pdf + xref + "trailer\n<< /Size " + std::to_string(objects.size() + 1)
        + " /Root 1 0 R >>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";
}

// Where poppler finds a word on the first page: its box's xMin, yMin and
// yMax (y from the top); nothing when it is not found.
std::optional<std::array<double, 3>> wordBox(const std::string& pdf, const std::string& word)
{
    const auto boxes = test::runProgram("pdftotext", {"-f", "1", "-l", "1", "-bbox", pdf, "-"});
    const std::size_t at = boxes.out.find(">" + word + "</word>");
    if (at == std::string::npos)
        return std::nullopt;
    const std::size_t start = boxes.out.rfind("<word", at);
    const std::string box = boxes.out.substr(start, at - start);
    const auto number = [&box](const std::string& name) {
        const std::size_t value = box.find(name + "=\"") + name.size() + 2;
        return std::stod(box.substr(value));
    };
    return std::array<double, 3>{number("xMin"), number("yMin"), number("yMax")};
}

// LibreOffice draws letters no installed font has with one stand-in glyph and
// names them in /ActualText spans, which the interpreter drops.
class ActualTextTest : public ::testing::Test {
protected:
    // The PDF the interpreter writes from pdf, as a converter runs it.
    std::string interpreted(const std::string& pdf)
    {
        const std::string out = folder.file("out.pdf");
        PostScriptFeed feed;
        ConverterArguments a;
        a.libFolder = FOLYANT_DEV_LIB;
        a.fontFolder = FOLYANT_GS_FONT_FOLDER;
        a.outputPath = out;
        EXPECT_TRUE(feed.openSource(pdf)) << pdf;
        EXPECT_TRUE(feed.start(converterArgumentVector(a)).started()) << feed.log().text();
        feed.sendPageStamp(FOLYANT_DEV_LIB);
        for (int steps = 0; feed.feedStep(out) == PostScriptFeed::Step::Fed && steps < 10000; ++steps) { }
        return out;
    }

    // The pages at a low resolution, as poppler draws them.
    std::string rendering(const std::string& pdf)
    {
        const std::string prefix = folder.file("page");
        const auto drawn = test::runProgram("pdftoppm", {"-r", "40", "-gray", pdf, prefix});
        EXPECT_EQ(drawn.exitCode, 0) << drawn.err;
        std::string pages;
        for (const std::string& name : test::filesBelow(folder.path()))
            if (name.rfind("page", 0) == 0) {
                pages += test::readFile(folder.file(name));
                std::remove(folder.file(name).c_str());
            }
        return pages;
    }

    TempFolder folder;
    const std::string source = test::dataFile("made-tika-testRTFVarious.pdf");
    // The five Gothic letters LibreOffice names in spans. The one before them
    // it names through its font's ToUnicode, for the glyph .notdef, whose
    // entry the interpreter drops too: no span of it to restore.
    const std::string spans = "\U0001033F\U00010344\U00010339\U00010343\U0001033A";
};

TEST_F(ActualTextTest, TheSpansTextIsFoundWhereItWasDrawnAndThePageLooksTheSame)
{
    const std::string out = interpreted(source);
    ASSERT_EQ(test::pdfPageCount(out), 2);
    ASSERT_EQ(test::pdfText(out).find(spans), std::string::npos) << "the interpreter keeps the spans now";
    const std::string before = rendering(out);

    EXPECT_EQ(restoreActualText(source, out), ActualTextRestore::Restored);
    EXPECT_NE(test::pdfText(out).find(spans), std::string::npos) << test::pdfText(out);
    // At the first span's glyph: 74.9 125.9 in default user space.
    const auto box = wordBox(out, spans);
    ASSERT_TRUE(box.has_value());
    EXPECT_NEAR((*box)[0], 74.9, 0.1);
    EXPECT_LT((*box)[1], 792 - 125.9) << "the box holds the baseline";
    EXPECT_GT((*box)[2], 792 - 125.9);
    EXPECT_EQ(rendering(out), before) << "the restored text is visible";
    EXPECT_EQ(test::runProgram("qpdf", {"--check", out}).exitCode, 0);
    EXPECT_EQ(test::pagesWithStamp(out, 2), 2);

    // A second pass finds its own text and adds nothing.
    const std::string restored = test::readFile(out);
    EXPECT_EQ(restoreActualText(source, out), ActualTextRestore::Unchanged);
    EXPECT_TRUE(test::readFile(out) == restored) << "the file was written";
}

// The outermost span's text stands for everything drawn inside it; a span's
// place is its first glyph's in default user space, whatever the CTM; named
// property lists count; an empty /ActualText adds nothing; more spans than a
// font has codes all come back.
TEST_F(ActualTextTest, SpansAsTheContentNestsAndNamesThem)
{
    std::string content = "2 0 0 2 10 20 cm BT /F1 10 Tf\n"
                          "1 0 0 1 10 100 Tm /Span << /ActualText (outer) >> BDC\n"
                          "/Span << /ActualText (inner) >> BDC (x) Tj EMC (y) Tj EMC\n"
                          "1 0 0 1 10 80 Tm /Span /P1 BDC (z) Tj EMC\n"
                          "1 0 0 1 10 60 Tm /Span << /ActualText () >> BDC (e) Tj EMC\n"
                          "/Artifact BMC (w) Tj EMC ET\n"
                          "BT /F1 2 Tf\n";
    constexpr int kSpans = 300;
    for (int i = 0; i < kSpans; ++i) {
        char span[96];
        std::snprintf(span, sizeof span, "1 0 0 1 %d %d Tm /Span << /ActualText (s%03d) >> BDC (.) Tj EMC\n",
            (i % 12) * 12, i / 12 * 2, i);
        content += span;
    }
    content += "ET\n";
    test::writeFile(folder.file("in.pdf"), pdfWithContent(content));
    const std::string out = interpreted(folder.file("in.pdf"));
    ASSERT_EQ(test::pdfPageCount(out), 1);

    EXPECT_EQ(restoreActualText(folder.file("in.pdf"), out), ActualTextRestore::Restored);
    // At the first glyph's origin: 30 220 in default user space.
    const auto outer = wordBox(out, "outer");
    ASSERT_TRUE(outer.has_value()) << test::pdfText(out);
    EXPECT_NEAR((*outer)[0], 30, 0.5);
    EXPECT_LT((*outer)[1], 300 - 220) << "the box holds the baseline";
    EXPECT_GT((*outer)[2], 300 - 220);
    EXPECT_FALSE(wordBox(out, "inner").has_value());
    const auto named = wordBox(out, "named");
    ASSERT_TRUE(named.has_value());
    EXPECT_NEAR((*named)[0], 30, 0.5);
    EXPECT_LT((*named)[1], 300 - 180);
    EXPECT_GT((*named)[2], 300 - 180);
    const std::string text = test::pdfText(out);
    for (int i = 0; i < kSpans; ++i) {
        char word[8];
        std::snprintf(word, sizeof word, "s%03d", i);
        EXPECT_NE(text.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(test::runProgram("qpdf", {"--check", out}).exitCode, 0);
}

// The print system's page handling draws every page as a form: the spans
// inside are read where the form is drawn.
TEST_F(ActualTextTest, SpansInAFormThePageDrawsAreReadWhereItIsDrawn)
{
    const std::string page = "q 0.5 0 0 0.5 50 50 cm /X1 Do Q\n";
    const std::string form
        = "BT /F1 10 Tf 1 0 0 1 20 40 Tm /Span << /ActualText (formed) >> BDC (f) Tj EMC ET\n";
    test::writeFile(folder.file("in.pdf"), pdfWithContent(page, form));
    const std::string out = interpreted(folder.file("in.pdf"));
    EXPECT_EQ(restoreActualText(folder.file("in.pdf"), out), ActualTextRestore::Restored);
    // (20 40) in the form, twice that by its matrix, half of it and 50 50 on by the page's.
    const auto formed = wordBox(out, "formed");
    ASSERT_TRUE(formed.has_value()) << test::pdfText(out);
    EXPECT_NEAR((*formed)[0], 70, 0.5);
    EXPECT_LT((*formed)[1], 300 - 90) << "the box holds the baseline";
    EXPECT_GT((*formed)[2], 300 - 90);
    EXPECT_EQ(test::runProgram("qpdf", {"--check", out}).exitCode, 0);
}

TEST_F(ActualTextTest, WithoutSpansOrAMatchingPageTheFileIsLeftByteForByte)
{
    const std::string out = interpreted(source);
    const std::string written = test::readFile(out);
    // Inputs without spans; an input with spans whose page is of another
    // size, or whose pages did not all come out.
    const std::pair<std::string, std::string> cases[] = {
        {test::dataFile("pdfjs-tracemonkey.pdf"), out},
        {test::dataFile("cups-onepage-a4.pdf"), out},
        {source, folder.file("a4.pdf")},
        {source, folder.file("first.pdf")},
    };
    test::writeFile(folder.file("a4.pdf"), test::readFile(test::dataFile("cups-onepage-a4.pdf")));
    ASSERT_EQ(
        test::runProgram("qpdf", {out, "--pages", out, "1", "--", folder.file("first.pdf")}).exitCode, 0);
    for (const auto& [input, output] : cases) {
        SCOPED_TRACE(input + " onto " + output);
        const std::string original = test::readFile(output);
        EXPECT_EQ(restoreActualText(input, output), ActualTextRestore::Unchanged);
        EXPECT_TRUE(test::readFile(output) == original) << "the file was written";
    }
    EXPECT_TRUE(test::readFile(out) == written);
}

TEST_F(ActualTextTest, AWrittenPdfThatCannotTakeAnUpdateIsLeftAsItWas)
{
    const std::string whole = test::readFile(interpreted(source));
    const std::pair<const char*, std::string> cases[] = {
        {"cut short", whole.substr(0, whole.size() / 2)},
        {"no PDF", "%PDF-1.4\nnothing of a PDF\n"},
        {"empty", ""},
    };
    for (const auto& [name, content] : cases) {
        SCOPED_TRACE(name);
        const std::string output = folder.file("broken.pdf");
        test::writeFile(output, content);
        EXPECT_EQ(restoreActualText(source, output), ActualTextRestore::Failed);
        EXPECT_TRUE(test::readFile(output) == content) << "the file was written";
    }
    EXPECT_EQ(restoreActualText(source, folder.file("missing.pdf")), ActualTextRestore::Failed);
    EXPECT_FALSE(test::fileExists(folder.file("missing.pdf")));
}

} // namespace
