// Folyant_Standard as a program, unattended, as a print system starts it.
#include "converter/core/ExitCodes.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>

#include <unistd.h>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

class ProgramTest : public ::testing::Test {
protected:
    test::Environment environment() const
    {
        return {{"FOLYANT_UNATTENDED", "1"}, {"FOLYANT_SYSCONFDIR", sysconf},
            {"XDG_CONFIG_HOME", config.path()}, {"LANG", "ko_KR.UTF-8"}, {"TMPDIR", temporary.path()},
            {"XDG_RUNTIME_DIR", runtime.path()}};
    }
    test::ProcessResult converter(const std::vector<std::string>& arguments, const std::string& input = {},
        const test::Environment& extra = {})
    {
        test::Environment variables = environment();
        variables.insert(variables.end(), extra.begin(), extra.end());
        return test::runProgram(FOLYANT_CONVERTER, arguments, input, variables);
    }

    // Starts the converter with standard input left open.
    void start(QProcess& process, const std::vector<std::string>& arguments)
    {
        ASSERT_TRUE(test::startProgram(process, FOLYANT_CONVERTER, arguments, environment()));
    }

    // The runs read the development installation's settings and these lines.
    void useMachineSettings(const std::string& moreLines)
    {
        std::filesystem::create_directories(machine.file("Quorvale"));
        test::writeFile(
            machine.file("Quorvale/Folyant Velmo.conf"), test::developmentMachineSettings(moreLines));
        sysconf = machine.path();
    }

    // Starts a job that never ends, once the converter is inside it.
    void startEndlessJob(QProcess& process, const std::string& out)
    {
        start(process, {out});
        process.write("%!PS\nshowpage\n{ 1 pop } loop\n");
        ASSERT_TRUE(process.waitForBytesWritten());
        process.closeWriteChannel();
        ASSERT_TRUE(waitForOutput());
    }

