// The document converter's checks, completeness test and interpreter run,
// with the real interpreter and files on disk.
#include "docconverter/core/CompoundFile.h"
#include "docconverter/core/DocumentInspection.h"
#include "docconverter/core/DocumentInterpreter.h"
#include "docconverter/core/DocumentJob.h"
#include "docconverter/core/EofScan.h"
#include "docconverter/core/RunFolder.h"
#include "docconverter/core/StartCommand.h"
#include "platform/WordProcessorFonts.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

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

TEST(StartNames, CommandLineNamesAreTakenFromTheWorkingFolder)
{
    const std::pair<std::string, std::string> cases[] = {
        {"notes.doc", "/home/me/notes.doc"},
        {"  out.pdf ", "/home/me/out.pdf"},
        {"sub/out.pdf", "/home/me/sub/out.pdf"},
        {"../x.doc", "/home/me/../x.doc"},
        {"/abs/x.doc", "/abs/x.doc"},
        {"   ", ""},
    };
    for (const auto& [given, taken] : cases)
        EXPECT_EQ(fromCommandLine(given, "/home/me"), taken) << given;
    EXPECT_EQ(fromCommandLine("x.doc", "/"), "/x.doc");
    EXPECT_EQ(fromCommandLine("x.doc", ""), "x.doc") << "no working folder: left to the checks";
}

class NoFontsHere final : public WordProcessorFonts {
public:
    std::optional<std::string> fontPath(std::size_t) const override { return std::nullopt; }
};

std::string office(const std::string& name)
{
    return test::dataFile("office/" + name);
}

