// The document converter's checks, completeness test and interpreter run,
// with the real interpreter and files on disk.
#include "docconverter/core/DocumentInterpreter.h"
#include "docconverter/core/DocumentJob.h"
#include "docconverter/core/EofScan.h"
#include "docconverter/core/StartCommand.h"
#include "platform/WordProcessorFonts.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace folyant;
using namespace folyant::docconverter;
using folyant::test::TempFolder;

namespace {

TEST(StartNames, TrimmedAndCompleted)
{
    const std::pair<std::string, std::string> cases[] = {
        {"out.pdf", "out.pdf"},
        {"Report.Pdf", "Report.Pdf"},
        {"Report.PDF", "Report.PDF"},
        {"Report.pdf.txt", "Report.pdf.txt.pdf"},
        {"a", "a.pdf"},
        {"pdf", "pdf.pdf"},
        {".pdf", ".pdf"},
    };
    for (const auto& [typed, completed] : cases)
        EXPECT_EQ(completedPdfPath(typed), completed) << typed;
    EXPECT_EQ(trimmed(" \t/tmp/a b.pdf \r\n"), "/tmp/a b.pdf");
    EXPECT_EQ(temporaryPathFor("/out/Report.pdf"), "/out/Report.tmp");
    EXPECT_EQ(temporaryPathFor("/out/Report.PDF"), "/out/Report.tmp");
    EXPECT_EQ(folderPartOf("/out/Report.pdf"), "/out/");
    EXPECT_EQ(folderPartOf("Report.pdf"), "");
}

class StartChecks : public ::testing::Test {
protected:
    StartVerdict check(const std::string& document, const std::string& pdf)
    {
        names = {document, pdf};
        return checkStartNames(names);
    }
    TempFolder folder;
    StartNames names;
};

TEST_F(StartChecks, EachRefusalWithItsText)
{
    const std::string document = folder.file("report.doc");
    test::writeFile(document, "document");

    EXPECT_EQ(check("  ", folder.file("x.pdf")).check, StartCheck::Empty);
    EXPECT_EQ(check(document, " ").check, StartCheck::Empty);

    auto verdict = check(document, "out.pdf");
    EXPECT_EQ(verdict.check, StartCheck::Refused);
    EXPECT_EQ(verdict.message, "'' 폴더가 존재하지 않습니다.") << "no folder: two apostrophes";

    verdict = check(document, folder.file("missing/out"));
    EXPECT_EQ(verdict.message, "'" + folder.file("missing/") + "' 폴더가 존재하지 않습니다.");
    EXPECT_EQ(names.pdfPath, folder.file("missing/out.pdf")) << "completed before the checks";

    verdict = check(document + ".gone", folder.file("out.pdf"));
    EXPECT_EQ(verdict.message, "'" + document + ".gone' 파일이 열려있거나, 올바르지 않는 파일입니다.");
    verdict = check(folder.path(), folder.file("out.pdf"));
    EXPECT_EQ(verdict.check, StartCheck::Refused) << "a folder is no document";

    verdict = check("  " + document + "\t", "  " + folder.file("Out") + "  ");
    EXPECT_EQ(verdict.check, StartCheck::Ready);
    EXPECT_EQ(names.documentPath, document);
    EXPECT_EQ(names.pdfPath, folder.file("Out.pdf"));
}

TEST_F(StartChecks, PdfHeldByAWriterIsRefusedAndAnIdleOneAccepted)
{
    const std::string document = folder.file("report.doc");
    test::writeFile(document, "document");
    const std::string pdf = folder.file("held.pdf");
    test::writeFile(pdf, "%PDF-1.4 old");
    EXPECT_EQ(check(document, pdf).check, StartCheck::Ready) << "an existing PDF nobody holds is overwritten";

    {
        const int locked = ::open(pdf.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(locked, LOCK_EX), 0);
        const auto verdict = check(document, pdf);
        EXPECT_EQ(verdict.check, StartCheck::Refused);
        EXPECT_EQ(verdict.message, "'" + pdf + "' 파일이 열려있습니다.");
        ::close(locked);
    }
    {
        const int writer = ::open(pdf.c_str(), O_WRONLY);
        ASSERT_GE(writer, 0);
        EXPECT_EQ(check(document, pdf).check, StartCheck::Refused) << "a program is writing it";
        ::close(writer);
    }
    EXPECT_EQ(check(document, pdf).check, StartCheck::Ready);
}

TEST(EofScan, MatchesAcrossChunksAndNeverRetriesABreakingByte)
{
    const auto scanned = [](std::initializer_list<std::string_view> chunks) {
        EofScan scan;
        for (const auto chunk : chunks)
            scan.scan(chunk);
        return scan.found();
    };
    EXPECT_TRUE(scanned({"%!PS\nshowpage\n%%EOF"}));
    EXPECT_TRUE(scanned({"%!PS\n%%E", "OF\n"}));
    EXPECT_TRUE(scanned({"%", "%", "E", "O", "F"}));
    EXPECT_TRUE(scanned({"%%EOF", "garbage after"}));
    EXPECT_FALSE(scanned({"%!PS\n%%EO"}));
    EXPECT_FALSE(scanned({"%%%EOF"})) << "the third % breaks the match and does not start one";
    EXPECT_FALSE(scanned({"%%%%EOF"})) << "the fourth % starts afresh, but only one % before EOF is left";
    EXPECT_TRUE(scanned({"%%%%%EOF"}));
    EXPECT_FALSE(scanned({"%%eof"}));
}

TEST(EofScan, FilesOnDisk)
{
    TempFolder folder;
    const std::string path = folder.file("job.tmp");
    EXPECT_FALSE(IsPostScriptComplete(path)) << "missing";
    std::string job(65535 - 3, ' ');
    job += "%%E";
    test::writeFile(path, job + "OF");
    EXPECT_TRUE(IsPostScriptComplete(path)) << "the marker straddles the first chunk";
    test::writeFile(path, std::string("%!PS\n\x1a\n%%EOF", 13));
    EXPECT_TRUE(IsPostScriptComplete(path)) << "Ctrl-Z is data here";
    test::writeFile(path, "%!PS\nshowpage\n");
    EXPECT_FALSE(IsPostScriptComplete(path));
}

class DocumentRun : public ::testing::Test {
protected:
    int convert(const std::string& source, const std::string& pdf)
    {
        DocumentInterpreter interpreter(FOLYANT_DEV_LIB, FOLYANT_GS_FONT_FOLDER);
        if (interpreter.StartInterpreter(pdf) != 0)
            return -100;
        const int fed = interpreter.FeedPostScriptFile(source, [this] {
            ++pumps;
            return true;
        });
        EXPECT_FALSE(interpreter.hasInterpreter());
        return fed;
    }
    TempFolder folder;
    int pumps = 0;
};

TEST_F(DocumentRun, ExactChunkSizePercentsAndErrors)
{
    // Exactly one chunk: read in two steps, the second finding nothing.
    std::string job = "%!PS\n/Helvetica findfont 20 scalefont setfont 72 720 moveto (exact) show showpage\n";
    job += std::string(65535 - job.size() - 7, '%').replace(0, 1, "\n") + "\n%%EOF\n";
    job.resize(65535, '\n');
    test::writeFile(folder.file("exact.tmp"), job);
    EXPECT_EQ(convert(folder.file("exact.tmp"), folder.file("exact.pdf")), 1);
    EXPECT_EQ(pumps, 2);
    EXPECT_EQ(test::pagesWithStamp(folder.file("exact.pdf"), 1), 1);

    EXPECT_EQ(convert(test::dataFile("cups-testfile.ps"), folder.file("100%% done.pdf")), 1);
    EXPECT_TRUE(test::fileExists(folder.file("100%% done.pdf"))) << "two percent signs stay two";

    test::writeFile(
        folder.file("error.tmp"), "%!PS\n72 72 moveto (a) show showpage\nnosuchoperator\n%%EOF\n");
    EXPECT_EQ(convert(folder.file("error.tmp"), folder.file("error.pdf")), 0)
        << "a document printed with an error is no conversion of it";
    EXPECT_FALSE(test::fileExists(folder.file("error.pdf")));

    EXPECT_EQ(convert(folder.file("missing.tmp"), folder.file("missing.pdf")), 0);
    EXPECT_FALSE(test::fileExists(folder.file("missing.pdf")))
        << "no half PDF after a feed that could not open";
}

TEST_F(DocumentRun, RefusedStartLeavesNothingForTheNextJob)
{
    DocumentInterpreter refused("/nonexistent/lib", "/nonexistent/fonts");
    EXPECT_LT(refused.StartInterpreter(folder.file("no/such/folder/out.pdf")), 0);
    EXPECT_FALSE(refused.hasInterpreter());
    EXPECT_EQ(refused.FeedPostScriptFile(test::dataFile("cups-testfile.ps"), [] { return true; }), 0);
    EXPECT_EQ(convert(test::dataFile("cups-testfile.ps"), folder.file("next.pdf")), 1)
        << "the next job starts";
}

TEST_F(DocumentRun, StopFromThePumpDeletesThePartialPdf)
{
    DocumentInterpreter interpreter(FOLYANT_DEV_LIB, FOLYANT_GS_FONT_FOLDER);
    ASSERT_EQ(interpreter.StartInterpreter(folder.file("stopped.pdf")), 0);
    EXPECT_EQ(interpreter.FeedPostScriptFile(
                  test::dataFile("lo74-print-poi-15556-korean.ps"), [] { return false; }),
        -1);
    EXPECT_FALSE(interpreter.hasInterpreter());
    EXPECT_FALSE(test::fileExists(folder.file("stopped.pdf")));
}

class NoFonts final : public WordProcessorFonts {
public:
    std::optional<std::string> fontPath(std::size_t) const override { return std::nullopt; }
};

TEST(DocumentJobs, OutcomesMessagesAndTheTemporaryFile)
{
    TempFolder folder;
    test::RecordingMessageBox messages;
    test::RecordingDestination destinations;
    destinations.current = "Office_Laser";
    NoFonts fonts;
    DocumentJob job(
        {FOLYANT_DEV_LIB, FOLYANT_GS_FONT_FOLDER}, {messages, destinations, fonts}, [] { return true; });
    job.setHome(folder.path());
    job.setPrinter(test::printReadyPostScript);
    const std::string temporary = folder.file("out.tmp");

    EXPECT_EQ(
        job.RunConversionJob(test::dataFile("acrobat6-win-word-12p.ps"), folder.file("out.pdf"), temporary),
        DocumentJob::Outcome::Converted);
    EXPECT_EQ(messages.texts, std::vector<std::string>{kConverted});
    EXPECT_FALSE(test::fileExists(temporary));
    EXPECT_EQ(test::pdfPageCount(folder.file("out.pdf")), 12);
    EXPECT_EQ(test::pagesWithStamp(folder.file("out.pdf"), 12), 12);
    EXPECT_EQ(destinations.calls, (std::vector<std::string>{"save", "default Folyant_Velmo", "restore"}));
    EXPECT_EQ(destinations.current, "Office_Laser");

    messages.texts.clear();
    EXPECT_EQ(job.RunConversionJob(test::dataFile("derived-truncated-acrobat6-win-word.ps"),
                  folder.file("cut.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    EXPECT_EQ(messages.texts, std::vector<std::string>{kConversionFailed});
    EXPECT_FALSE(test::fileExists(temporary)) << "an incomplete temporary file is deleted";
    EXPECT_FALSE(test::fileExists(folder.file("cut.pdf")));

    test::writeFile(folder.file("letter.doc"), "\xd0\xcf\x11\xe0 not PostScript");
    messages.texts.clear();
    EXPECT_EQ(job.RunConversionJob(folder.file("letter.doc"), folder.file("letter.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    EXPECT_EQ(messages.texts, std::vector<std::string>{kConversionFailed});

    DocumentJob broken(
        {"/nonexistent/lib", "/nonexistent/fonts"}, {messages, destinations, fonts}, [] { return true; });
    broken.setHome(folder.path());
    broken.setPrinter(test::printReadyPostScript);
    messages.texts.clear();
    EXPECT_EQ(broken.RunConversionJob(test::dataFile("cups-testfile.ps"), folder.file("x/y.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    ASSERT_EQ(messages.texts.size(), 2u) << "our own words, then the failure";
    EXPECT_NE(messages.texts[0].find("could not be started"), std::string::npos);
    EXPECT_FALSE(test::fileExists(temporary));

    destinations.queues.clear();
    destinations.calls.clear();
    messages.texts.clear();
    EXPECT_EQ(job.RunConversionJob(test::dataFile("cups-testfile.ps"), folder.file("none.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Invalid installation : Folyant Driver"});
    EXPECT_TRUE(destinations.calls.empty()) << "nothing changed, nothing restored";
    EXPECT_EQ(destinations.current, "Office_Laser");
}

} // namespace