    // Waits until the endless job spins: a second of processor time is far
    // past the interpreter's start, however busy the machine.
    static bool waitForTheLoop(const QProcess& process)
    {
        const std::string stat = "/proc/" + std::to_string(process.processId()) + "/stat";
        for (int i = 0; i < 1200; ++i) {
            const std::string text = test::readFile(stat);
            std::istringstream fields(text.substr(text.rfind(')') + 2));
            std::string field;
            long long ticks = 0;
            for (int at = 3; at <= 15 && fields >> field; ++at)
                if (at == 14 || at == 15)
                    ticks += std::stoll(field);
            if (ticks >= ::sysconf(_SC_CLK_TCK))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    // Waits until the converter has begun writing: its working file
    // appears beside the output.
    bool waitForOutput(std::size_t filesBefore = 0) const
    {
        for (int i = 0; i < 600 && test::filesBelow(folder.path()).size() <= filesBefore; ++i)
            QThread::msleep(50);
        return test::filesBelow(folder.path()).size() > filesBefore;
    }

    TempFolder folder;
    TempFolder config;
    TempFolder temporary; // the runs' TMPDIR: whatever they leave shows here
    TempFolder runtime;
    TempFolder machine;
    std::string sysconf = FOLYANT_DEV_SYSCONF;
};

TEST_F(ProgramTest, ConvertsTheSourceFile)
{
    const std::string out = folder.file("out.pdf");
    const auto result
        = converter({out, "/source", test::dataFile("acrobat6-win-word-12p.ps"), "/quality", "2"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::pdfPageCount(out), 12);
    EXPECT_EQ(test::pagesWithStamp(out, 12), 12);
    EXPECT_TRUE(test::filesBelow(config.path()).empty()) << "closing by itself saves nothing";
}

// A print job pays for no window: the run must not map Qt at all, while a
// run someone watches loads the dialogs and shows its window.
TEST_F(ProgramTest, OnlyAWatchedRunLoadsTheWidgetLibraries)
{
    const auto mappedWhileRunning = [this](const test::Environment& extra, const std::string& out) {
        test::Environment variables = environment();
        variables.insert(variables.end(), extra.begin(), extra.end());
        QProcess process;
        const std::size_t filesBefore = test::filesBelow(folder.path()).size();
        EXPECT_TRUE(test::startProgram(process, FOLYANT_CONVERTER, {out}, variables));
        process.write("%!PS\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (one) show showpage\n");
        EXPECT_TRUE(process.waitForBytesWritten());
        EXPECT_TRUE(waitForOutput(filesBefore));
        const std::string maps = test::readFile("/proc/" + std::to_string(process.processId()) + "/maps");
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        EXPECT_EQ(test::pdfPageCount(out), 1);
        return maps;
    };
    const std::string unattended = mappedWhileRunning({}, folder.file("job.pdf"));
    ASSERT_FALSE(unattended.empty());
    EXPECT_EQ(unattended.find("libQt6"), std::string::npos) << unattended;
    EXPECT_EQ(unattended.find("Folyant_Standard_dialogs"), std::string::npos);

    const std::string watched = mappedWhileRunning(
        {{"FOLYANT_UNATTENDED", "0"}, {"DISPLAY", ":99"}, {"QT_QPA_PLATFORM", "offscreen"}},
        folder.file("watched.pdf"));
    EXPECT_NE(watched.find("Folyant_Standard_dialogs"), std::string::npos);
    EXPECT_NE(watched.find("libQt6Widgets"), std::string::npos);
}

// A message box of the start (here: no installation to read) is open when
// the desktop session ends: the run ends too, and no message after it waits.
TEST_F(ProgramTest, TerminationWhileAWatchedRunShowsAMessageEndsIt)
{
    sysconf = machine.path(); // empty: three "Invalid Installation." boxes
    test::Environment variables = environment();
    variables.insert(
        variables.end(), {{"FOLYANT_UNATTENDED", "0"}, {"DISPLAY", ":99"}, {"QT_QPA_PLATFORM", "offscreen"}});
    const std::string out = folder.file("out.pdf");
    QProcess process;
    ASSERT_TRUE(test::startProgram(
        process, FOLYANT_CONVERTER, {out, "/source", test::dataFile("cups-testfile.ps")}, variables));
    const std::string maps = "/proc/" + std::to_string(process.processId()) + "/maps";
    for (int i = 0; i < 200 && test::readFile(maps).find("Folyant_Standard_dialogs") == std::string::npos;
         ++i)
        QThread::msleep(25);
    QThread::msleep(500); // the first box is up
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), converter::exitcode::kTerminated);
    EXPECT_FALSE(test::fileExists(out));
}

TEST_F(ProgramTest, ConvertsStandardInputToAnAbsolutePath)
{
    const std::string out = folder.file("aus der Pipe 한글 100%%.pdf");
    const auto result = converter({out}, test::readFile(test::dataFile("gs-cjk-gscjk_ak.ps")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::pdfPageCount(out), 1);
    EXPECT_NE(test::pdfText(out).find("한국어"), std::string::npos);
}

TEST_F(ProgramTest, SecurityProtectsTheOutputAndLeavesNoCopy)
{
    const std::string out = folder.file("out.pdf");
    const auto result = converter(
        {out, "/source", test::dataFile("cups-testfile.ps"), "/security", "USER", "OWNER", "1010", "x"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto shown = test::runProgram("qpdf", {"--show-encryption", "--password=USER", out});
    EXPECT_NE(shown.out.find("R = 2"), std::string::npos) << shown.out << shown.err;
    EXPECT_NE(shown.out.find("P = -44"), std::string::npos);
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"out.pdf"});
}

TEST_F(ProgramTest, ClosedStandardInputIsNoInput)
{
    // Qt would otherwise take descriptor 0 for itself, and its bytes would be the job.
    QProcess process;
    ASSERT_TRUE(test::startProgram(process, "/bin/sh",
        {"-c", "exec \"$0\" \"$1\" <&-", FOLYANT_CONVERTER, folder.file("out.pdf")}, environment()));
    ASSERT_TRUE(process.waitForFinished(30000)) << "the run must end at once";
    // Nothing to convert is no conversion.
    EXPECT_EQ(process.exitCode(), converter::exitcode::kStepFailed);
    EXPECT_NE(process.readAllStandardError().toStdString().find("비어 있어"), std::string::npos);
    EXPECT_FALSE(test::fileExists(folder.file("out.pdf")));
}

TEST_F(ProgramTest, PdfInputKeepsItsTextPagesAndFontsAndIsStamped)
{
    for (const char* name : {"pdfjs-tracemonkey.pdf", "cups-onepage-a4.pdf"}) {
        SCOPED_TRACE(name);
        const std::string source = test::dataFile(name);
        const std::string fromFile = folder.file(std::string("file-") + name);
        const std::string fromPipe = folder.file(std::string("pipe-") + name);
        auto result = converter({fromFile, "/source", source});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        result = converter({fromPipe}, test::readFile(source));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const int pages = test::pdfPageCount(source);
        for (const std::string& pdf : {fromFile, fromPipe}) {
            EXPECT_EQ(test::pdfPageCount(pdf), pages);
            EXPECT_EQ(test::pageSizes(pdf), test::pageSizes(source));
            EXPECT_EQ(test::pagesWithStamp(pdf, pages), pages);
            EXPECT_GE(test::sharedWords(source, pdf), 0.98);
            EXPECT_TRUE(test::allFontsEmbedded(pdf));
        }
    }
    EXPECT_EQ(test::filesBelow(folder.path()).size(), 4u) << "nothing of standard input's PDF is left";
}

// What the interpreter loses of a PDF's text, the converter puts back: the
// units of a ligature's ToUnicode entry, turned round; a character outside
// the BMP, cut short; and the text LibreOffice names only in /ActualText
// spans (letters it draws with a stand-in glyph), dropped. A print job comes
// on standard input: its PDF is read again for the repairs, then removed.
TEST_F(ProgramTest, WhatTheInterpreterLosesOfAPdfsTextIsPutBack)
{
    struct Case {
        const char* source;
        int pages;
        std::vector<std::string> found;
        const char* notFound;
    };
    const Case cases[] = {
        {"made-olefile-test-ole-file.pdf", 1, {"Test OLE file, saved as"}, "\u6600"},
        {"made-poi-54880_chinese.pdf", 1, {"\U00020B9F", "\u8868 Mix"}, "\uFFFD"},
        {"made-tika-testRTFVarious.pdf", 2,
            {"\U0001033F\U00010344\U00010339\U00010343\U0001033A", "And then some Gothic text:"}, nullptr},
    };
    for (const Case& item : cases) {
        const std::string source = test::dataFile(item.source);
        for (const bool piped : {false, true}) {
            SCOPED_TRACE(std::string(item.source) + (piped ? " on standard input" : ""));
            const std::string out = folder.file("out.pdf");
            const auto result
                = piped ? converter({out}, test::readFile(source)) : converter({out, "/source", source});
            ASSERT_EQ(result.exitCode, 0) << result.err;
            const std::string text = test::pdfText(out);
            for (const std::string& words : item.found)
                EXPECT_NE(text.find(words), std::string::npos) << words << " in\n" << text;
            if (item.notFound) {
                EXPECT_EQ(text.find(item.notFound), std::string::npos) << text;
            }
            EXPECT_GE(test::sharedWords(source, out), 0.98);
            EXPECT_EQ(test::runProgram("qpdf", {"--check", out}).exitCode, 0);
            EXPECT_EQ(test::pagesWithStamp(out, item.pages), item.pages);
            EXPECT_TRUE(test::filesBelow(temporary.path()).empty()) << "standard input's PDF is removed";
        }
    }
}

TEST_F(ProgramTest, BrokenAndLockedPdfsFailClearlyAndLeaveNoPdf)
{
    const std::string whole = test::readFile(test::dataFile("cups-onepage-a4.pdf"));
    test::writeFile(folder.file("cut.pdf"), whole.substr(0, 1000));
    test::writeFile(folder.file("junk.pdf"), "%PDF-1.4\nnothing of a PDF\n");
    for (const char* name : {"cut.pdf", "junk.pdf"}) {
        const std::string out = folder.file(std::string("out-") + name);
        auto result = converter({out, "/source", folder.file(name)});
        EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed) << name;
        EXPECT_NE(result.err.find("PDF 파일을 변환할 수 없습니다"), std::string::npos) << name << result.err;
        EXPECT_FALSE(test::fileExists(out)) << name;
        result = converter({out}, test::readFile(folder.file(name)));
        EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed) << name;
        EXPECT_FALSE(test::fileExists(out)) << name;
    }
}