// Bytes that are no document: the same on every run.
std::string noise(std::size_t size)
{
    std::mt19937 generator(26);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

TEST(DocumentInspection, EncryptedAndForeignDocumentsAreToldBeforePrinting)
{
    TempFolder folder;
    test::writeFile(folder.file("random.doc"), noise(20000));
    test::writeFile(folder.file("random.xls"), noise(3000));
    test::writeFile(folder.file("empty.doc"), "");
    test::writeFile(folder.file("notes.doc"), "Dear reader,\r\n\tplain text saved as .doc\r\n");
    test::writeFile(folder.file("hwp5.doc"), test::readFile(office("pyhwp-sample-5017.hwp")));
    test::writeFile(folder.file("show.hwp"), test::readFile(office("poi-SampleShow.ppt")));
    test::writeFile(folder.file("cut.doc"), test::readFile(office("poi-SampleDoc.doc")).substr(0, 1500));
    test::writeFile(folder.file("text.ppt"), "not a slide show\n");
    test::writeFile(folder.file("random.bin"), noise(100));

    const std::pair<std::string, DocumentState> cases[] = {
        {office("poi-SampleDoc.doc"), DocumentState::Printable},
        {office("tika-testRTF-word2003.rtf"), DocumentState::Printable},
        {office("poi-Employee.xls"), DocumentState::Printable},
        {office("poi-15556-korean.xls"), DocumentState::Printable},
        {office("poi-SampleShow.ppt"), DocumentState::Printable},
        {office("poi-bullets.ppt"), DocumentState::Printable},
        {office("tika-testHWP_3.0.hwp"), DocumentState::Printable},
        {office("pyhwp-sample-5017.hwp"), DocumentState::Printable},
        {office("public-licences-304p.doc"), DocumentState::Printable},
        {office("made-password-poi-SampleDoc.doc"), DocumentState::Protected},
        {office("made-password-poi-Employee.xls"), DocumentState::Protected},
        {office("derived-encrypted-token-poi-SampleShow.ppt"), DocumentState::Protected},
        {office("derived-password-pyhwp-sample-5017.hwp"), DocumentState::Protected},
        {folder.file("random.doc"), DocumentState::Unreadable},
        {folder.file("random.xls"), DocumentState::Unreadable},
        {folder.file("empty.doc"), DocumentState::Unreadable},
        {folder.file("notes.doc"), DocumentState::Printable},
        {folder.file("hwp5.doc"), DocumentState::Unreadable},
        {folder.file("show.hwp"), DocumentState::Unreadable},
        {folder.file("cut.doc"), DocumentState::Unreadable},
        {folder.file("text.ppt"), DocumentState::Unreadable},
        {folder.file("random.bin"), DocumentState::Printable},
        {folder.file("missing.doc"), DocumentState::Unreadable},
    };
    for (const auto& [path, state] : cases)
        EXPECT_EQ(inspectDocument(path), state) << path;
}

TEST(DocumentInspection, DamagedCompoundFilesAreReadSafely)
{
    // Every cut of a real compound file, and every header field overwritten
    // with nonsense: no crash, no endless chain, only an answer.
    TempFolder folder;
    const std::string whole = test::readFile(office("poi-SampleShow.ppt"));
    for (std::size_t size = 0; size < 4096; size += 97) {
        test::writeFile(folder.file("cut.ppt"), whole.substr(0, size));
        EXPECT_NE(inspectDocument(folder.file("cut.ppt")), DocumentState::Printable) << size;
    }
    for (std::size_t at = 0x1E; at < 512; at += 2) {
        std::string damaged = whole;
        damaged[at] = '\xff';
        damaged[at + 1] = '\x7f';
        test::writeFile(folder.file("damaged.ppt"), damaged);
        inspectDocument(folder.file("damaged.ppt"));
        if (const auto file = CompoundFile::open(folder.file("damaged.ppt")))
            file->readStream("PowerPoint Document", 1 << 20);
    }
}

TEST(DocumentJobs, APrintedPdfIsConvertedAsPdfAndKeepsItsText)
{
    // What the office prints now: PDF, whose text survives the conversion.
    TempFolder folder;
    test::RecordingMessageBox messages;
    test::RecordingDestination destinations;
    NoFontsHere fonts;
    DocumentJob job(
        {FOLYANT_DEV_LIB, FOLYANT_GS_FONT_FOLDER}, {messages, destinations, fonts}, [] { return true; });
    job.setHome(folder.path());
    job.setPrinter([](const std::string&, const std::string&, const std::string& temporary) {
        test::writeFile(temporary, test::readFile(test::dataFile("pdfjs-tracemonkey.pdf")));
    });
    EXPECT_EQ(job.RunConversionJob(test::dataFile("pdfjs-tracemonkey.pdf"), folder.file("paper.pdf"),
                  folder.file("paper.tmp")),
        DocumentJob::Outcome::Converted)
        << (messages.texts.empty() ? std::string() : messages.texts.front());
    EXPECT_EQ(test::pdfPageCount(folder.file("paper.pdf")), 14);
    EXPECT_EQ(test::pagesWithStamp(folder.file("paper.pdf"), 14), 14);
    EXPECT_NE(test::pdfText(folder.file("paper.pdf")).find("Trace-based Just-in-Time"), std::string::npos);
    EXPECT_FALSE(test::fileExists(folder.file("paper.tmp")));
}

TEST(RunFolders, AKilledRunsFoldersGoAtTheNextJobAndALiveOnesStay)
{
    TempFolder temp;
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous ? previous : "";
    setenv("TMPDIR", temp.path().c_str(), 1);
    {
        RunFolder live("folyant-office");
        ASSERT_FALSE(live.path().empty());
        test::writeFile(live.path() + "/registrymodifications.xcu", "in use");
        // What a killed run leaves: a folder nobody holds, with content.
        std::filesystem::create_directories(temp.file("folyant-office-dead01/user"));
        test::writeFile(temp.file("folyant-office-dead01/user/x"), "left");
        std::filesystem::create_directories(temp.file("folyant-print-dead02"));
        std::filesystem::create_directories(temp.file("other-folder"));
        std::filesystem::create_symlink(temp.path(), temp.file("folyant-office-link"));

        RunFolder::removeStale("folyant-office");
        RunFolder::removeStale("folyant-print");
        EXPECT_TRUE(test::fileExists(live.path() + "/registrymodifications.xcu"))
            << "a living run keeps its folder";
        EXPECT_FALSE(test::fileExists(temp.file("folyant-office-dead01")));
        EXPECT_FALSE(test::fileExists(temp.file("folyant-print-dead02")));
        EXPECT_TRUE(test::fileExists(temp.file("other-folder")));
        EXPECT_TRUE(std::filesystem::is_symlink(temp.file("folyant-office-link")))
            << "a link is not followed";
    }
    EXPECT_EQ(test::filesBelow(temp.path()).size(), 2u) << "the run's own folder goes with it";
    if (previous)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
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

// The office's PDF names letters it draws with a stand-in glyph only in
// /ActualText spans, which the interpreter drops; the text comes back.
TEST_F(DocumentRun, TheOfficesActualTextStaysSearchable)
{
    const std::string pdf = folder.file("gothic.pdf");
    const std::string source = test::dataFile("made-tika-testRTFVarious.pdf");
    DocumentInterpreter interpreter(FOLYANT_DEV_LIB, FOLYANT_GS_FONT_FOLDER);
    // Told the source at the start, as the job does: a PDF is read only when granted.
    ASSERT_EQ(interpreter.StartInterpreter(pdf, source), 0);
    EXPECT_EQ(interpreter.FeedPostScriptFile(source, [] { return true; }), 1);
    const std::string text = test::pdfText(pdf);
    EXPECT_NE(text.find("\U0001033F\U00010344\U00010339\U00010343\U0001033A"), std::string::npos) << text;
    EXPECT_EQ(test::pagesWithStamp(pdf, 2), 2);
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
    for (const std::string& left : test::filesBelow(folder.path()))
        EXPECT_EQ(left.find("cut"), std::string::npos)
            << left << ": the interpreter started during the printing leaves nothing";
    messages.texts.clear();
    EXPECT_EQ(job.RunConversionJob(test::dataFile("cups-testfile.ps"), folder.file("again.pdf"), temporary),
        DocumentJob::Outcome::Converted)
        << "the next job starts an interpreter of its own";
    EXPECT_GT(test::pdfPageCount(folder.file("again.pdf")), 0);

    test::writeFile(folder.file("letter.doc"), "\xd0\xcf\x11\xe0 not PostScript");
    messages.texts.clear();
    EXPECT_EQ(job.RunConversionJob(folder.file("letter.doc"), folder.file("letter.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    EXPECT_EQ(messages.texts,
        (std::vector<std::string>{unreadableDocumentText(folder.file("letter.doc")), kConversionFailed}))
        << "a compound file's first bytes and no more: why, before anything prints";

    DocumentJob broken(
        {"/nonexistent/lib", "/nonexistent/fonts"}, {messages, destinations, fonts}, [] { return true; });
    broken.setHome(folder.path());
    broken.setPrinter(test::printReadyPostScript);
    messages.texts.clear();
    EXPECT_EQ(broken.RunConversionJob(test::dataFile("cups-testfile.ps"), folder.file("x/y.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    ASSERT_EQ(messages.texts.size(), 2u) << "our own words, then the failure";
    // (No folder for the PDF: nothing of it can be made.)
    EXPECT_NE(messages.texts[0].find("nothing was converted"), std::string::npos) << messages.texts[0];
    EXPECT_FALSE(test::fileExists(temporary));

    // A document that cannot print fails before the default printer changes.
    for (const std::string name :
        {"made-password-poi-SampleDoc.doc", "derived-password-pyhwp-sample-5017.hwp"}) {
        destinations.calls.clear();
        messages.texts.clear();
        EXPECT_EQ(job.RunConversionJob(office(name), folder.file("secret.pdf"), temporary),
            DocumentJob::Outcome::Failed);
        ASSERT_EQ(messages.texts.size(), 2u) << name;
        EXPECT_EQ(messages.texts[0], protectedDocumentText(office(name)));
        EXPECT_EQ(messages.texts[1], kConversionFailed);
        EXPECT_TRUE(destinations.calls.empty()) << name;
        EXPECT_FALSE(test::fileExists(folder.file("secret.pdf")));
    }

    // A switch that cannot be made safely stops the job before anything prints.
    bool printed = false;
    job.setPrinter([&printed](const std::string& document, const std::string& pdf, const std::string& tmp) {
        printed = true;
        test::printReadyPostScript(document, pdf, tmp);
    });
    destinations.saveWorks = false;
    destinations.calls.clear();
    messages.texts.clear();
    EXPECT_EQ(
        job.RunConversionJob(test::dataFile("cups-testfile.ps"), folder.file("unswitched.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    EXPECT_FALSE(printed);
    EXPECT_EQ(messages.texts, (std::vector<std::string>{kSwitchFailed, kConversionFailed}));
    EXPECT_EQ(destinations.calls, std::vector<std::string>{"save"})
        << "nothing switched, nothing to put back";
    EXPECT_EQ(destinations.current, "Office_Laser");
    EXPECT_FALSE(test::fileExists(folder.file("unswitched.pdf")));
    destinations.saveWorks = true;
    EXPECT_GT(destinations.recovered, 0) << "every job first puts back what a killed one left";

    destinations.queues.clear();
    destinations.calls.clear();
    messages.texts.clear();
    EXPECT_EQ(job.RunConversionJob(test::dataFile("cups-testfile.ps"), folder.file("none.pdf"), temporary),
        DocumentJob::Outcome::Failed);
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Invalid installation : Folyant Driver"});
    EXPECT_TRUE(destinations.calls.empty()) << "nothing changed, nothing restored";
    EXPECT_EQ(destinations.current, "Office_Laser");
}

// "%" in a PDF's name is a letter of the name: the interpreter never sees it
// as a page template (one file a page) or a format it cannot fill.
TEST(DocumentJobs, PercentSignsInThePdfNameAreLetters)
{
    TempFolder folder;
    test::RecordingMessageBox messages;
    test::RecordingDestination destinations;
    NoFonts fonts;
    DocumentJob job(
        {FOLYANT_DEV_LIB, FOLYANT_GS_FONT_FOLDER}, {messages, destinations, fonts}, [] { return true; });
    job.setHome(folder.path());
    job.setPrinter(test::printReadyPostScript);
    for (const std::string name : {"page%d.pdf", "100% sure.pdf", "%%.pdf"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(job.RunConversionJob(
                      test::dataFile("acrobat6-win-word-12p.ps"), folder.file(name), folder.file("job.tmp")),
            DocumentJob::Outcome::Converted);
        EXPECT_EQ(test::pdfPageCount(folder.file(name)), 12);
    }
    std::vector<std::string> pdfs;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.is_regular_file())
            pdfs.push_back(entry.path().filename().string());
    std::sort(pdfs.begin(), pdfs.end());
    EXPECT_EQ(pdfs, (std::vector<std::string>{"%%.pdf", "100% sure.pdf", "page%d.pdf"}));
}

} // namespace