namespace {
std::string twoPageJob(const std::string& before)
{
    return "%!PS-Adobe-3.0\n%%EndComments\n" + before
        + "\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (first) show showpage\n"
          "/Helvetica findfont 20 scalefont setfont 72 700 moveto (second) show showpage\n";
}
} // namespace

// A job the interpreter could not convert whole is a failure said as one, from
// a file and from standard input: its pages are kept only under a name that
// says so, every one of them stamped, and nothing under the name asked for.
TEST_F(ProgramTest, AJobConvertedInPartFailsAndIsKeptAsIncomplete)
{
    struct Case {
        const char* name;
        std::string job;
        int pages;
        const char* says;
    };
    const Case cases[] = {
        {"error", test::readFile(test::dataFile("derived-error-undefined-acrobat6-p3.ps")), 2, "undefined"},
        {"cut", test::readFile(test::dataFile("derived-truncated-acrobat6-win-word.ps")), 3, "12"},
        {"promised", "%!PS-Adobe-3.0\n%%Pages: 3\n" + twoPageJob(""), 2, "3쪽이라고 했지만 2쪽만"},
        {"unclosed", twoPageJob("") + "/Helvetica findfont 20 scalefont setfont 72 700 moveto (third", 2,
            "3쪽"},
    };
    for (const Case& job : cases) {
        test::writeFile(folder.file(std::string(job.name) + ".ps"), job.job);
        for (const bool fromFile : {true, false}) {
            const std::string out
                = folder.file(job.name + std::string(fromFile ? "-file" : "-input") + ".pdf");
            const auto result = fromFile
                ? converter({out, "/source", folder.file(std::string(job.name) + ".ps")})
                : converter({out}, job.job);
            const std::string kept = out.substr(0, out.size() - 4) + " (incomplete).pdf";
            EXPECT_EQ(result.exitCode, converter::exitcode::kIncomplete) << job.name << result.err;
            EXPECT_FALSE(test::fileExists(out)) << job.name;
            EXPECT_EQ(test::pdfPageCount(kept), job.pages) << job.name << result.err;
            EXPECT_EQ(test::pagesWithStamp(kept, job.pages), job.pages) << job.name;
            EXPECT_NE(result.err.find(job.says), std::string::npos) << job.name << result.err;
            EXPECT_NE(result.err.find(kept), std::string::npos) << job.name << result.err;
        }
    }
    // A second failure of the same job never takes the first one's place.
    const std::string out = folder.file("error-file.pdf");
    converter({out, "/source", folder.file("error.ps")});
    EXPECT_TRUE(test::fileExists(folder.file("error-file (incomplete 2).pdf")));
}

// Input that would come out as a blank page looking converted is refused with
// a reason and leaves no PDF, from a file and from standard input.
TEST_F(ProgramTest, WhatIsNoJobIsRefusedAndLeavesNoPdf)
{
    std::string noise(4096, '\0');
    unsigned state = 12345;
    for (char& c : noise)
        c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    ASSERT_EQ(test::runProgram("qpdf",
                  {"--encrypt", "secret", "owner", "256", "--", test::dataFile("cups-onepage-a4.pdf"),
                      folder.file("locked.pdf")})
                  .exitCode,
        0);
    const std::pair<std::string, const char*> cases[] = {
        {"", "비어 있어"},
        {noise, "PostScript도 PDF도 아니어서"},
        {"Dear reader,\nthis is a letter.\n", "PostScript도 PDF도 아니어서"},
        {test::readFile(folder.file("locked.pdf")), "암호로 보호되어"},
    };
    for (const auto& [input, says] : cases) {
        test::writeFile(folder.file("in"), input);
        const std::string out = folder.file("out.pdf");
        for (const bool fromFile : {true, false}) {
            const auto result
                = fromFile ? converter({out, "/source", folder.file("in")}) : converter({out}, input);
            EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed) << says;
            EXPECT_NE(result.err.find(says), std::string::npos) << result.err;
            EXPECT_EQ(test::filesBelow(folder.path()).size(), 2u) << says << " leaves no file beside the job";
        }
    }
}

// The stamp stays on every page whatever the job redefines; a job that gets
// round it anyway gets no PDF. Its words are never taken for the
// interpreter's state.
TEST_F(ProgramTest, TheJobCannotTakeThePageStampOff)
{
    struct Case {
        const char* name;
        std::string job;
        int exitCode;
    };
    const Case cases[] = {
        {"own-endpage", twoPageJob("<< /EndPage { pop pop true } >> setpagedevice"), 0},
        {"own-beginpage", twoPageJob("<< /BeginPage { pop userdict /setfont { pop } put } >> setpagedevice"),
            0},
        {"silent-show", twoPageJob("/show { pop } def"), 0},
        {"says-vmerror", twoPageJob("(Error: /VMerror in --string--) ="), 0},
        {"ends-with-quit", twoPageJob("") + "quit\n", 0},
        {"around", twoPageJob("<< /EndPage { pop pop true } >> systemdict /setpagedevice get exec"),
            converter::exitcode::kStepFailed},
        {"around-and-quit",
            twoPageJob("<< /EndPage { pop pop true } >> systemdict /setpagedevice get exec")
                + "systemdict /quit get exec\n",
            converter::exitcode::kStepFailed},
    };
    for (const Case& job : cases) {
        const std::string out = folder.file(std::string(job.name) + ".pdf");
        const auto result = converter({out}, job.job);
        EXPECT_EQ(result.exitCode, job.exitCode) << job.name << result.err;
        if (job.exitCode == 0) {
            EXPECT_EQ(test::pagesWithStamp(out, 2), 2) << job.name;
        } else {
            EXPECT_FALSE(test::fileExists(out)) << job.name;
            EXPECT_NE(result.err.find("도장"), std::string::npos) << result.err;
        }
    }
}

// The output path is a name and nothing more: "%" is literal, a link planted
// there is replaced and never written through, and a run that fails leaves
// the file that was there as it was.
TEST_F(ProgramTest, TheOutputPathIsOnlyAName)
{
    const std::string job = twoPageJob("");
    for (const char* name : {"page%d.pdf", "100% sure.pdf", "%%s%n.pdf"}) {
        const auto result = converter({folder.file(name)}, job);
        EXPECT_EQ(result.exitCode, 0) << name << result.err;
        EXPECT_EQ(test::pdfPageCount(folder.file(name)), 2) << name;
    }
    EXPECT_EQ(test::filesBelow(folder.path()).size(), 3u);

    test::writeFile(folder.file("victim.txt"), "mine");
    std::filesystem::create_symlink(folder.file("victim.txt"), folder.file("linked.pdf"));
    EXPECT_EQ(converter({folder.file("linked.pdf")}, job).exitCode, 0);
    EXPECT_EQ(test::readFile(folder.file("victim.txt")), "mine");
    EXPECT_FALSE(std::filesystem::is_symlink(folder.file("linked.pdf")));
    EXPECT_EQ(test::pdfPageCount(folder.file("linked.pdf")), 2);

    test::writeFile(folder.file("old.pdf"), "an earlier PDF");
    EXPECT_NE(converter({folder.file("old.pdf")}, "not a job").exitCode, 0);
    EXPECT_EQ(test::readFile(folder.file("old.pdf")), "an earlier PDF");
}

// Faults of the disk and of the job's source, made on demand: each is said,
// no PDF passes for a whole one, and no working file stays behind.
TEST_F(ProgramTest, ReadAndWriteFaultsAreSaidNotSwallowed)
{
    struct Case {
        const char* fault;
        bool fromFile;
        const char* source;
        int exitCode;
        const char* says;
        const char* kept; // the only file left beside the job, if any
    };
    // Ten pages of 30 KB each: the third read fails after four whole pages.
    std::string padded = "%!PS\n";
    for (int page = 1; page <= 10; ++page)
        padded += std::string(30000, '%').replace(0, 1, "\n") + "\n/Helvetica findfont 20 scalefont setfont "
            + "72 700 moveto (page) show showpage\n";
    test::writeFile(machine.file("padded.ps"), padded);
    const Case cases[] = {
        {"read:3:EIO", true, "padded.ps", converter::exitcode::kIncomplete, "끝까지 읽지 못했습니다",
            "out (incomplete).pdf"},
        {"read:1:EIO", false, "cups-testfile.ps", converter::exitcode::kStepFailed, "끝까지 읽지 못했습니다",
            nullptr},
        {"write:1:ENOSPC", false, "cups-onepage-a4.pdf", converter::exitcode::kStepFailed,
            "디스크가 가득 찼을 수 있습니다", nullptr},
        {"rename:1:EACCES", true, "cups-testfile.ps", converter::exitcode::kStepFailed,
            "PDF 파일의 폴더에 파일을 만들 수 없어", nullptr},
    };
    // The protected copy cannot take the PDF's place: no open PDF where the
    // protected one was expected.
    const auto unprotected = converter({folder.file("out.pdf"), "/source", test::dataFile("cups-testfile.ps"),
                                           "/security", "U", "O", "1111", "x"},
        {}, {{"FOLYANT_IO_FAULT", "rename:1:EACCES"}});
    EXPECT_EQ(unprotected.exitCode, converter::exitcode::kStepFailed) << unprotected.err;
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"out (unprotected).pdf"});
    std::filesystem::remove(folder.file("out (unprotected).pdf"));
    for (const Case& job : cases) {
        const std::string out = folder.file("out.pdf");
        const test::Environment fault{{"FOLYANT_IO_FAULT", job.fault}};
        const std::string source = test::fileExists(machine.file(job.source)) ? machine.file(job.source)
                                                                              : test::dataFile(job.source);
        const auto result = job.fromFile ? converter({out, "/source", source}, {}, fault)
                                         : converter({out}, test::readFile(source), fault);
        EXPECT_EQ(result.exitCode, job.exitCode) << job.fault << result.err;
        EXPECT_NE(result.err.find(job.says), std::string::npos) << job.fault << result.err;
        EXPECT_EQ(test::filesBelow(folder.path()),
            job.kept ? std::vector<std::string>{job.kept} : std::vector<std::string>{})
            << job.fault;
        if (job.kept) {
            EXPECT_EQ(test::pdfPageCount(folder.file(job.kept)), 4);
            EXPECT_EQ(test::pagesWithStamp(folder.file(job.kept), 4), 4);
        }
        std::filesystem::remove_all(folder.path());
        std::filesystem::create_directory(folder.path());
    }
}

TEST_F(ProgramTest, AnEndlessUnattendedJobEndsAtItsTimeLimit)
{
    useMachineSettings("TimeLimit=2\n");
    test::writeFile(folder.file("endless.ps"),
        "%!PS\n/Helvetica findfont 9 scalefont setfont 9 9 moveto (x) show showpage\n{ 1 pop } loop\n");
    QProcess process;
    start(process, {folder.file("endless.pdf"), "/source", folder.file("endless.ps")});
    ASSERT_TRUE(process.waitForFinished(30000)) << "the time limit ends the run";
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_NE(process.readAllStandardError().toStdString().find("time limit"), std::string::npos);
    EXPECT_FALSE(test::fileExists(folder.file("endless.pdf")));
    EXPECT_EQ(test::filesBelow(temporary.path()), std::vector<std::string>{})
        << "no scratch folder after the forced end";
}

TEST_F(ProgramTest, TheJobFileIsNeverWrittenOver)
{
    const std::string job = folder.file("in.ps");
    test::writeFile(job, test::readFile(test::dataFile("cups-testfile.ps")));
    // The value word is also the output path, as the command line reads it.
    const auto result = converter({"/source", job});
    EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed);
    EXPECT_NE(result.err.find("변환하지 않았습니다"), std::string::npos) << result.err;
    EXPECT_EQ(test::readFile(job), test::readFile(test::dataFile("cups-testfile.ps")));
}

TEST_F(ProgramTest, AnUnusablePasswordIsToldAndFailsTheRun)
{
    const std::string out = folder.file("out.pdf");
    const auto result
        = converter({out, "/source", test::dataFile("cups-testfile.ps"), "/security", "국", "", "1111", "x"});
    EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed);
    EXPECT_NE(result.err.find("PDF를 보호하지 못했습니다"), std::string::npos) << result.err;
    EXPECT_FALSE(test::fileExists(out)) << "no open PDF where the protected one was expected";
    EXPECT_TRUE(test::fileExists(folder.file("out (unprotected).pdf"))) << "kept under a name that says so";
    EXPECT_NE(result.err.find(folder.file("out (unprotected).pdf")), std::string::npos) << result.err;
}

TEST_F(ProgramTest, Aes256WhenTheFourthSecurityValueSaysSo)
{
    const std::string out = folder.file("out.pdf");
    auto result = converter(
        {out, "/source", test::dataFile("cups-testfile.ps"), "/security", "비밀", "OWNER", "1010", "aes256"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto shown = test::runProgram("qpdf", {"--show-encryption", "--password=비밀", out});
    EXPECT_NE(shown.out.find("R = 6"), std::string::npos) << shown.out << shown.err;
    EXPECT_NE(shown.out.find("file encryption method: AESv3"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("modify annotations: not allowed"), std::string::npos) << shown.out;
    const auto text = test::runProgram("pdftotext", {"-upw", "비밀", out, "-"});
    EXPECT_NE(text.out.find("Folyant Velmo"), std::string::npos) << text.err;

    // A password SASLprep refuses is said, and no open PDF stands where the
    // protected one was expected.
    const std::string refused = folder.file("refused.pdf");
    result = converter(
        {refused, "/source", test::dataFile("cups-testfile.ps"), "/security", "\x01", "", "1111", "AES256"});
    EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed);
    EXPECT_NE(result.err.find("PDF를 보호하지 못했습니다"), std::string::npos) << result.err;
    EXPECT_FALSE(test::fileExists(refused));
}

// A small file system of its own, mounted for one test (root only).
class SmallDisk {
public:
    explicit SmallDisk(const std::string& size)
    {
        if (geteuid() == 0
            && test::runProgram("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", m_folder.path()})
                    .exitCode
                == 0)
            m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            test::runProgram("umount", {m_folder.path()});
    }
    bool mounted() const { return m_mounted; }
    std::string file(const std::string& name) const { return m_folder.file(name); }

private:
    TempFolder m_folder;
    bool m_mounted = false;
};

// A full disk fails the run and never leaves a PDF under the name asked for:
// the conversion's own PDF goes, and one whose protected copy did not fit is
// kept only under a name that says it is open.
TEST_F(ProgramTest, AFullDiskFailsTheRunAndLeavesNoPdfUnderTheNameAskedFor)
{
    struct Case {
        const char* size;
        std::vector<std::string> more; // after the output path
        const char* said;
        const char* kept; // beside the output; null: nothing
    };
    const Case cases[] = {
        // The 12 pages take 23 KB.
        {"16k", {"/source", test::dataFile("acrobat6-win-word-12p.ps")}, "디스크가 가득 찼을 수 있습니다",
            nullptr},
        // The PDF (54 KB) fits; its protected copy beside it does not.
        {"80k", {"/source", test::dataFile("cups-testfile.ps"), "/security", "USER", "OWNER", "1111", "x"},
            "", "out (unprotected).pdf"},
    };
    for (const Case& c : cases) {
        SmallDisk disk(c.size);
        if (!disk.mounted())
            GTEST_SKIP() << "mounting a small file system needs root";
        const std::string out = disk.file("out.pdf");
        std::vector<std::string> arguments{out};
        arguments.insert(arguments.end(), c.more.begin(), c.more.end());
        const auto result = converter(arguments);
        EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed) << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        EXPECT_FALSE(test::fileExists(out)) << c.size;
        if (c.kept) {
            EXPECT_TRUE(test::fileExists(disk.file(c.kept))) << result.err;
        }
    }
}

TEST_F(ProgramTest, TwoProtectedConversionsAtOnceKeepTheirOwnContent)
{
    QProcess first;
    QProcess second;
    start(first, {folder.file("a.pdf"), "/security", "alpha", "", "1111", "x"});
    start(second, {folder.file("b.pdf"), "/security", "beta", "", "1111", "x"});
    auto page = [](const char* word) {
        return QByteArray("%!PS\n/Helvetica findfont 30 scalefont setfont 72 600 moveto (") + word
            + ") show showpage\n";
    };
    first.write(page("FirstDocument"));
    second.write(page("SecondDocument"));
    first.closeWriteChannel();
    second.closeWriteChannel();
    ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
    const auto a = test::runProgram("pdftotext", {"-upw", "alpha", folder.file("a.pdf"), "-"}).out;
    const auto b = test::runProgram("pdftotext", {"-upw", "beta", folder.file("b.pdf"), "-"}).out;
    EXPECT_NE(a.find("FirstDocument"), std::string::npos) << a;
    EXPECT_NE(b.find("SecondDocument"), std::string::npos) << b;
    EXPECT_EQ(test::filesBelow(folder.path()), (std::vector<std::string>{"a.pdf", "b.pdf"}));
}

TEST_F(ProgramTest, MailBeforeOpenAndTheChainGoesOnWithoutAMailProgram)
{
    TempFolder bin;
    const std::string log = folder.file("log");
    test::writeScript(bin.file("xdg-email"), "printf 'mail %s\\n' \"$*\" >> '" + log + "'\n");
    test::writeScript(bin.file("xdg-open"), "printf 'open %s\\n' \"$*\" >> '" + log + "'\n");
    const std::string out = folder.file("annual.report.pdf");
    auto env = environment();
    env.emplace_back("PATH", bin.path() + ":/usr/bin:/bin");
    auto result = test::runProgram(FOLYANT_CONVERTER,
        {out, "/source", test::dataFile("cups-testfile.ps"), "/showpdf", "/emailpdf"}, {}, env);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    for (int i = 0; i < 100 && test::readFile(log).find("open") == std::string::npos; ++i)
        QThread::msleep(50); // xdg-open is started detached
    EXPECT_EQ(test::readFile(log),
        "mail --utf8 --subject annual.report --body   --attach " + out + "\nopen " + out + "\n");

    std::remove(bin.file("xdg-email").c_str());
    std::remove(log.c_str());
    env.back().second = bin.path(); // not even the desktop's own xdg-email
    result = test::runProgram(FOLYANT_CONVERTER,
        {out, "/source", test::dataFile("cups-testfile.ps"), "/showpdf", "/emailpdf"}, {}, env);
    EXPECT_NE(result.err.find("메일 프로그램을 찾을 수 없습니다."), std::string::npos) << result.err;
    EXPECT_EQ(test::pdfPageCount(out), 1);
    for (int i = 0; i < 100 && !test::fileExists(log); ++i)
        QThread::msleep(50);
    EXPECT_EQ(test::readFile(log), "open " + out + "\n");
}

TEST_F(ProgramTest, BrokenInstallationIsReportedOnStandardError)
{
    sysconf = folder.file("nowhere");
    const std::string out = folder.file("out.pdf");
    const auto result = converter({out, "/source", test::dataFile("cups-testfile.ps")});
    EXPECT_EQ(result.exitCode, 0);
    std::size_t boxes = 0;
    for (std::size_t at = 0;
         (at = result.err.find("Folyant_Standard: Invalid Installation.", at)) != std::string::npos; ++at)
        ++boxes;
    EXPECT_EQ(boxes, 3u) << result.err;
}

// An unattended run that writes no PDF fails and says why: no output path,
// a job that cannot be read, and a job that asks for ever more memory, which
// ends at the machine's MemoryLimit without passing the page it made before
// off as the whole job.
TEST_F(ProgramTest, UnattendedRunsThatWriteNoPdfFailAndSayWhy)
{
    test::writeFile(folder.file("bomb.ps"),
        "%!PS\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (one) show showpage\n"
        "/d 1000 dict def 0 1 100000000 { d exch 10000 string put } for\n(two) show showpage\n");
    struct Case {
        const char* settings; // more machine settings; null: none
        std::vector<std::string> arguments;
        const char* said;
    };
    const Case cases[] = {
        {nullptr, {}, "PDF 파일 이름이 없어"},
        {nullptr, {folder.file("out.pdf"), "/source", folder.file("missing.ps")}, "읽을 수 없습니다"},
        {"MemoryLimit=250\n", {folder.file("out.pdf"), "/source", folder.file("bomb.ps")}, "MemoryLimit"},
    };
    for (const Case& c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        if (c.settings)
            continue; // the address sanitizer's shadow memory rules out an address-space limit
#endif
        if (c.settings)
            useMachineSettings(c.settings);
        const auto result = converter(c.arguments);
        EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed) << c.said;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        EXPECT_FALSE(test::fileExists(folder.file("out.pdf"))) << c.said;
    }
}

// CUPS hands backends a temporary folder its users cannot write to
// (/var/spool/cups/tmp): a converter started with one it cannot use must
// fail loudly, from a file and from standard input alike, and leave nothing
// at the output. A folder that does not exist fails for root as well.
TEST_F(ProgramTest, UnusableTemporaryFolderIsAFailureWithAMessage)
{
    const std::string locked = folder.file("no/such/folder");
    const std::string out = folder.file("out.pdf");
    for (const bool fromFile : {true, false}) {
        std::vector<std::string> arguments{out};
        if (fromFile)
            arguments.insert(arguments.end(), {"/source", test::dataFile("cups-testfile.ps")});
        const auto run = converter(arguments,
            fromFile ? "" : test::readFile(test::dataFile("cups-testfile.ps")), {{"TMPDIR", locked}});
        EXPECT_EQ(run.exitCode, converter::exitcode::kStepFailed) << (fromFile ? "file" : "stdin");
        EXPECT_NE(run.err.find("TMPDIR"), std::string::npos) << run.err;
        EXPECT_FALSE(test::fileExists(out));
    }
}

TEST_F(ProgramTest, TerminationWhileWaitingForInputLeavesNoPdf)
{
    const std::string out = folder.file("out.pdf");
    QProcess process;
    start(process, {out});
    process.write("%!PS\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (half) show showpage\n");
    ASSERT_TRUE(process.waitForBytesWritten());
    ASSERT_TRUE(waitForOutput());
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), converter::exitcode::kTerminated);
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{}) << "nor a working file";
}

TEST_F(ProgramTest, AJobThatNeverEndsEndedFromOutsideLeavesNoPdf)
{
    struct Case {
        int signal;
        QProcess::ExitStatus exitStatus;
        int exitCode; // of a normal exit
        const char* said;
    };
    const Case cases[] = {
        // The interpreter never returns: the watch ends the process.
        {SIGTERM, QProcess::NormalExit, converter::exitcode::kTerminated, "did not stop in time"},
        // The interpreter can be made to crash by a crafted job (libgs 10.00
        // has such faults); the crash must not leave a partial PDF that looks
        // like a result.
        {SIGSEGV, QProcess::CrashExit, 0, "crashed"},
    };
    for (const Case& c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        if (c.signal == SIGSEGV)
            continue; // the address sanitizer handles crashes itself
#endif
        const std::string out = folder.file("out.pdf");
        QProcess process;
        ASSERT_NO_FATAL_FAILURE(startEndlessJob(process, out));
        ASSERT_TRUE(waitForTheLoop(process));
        ::kill(static_cast<pid_t>(process.processId()), c.signal);
        ASSERT_TRUE(process.waitForFinished(30000)) << strsignal(c.signal);
        EXPECT_EQ(process.exitStatus(), c.exitStatus) << strsignal(c.signal);
        if (c.exitStatus == QProcess::NormalExit) {
            EXPECT_EQ(process.exitCode(), c.exitCode);
        }
        EXPECT_NE(process.readAllStandardError().indexOf(c.said), -1) << strsignal(c.signal);
        EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{}) << "nor a working file";
        EXPECT_EQ(test::filesBelow(temporary.path()), std::vector<std::string>{})
            << "no scratch folder after " << strsignal(c.signal);
    }
}

// Several jobs in one PDF: each appended after the pages before it, every
// page stamped once, and the PDF added to replaced only by a whole new one.
TEST_F(ProgramTest, AppendCombinesJobsInTheirOrder)
{
    const std::string out = folder.file("combined.pdf");
    auto result = converter({out, "/source", test::dataFile("cups-testfile.ps")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const int first = test::pdfPageCount(out);
    ASSERT_GT(first, 0);
    result = converter({out, "/source", test::dataFile("cups-onepage-a4.pdf"), "/append", out});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = converter({out, "/source", test::dataFile("acrobat6-win-word-12p.ps"), "/APPEND", out});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    EXPECT_EQ(test::pdfPageCount(out), first + 1 + 12);
    EXPECT_EQ(test::stampsPerPage(out), std::vector<int>(static_cast<std::size_t>(first + 13), 1))
        << "every page stamped, and none twice";
    const auto pageText = [&out](int page) {
        const std::string number = std::to_string(page);
        return test::runProgram("pdftotext", {"-f", number, "-l", number, out, "-"}).out;
    };
    EXPECT_EQ(pageText(first).find("Single Page A4"), std::string::npos);
    EXPECT_NE(pageText(first + 1).find("Single Page A4 Test Document"), std::string::npos);
    EXPECT_EQ(pageText(first + 2).find("Single Page A4"), std::string::npos);
    EXPECT_EQ(test::runProgram("qpdf", {"--check", out}).exitCode, 0);
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"combined.pdf"}) << "no working file";

    // Into a new PDF, the one added to stays as it was.
    const std::string before = test::readFile(out);
    result
        = converter({folder.file("more.pdf"), "/source", test::dataFile("cups-testfile.ps"), "/append", out});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::pdfPageCount(folder.file("more.pdf")), 2 * first + 13);
    EXPECT_EQ(test::readFile(out), before);
}

TEST_F(ProgramTest, AppendRefusesWhatCannotTakeThePages)
{
    const std::string open = folder.file("open.pdf");
    ASSERT_EQ(converter({open, "/source", test::dataFile("cups-testfile.ps")}).exitCode, 0);
    const std::string locked = folder.file("locked.pdf");
    const std::string restricted = folder.file("restricted.pdf");
    ASSERT_EQ(
        test::runProgram("qpdf", {"--encrypt", "secret", "owner", "256", "--", open, locked}).exitCode, 0);
    ASSERT_EQ(
        test::runProgram("qpdf", {"--encrypt", "", "owner", "256", "--print=none", "--", open, restricted})
            .exitCode,
        0);
    test::writeFile(folder.file("notes.pdf"), "not a PDF at all\n");
    const struct {
        std::string target;
        const char* said;
    } cases[] = {
        {locked, "암호로 보호되어 있어 페이지를 덧붙일 수 없습니다"},
        {restricted, "암호로 보호되어 있어 페이지를 덧붙일 수 없습니다"}, // it would lose its restrictions
        {folder.file("notes.pdf"), "PDF로 읽을 수 없어 변환하지 않았습니다"},
        {folder.file("missing.pdf"), "No such file or directory"},
    };
    for (const auto& each : cases) {
        const bool existed = test::fileExists(each.target);
        const std::string before = existed ? test::readFile(each.target) : std::string();
        const auto result
            = converter({each.target, "/source", test::dataFile("cups-testfile.ps"), "/append", each.target});
        EXPECT_EQ(result.exitCode, converter::exitcode::kStepFailed) << each.target;
        EXPECT_NE(result.err.find(each.said), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(each.target), std::string::npos) << "names the PDF";
        if (existed)
            EXPECT_EQ(test::readFile(each.target), before) << each.target;
        else
            EXPECT_FALSE(test::fileExists(each.target));
    }
    EXPECT_EQ(test::filesBelow(folder.path()),
        (std::vector<std::string>{"locked.pdf", "notes.pdf", "open.pdf", "restricted.pdf"}))
        << "no working file";
}

// Killed outright at any moment of an append, the PDF added to is the one it
// was: the combined PDF is a file of its own until the rename.
TEST_F(ProgramTest, AnAppendKilledOutrightLeavesTheOldPdfWhole)
{
    const std::string single = folder.file("single.pdf");
    ASSERT_EQ(converter({single, "/source", test::dataFile("acrobat6-win-word-12p.ps")}).exitCode, 0);
    // A large PDF, so that the combining takes a while.
    const std::string big = folder.file("big.pdf");
    std::vector<std::string> words{"--empty", "--pages"};
    for (int i = 0; i < 40; ++i)
        words.push_back(single);
    words.insert(words.end(), {"--", big});
    ASSERT_EQ(test::runProgram("qpdf", words).exitCode, 0);
    std::filesystem::remove(single);
    const std::string before = test::readFile(big);

    bool killedWhileCombining = false;
    for (int attempt = 0; attempt < 5 && !killedWhileCombining; ++attempt) {
        test::writeFile(big, before);
        QProcess process;
        start(process, {big, "/append", big});
        process.write(test::readFile(test::dataFile("cups-testfile.ps")).c_str());
        process.closeWriteChannel();
        // The interpreter's working file, then the combined one beside it.
        while (!process.waitForFinished(1)) {
            if (test::filesBelow(folder.path()).size() >= 3) {
                ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
                killedWhileCombining = true;
                break;
            }
        }
        process.waitForFinished(30000);
        if (killedWhileCombining) {
            EXPECT_TRUE(test::readFile(big) == before) << "the PDF added to was changed";
        }
        for (const std::string& name : test::filesBelow(folder.path()))
            if (name != "big.pdf")
                std::filesystem::remove(folder.file(name));
    }
    EXPECT_TRUE(killedWhileCombining) << "the append was never caught under way";
    EXPECT_EQ(test::pdfPageCount(big), 480);
}

} // namespace
