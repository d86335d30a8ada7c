// The virtual printer: backend, printer description, installer and
// uninstaller, with a private cupsd that each test starts for itself.
#include "installation/Handoff.h"
#include "platform/DefaultDestination.h"
#include "tests/support/CupsDaemon.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <cups/backend.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

TEST(PrinterDescription, PassesCupstestppd)
{
    // The filter it names, where an installation puts it.
    TempFolder root;
    std::filesystem::create_directories(root.file("usr/lib/cups/filter"));
    std::filesystem::copy_file(FOLYANT_PDF_FILTER, root.file("usr/lib/cups/filter/folyant-pdftopdf"));
    const auto result = test::runProgram(
        "cupstestppd", {"-R", root.path(), "-W", "translations", FOLYANT_DATA_DIR "/FolyDrv.ppd"});
    EXPECT_EQ(result.exitCode, 0) << result.out;
    const std::string ppd = test::readFile(FOLYANT_DATA_DIR "/FolyDrv.ppd");
    for (const char* size : {"A4", "A3", "A5", "B4", "B5", "Letter", "Legal"})
        EXPECT_NE(ppd.find(std::string("*PageSize ") + size + "/"), std::string::npos) << size;
    EXPECT_NE(ppd.find("*NickName: \"Folyant Velmo\""), std::string::npos);
    EXPECT_NE(ppd.find("*CustomPageSize True"), std::string::npos);
}

TEST(Backend, RunsTheWayCupsdRunsIt)
{
    auto result = test::runProgram(FOLYANT_BACKEND, {});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
        "direct folyant:/PPD \"Folyant Velmo\" \"Folyant Velmo\" \"Folyant Velmo virtual PDF printer\"\n");

    result = test::runProgram(FOLYANT_BACKEND, {"1", "root", "title"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Usage:"), std::string::npos);

    TempFolder out;
    // Failures of the job cancel it (CUPS_BACKEND_CANCEL): the queue goes on.
    result = test::runProgram(FOLYANT_BACKEND, {"7", "nosuchuser-folyant", "t", "1", ""}, "%!PS\nshowpage\n");
    EXPECT_EQ(result.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(
        result.err.find("ERROR: The job's user \"nosuchuser-folyant\" has no account"), std::string::npos);

    result = test::runProgram(FOLYANT_BACKEND, {"8", "root", "t", "1", "", out.file("missing.ps")});
    EXPECT_EQ(result.exitCode, CUPS_BACKEND_CANCEL);
    EXPECT_NE(result.err.find("ERROR: Cannot open the print file"), std::string::npos);
}

// The hand-off works in the job user's own home: these tests arm it for a
// throw-away user, so that nobody's real state is touched.
class HandoffTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!account.exists())
            GTEST_SKIP() << "the backend acts as the job's user; run these tests as root";
        home = account.home();
        user = account.name();
        std::filesystem::create_directories(handoff::folderFor(home));
        std::filesystem::permissions(conf.path(),
            std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
            std::filesystem::perm_options::add);
        account.own(out.path());
    }
    // Arms the hand-off as the user would have.
    void arm(const handoff::Record& record)
    {
        ASSERT_TRUE(handoff::write(home, record));
        account.own(home);
    }
    test::ProcessResult print(const std::string& job)
    {
        return test::runProgram(
            FOLYANT_BACKEND, {"9", user, "doc", "1", ""}, job, {{"FOLYANT_SYSCONFDIR", daemonlessConf()}});
    }
    std::string daemonlessConf()
    {
        test::writeFile(conf.file("Quorvale/Folyant Velmo.conf"),
            test::developmentMachineSettings("OutputFolder=\"" + out.path() + "\"\n"));
        return conf.path();
    }
    test::ThrowAwayUser account;
    std::string home;
    std::string user;
    TempFolder conf;
    TempFolder out;
};

TEST_F(HandoffTest, ArmedJobLandsUnchangedAtTheSpoolPath)
{
    const std::string job = "%!PS\n(hand me over) = showpage\n%%EOF\n";
    handoff::Record record{0, handoff::currentTickCount(), handoff::spoolPathFor(home)};
    arm(record);
    std::filesystem::create_directories(conf.file("Quorvale"));
    const auto result = print(job);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::readFile(handoff::spoolPathFor(home)), job);
    EXPECT_TRUE(test::filesBelow(out.path()).empty()) << "no PDF for a handed-off job";
}

TEST_F(HandoffTest, StaleOrForeignHandoffIsIgnored)
{
    std::filesystem::create_directories(conf.file("Quorvale"));
    const std::int64_t now = handoff::currentTickCount();
    for (const handoff::Record& record :
        {handoff::Record{0, now - handoff::kValidMilliseconds - 1000, handoff::spoolPathFor(home)},
            handoff::Record{0, now, "/tmp/elsewhere.ps"},
            handoff::Record{1, now, handoff::spoolPathFor(home)}}) {
        arm(record);
        const auto result = print("%!PS\nshowpage\n");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_FALSE(test::fileExists(handoff::spoolPathFor(home)));
        EXPECT_FALSE(test::fileExists("/tmp/elsewhere.ps"));
    }
    EXPECT_EQ(test::filesBelow(out.path()).size(), 3u) << "each job was converted as usual";
}

TEST_F(HandoffTest, AFifoInPlaceOfTheRecordOrTheSpoolFileBlocksNothing)
{
    std::filesystem::create_directories(conf.file("Quorvale"));
    const std::string record = handoff::folderFor(home) + "/handoff.conf";
    ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0);
    account.own(home);
    auto result = print("%!PS\nshowpage\n");
    EXPECT_EQ(result.exitCode, 0) << "converted as usual: " << result.err;
    EXPECT_EQ(test::filesBelow(out.path()).size(), 1u);

    std::filesystem::remove(record);
    arm(handoff::Record{0, handoff::currentTickCount(), handoff::spoolPathFor(home)});
    ASSERT_EQ(::mkfifo(handoff::spoolPathFor(home).c_str(), 0600), 0);
    account.own(home);
    result = print("%!PS\nshowpage\n%%EOF\n");
    EXPECT_NE(result.exitCode, 0) << "the spool path is no file to write the job into";
    EXPECT_NE(result.err.find("ERROR: Cannot write the hand-off file"), std::string::npos) << result.err;
}

TEST_F(HandoffTest, TheConverterDiesWithAKilledBackend)
{
    std::filesystem::create_directories(conf.file("Quorvale"));
    QProcess backend;
    ASSERT_TRUE(test::startProgram(backend, FOLYANT_BACKEND, {"11", user, "endless", "1", ""},
        {{"FOLYANT_SYSCONFDIR", daemonlessConf()}}));
    backend.write("%!PS\n{ 1 pop } loop\n");
    ASSERT_TRUE(backend.waitForBytesWritten());
    std::string converter;
    for (int i = 0; i < 200 && converter.empty();
         ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        converter = test::runProgram("/usr/bin/pgrep", {"-u", user, "-f", "Folyant_Standard"}).out;
    ASSERT_FALSE(converter.empty()) << "the job is being converted";
    // The whole backend, the process that became the user (which names the
    // job's folder) included.
    const std::string worker
        = test::runProgram("/usr/bin/pgrep", {"-P", std::to_string(backend.processId()), "-u", user}).out;
    ASSERT_FALSE(worker.empty()) << "the job runs in a process of the user's";
    const pid_t killed = static_cast<pid_t>(std::stol(worker));
    ASSERT_EQ(::kill(killed, SIGKILL), 0);
    backend.kill();
    ASSERT_TRUE(backend.waitForFinished(5000));
    bool gone = false;
    for (int i = 0; i < 250 && !gone; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        gone = test::runProgram("/usr/bin/pgrep", {"-u", user, "-f", "Folyant_Standard"}).out.empty();
    EXPECT_TRUE(gone) << "the converter ran on without its backend";

    // The killed backend could not remove its job's folder; the user's next
    // job does.
    const auto leftovers = [&] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/tmp"))
            if (entry.path().filename().string().rfind("folyant-job-" + std::to_string(killed) + "-", 0) == 0)
                ++count;
        return count;
    };
    EXPECT_EQ(leftovers(), 1);
    // (Once whoever inherited the killed process has collected it.)
    for (int i = 0; i < 250 && ::kill(killed, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(print("%!PS\nshowpage\n").exitCode, 0);
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(HandoffTest, TheConverterGetsATemporaryFolderOfTheUsersThatGoesWithTheJob)
{
    std::filesystem::create_directories(conf.file("Quorvale"));
    // A converter that leaves a file in its temporary folder and dies.
    TempFolder stand;
    std::filesystem::permissions(stand.path(),
        std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
    const std::string seen = out.file("tmpdir.txt");
    test::writeScript(stand.file("converter"),
        "echo \"$TMPDIR\" > " + seen + "\nstat -c %U \"$TMPDIR\" >> " + seen
            + "\ntouch \"$TMPDIR/left\"\nkill -KILL $$\n");
    std::filesystem::permissions(stand.file("converter"),
        std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
    const auto result = test::runProgram(FOLYANT_BACKEND, {"12", user, "doc", "1", ""}, "%!PS\nshowpage\n",
        {{"FOLYANT_SYSCONFDIR", daemonlessConf()}, {"FOLYANT_CONVERTER", stand.file("converter")},
            {"TMPDIR", "/var/spool/cups/tmp"}});
    EXPECT_NE(result.exitCode, 0) << "a converter that died wrote no PDF";
    EXPECT_NE(result.err.find("ERROR: The converter crashed (signal 9"), std::string::npos) << result.err;
    EXPECT_EQ(test::filesBelow(out.path()), std::vector<std::string>{"tmpdir.txt"}) << "no partial PDF";
    const std::string lines = test::readFile(seen);
    const std::string folder = lines.substr(0, lines.find('\n'));
    EXPECT_EQ(folder.rfind("/tmp/folyant-job-", 0), 0u) << lines;
    EXPECT_NE(lines.find(user), std::string::npos) << "the folder is the user's: " << lines;
    EXPECT_FALSE(test::fileExists(folder)) << "the folder went with the job";
}

TEST_F(HandoffTest, WriterHoldsALockUntilTheJobIsWritten)
{
    handoff::Record record{0, handoff::currentTickCount(), handoff::spoolPathFor(home)};
    arm(record);
    std::filesystem::create_directories(conf.file("Quorvale"));
    QProcess backend;
    ASSERT_TRUE(test::startProgram(
        backend, FOLYANT_BACKEND, {"10", user, "doc", "1", ""}, {{"FOLYANT_SYSCONFDIR", daemonlessConf()}}));
    backend.write("%!PS\n% first half\n");
    ASSERT_TRUE(backend.waitForBytesWritten());
    const std::string spool = handoff::spoolPathFor(home);
    for (int i = 0; i < 100 && !test::fileExists(spool); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int fd = ::open(spool.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0) << "the job is still being written";
    backend.write("% second half\n%%EOF\n");
    backend.closeWriteChannel();
    ASSERT_TRUE(backend.waitForFinished(30000));
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0) << "complete once the lock can be taken";
    ::close(fd);
    EXPECT_EQ(test::readFile(spool), "%!PS\n% first half\n% second half\n%%EOF\n");
}

// Printing through a private cupsd.
class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "a print system runs its backend as root; run these tests as root";
        if (!daemon.running())
            GTEST_SKIP() << "cupsd could not be started";
    }
    test::ProcessResult tool(const std::string& program, const std::vector<std::string>& arguments)
    {
        return test::runProgram(program, arguments, {}, daemon.environment());
    }
    bool install()
    {
        const auto result = tool(FOLYANT_PRNINSTALL, {});
        EXPECT_EQ(result.exitCode, 0) << result.err << daemon.errorLog().substr(0, 3000);
        return result.exitCode == 0;
    }
    // Waits until the print system has no job left.
    void waitForJobs()
    {
        for (int i = 0; i < 1200; ++i) {
            if (tool("lpstat", {"-o"}).out.empty())
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ADD_FAILURE() << "jobs did not finish";
    }
    std::vector<std::string> pdfs() { return test::filesBelow(daemon.outputFolder()); }

    test::CupsDaemon daemon;
};

TEST_F(PrintingTest, InstallPrintAndRemove)
{
    ASSERT_TRUE(install());
    EXPECT_NE(tool("lpstat", {"-v"}).out.find("Folyant_Velmo: folyant:/PPD"), std::string::npos);
    const auto options = tool("lpoptions", {"-p", "Folyant_Velmo"}).out;
    EXPECT_NE(options.find("device-uri=folyant:/PPD"), std::string::npos) << options;
    EXPECT_NE(options.find("printer-is-shared=false"), std::string::npos) << options;
    // The PPD's own options, as the queue holds them (lpoptions -l would need
    // the daemon on a network port).
    EXPECT_NE(
        test::readFile(daemon.ppdFile("Folyant_Velmo")).find("*OpenUI *FolyantQuality"), std::string::npos);
    EXPECT_NE(tool("lpstat", {"-l", "-p", "Folyant_Velmo"}).out.find("Folyant Velmo"), std::string::npos);

    const std::string text = daemon.outputFolder() + "/../notes.txt";
    test::writeFile(text, "Plain text notes\n");
    EXPECT_EQ(
        tool("lp", {"-d", "Folyant_Velmo", "-t", "12 pages", test::dataFile("acrobat6-win-word-12p.ps")})
            .exitCode,
        0);
    EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-t", "한글 보고서", test::dataFile("cups-onepage-a4.pdf")})
                  .exitCode,
        0);
    EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-t", "notes", text}).exitCode, 0);
    EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-t", "notes", text}).exitCode, 0);
    // Plain application/postscript, which gstopdf could take (Acrobat's is a type of its own).
    EXPECT_EQ(
        tool("lp", {"-d", "Folyant_Velmo", "-t", "testfile", test::dataFile("cups-testfile.ps")}).exitCode,
        0);
    waitForJobs();
    EXPECT_EQ(pdfs(),
        (std::vector<std::string>{
            "12 pages.pdf", "notes (2).pdf", "notes.pdf", "testfile.pdf", "한글 보고서.pdf"}))
        << [&] {
               // What became of the jobs is at the log's end.
               const std::string log = daemon.errorLog();
               return log.substr(log.size() > 6000 ? log.size() - 6000 : 0);
           }();
    for (const std::string& pdf : pdfs()) {
        const std::string path = daemon.outputFolder() + "/" + pdf;
        const int pages = test::pdfPageCount(path);
        EXPECT_GT(pages, 0) << pdf;
        EXPECT_EQ(test::pagesWithStamp(path, pages), pages) << pdf;
    }
    EXPECT_EQ(test::pdfPageCount(daemon.outputFolder() + "/12 pages.pdf"), 12);
    // Each job took the way of its kind: PostScript stays PostScript (pstops),
    // PDF and text go through the PDF filter; nothing is turned from one into
    // the other (gstopdf, pdftops), which costs time and the text.
    const std::string log = daemon.errorLog();
    EXPECT_NE(log.find("/pstops (PID"), std::string::npos);
    EXPECT_NE(log.find("folyant-pdftopdf"), std::string::npos);
    EXPECT_EQ(log.find("gstopdf"), std::string::npos);
    EXPECT_EQ(log.find("filter/pdftops"), std::string::npos);

    ASSERT_TRUE(install()) << "a second run deletes and adds the printer again";
    EXPECT_EQ(tool(FOLYANT_PRNREMOVE, {}).exitCode, 0);
    EXPECT_EQ(tool("lpstat", {"-v"}).out.find("Folyant_Velmo"), std::string::npos);
    EXPECT_EQ(tool(FOLYANT_PRNREMOVE, {}).exitCode, 0) << "nothing left to remove is no failure";
}

// What today's applications print: PDF, which reaches the backend as PDF and
// keeps its text, fonts and pages.
TEST_F(PrintingTest, PdfJobsKeepTheirTextPagesAndFonts)
{
    if (!test::fileExists("/usr/bin/soffice"))
        GTEST_SKIP() << "LibreOffice is not installed";
    ASSERT_TRUE(install());
    TempFolder made;
    TempFolder profile;
    std::vector<std::string> sources{
        test::dataFile("pdfjs-tracemonkey.pdf"), test::dataFile("cups-onepage-a4.pdf")};
    for (const char* document :
        {"poi-SampleDoc.doc", "poi-15556-korean.xls", "poi-SampleShow.ppt", "tika-testRTF-word2003.rtf"}) {
        test::runProgram("/usr/bin/soffice",
            {"--headless", "-env:UserInstallation=file://" + profile.path(), "--convert-to", "pdf",
                "--outdir", made.path(), test::dataFile(std::string("office/") + document)});
        const std::string title = std::string(document).substr(0, std::string(document).rfind('.'));
        sources.push_back(made.file(title + ".pdf"));
    }
    for (std::size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(
            tool("lp", {"-d", "Folyant_Velmo", "-t", "job" + std::to_string(i), sources[i]}).exitCode, 0);
    waitForJobs();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        SCOPED_TRACE(sources[i]);
        const std::string pdf = daemon.outputFolder() + "/job" + std::to_string(i) + ".pdf";
        const int pages = test::pdfPageCount(sources[i]);
        ASSERT_GT(pages, 0);
        EXPECT_EQ(test::pdfPageCount(pdf), pages) << daemon.errorLog().substr(0, 2000);
        // Each page keeps its size (Letter, A4, landscape slides) although
        // the queue's paper is A4.
        EXPECT_TRUE(test::samePageSizes(pdf, sources[i]))
            << test::pageSizes(pdf) << test::pageSizes(sources[i]);
        EXPECT_EQ(test::pagesWithStamp(pdf, pages), pages);
        EXPECT_GE(test::sharedWords(sources[i], pdf), 0.85);
        EXPECT_TRUE(test::allFontsEmbedded(pdf));
    }
    // Korean text stays text.
    EXPECT_NE(test::pdfText(daemon.outputFolder() + "/job3.pdf").find("조립"), std::string::npos);

    // LibreOffice printing to the queue itself sends PDF, and its text stays.
    for (const std::string& file : pdfs())
        std::filesystem::remove(daemon.outputFolder() + "/" + file);
    TempFolder printingProfile;
    auto env = daemon.environment();
    test::runProgram("/usr/bin/soffice",
        {"--headless", "-env:UserInstallation=file://" + printingProfile.path(), "--pt", "Folyant_Velmo",
            test::dataFile("office/poi-SampleDoc.doc")},
        {}, env);
    waitForJobs();
    ASSERT_EQ(pdfs().size(), 1u) << daemon.errorLog().substr(0, 2000);
    const std::string printed = daemon.outputFolder() + "/" + pdfs().front();
    EXPECT_GE(test::sharedWords(made.file("poi-SampleDoc.pdf"), printed), 0.95);
    EXPECT_EQ(test::pagesWithStamp(printed, test::pdfPageCount(printed)), test::pdfPageCount(printed));
}

TEST_F(PrintingTest, PageRangesAndNUpOfPdfJobsAreHonoured)
{
    ASSERT_TRUE(install());
    const std::string book = test::dataFile("pdfjs-tracemonkey.pdf");
    EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-t", "ranges", "-o", "page-ranges=2-3", book}).exitCode, 0);
    EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-t", "twoup", "-o", "number-up=2", book}).exitCode, 0);
    // The paper is Letter and the queue's default A4: the job keeps its size
    // unless it asks for another.
    EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-t", "letter", book}).exitCode, 0);
    EXPECT_EQ(
        tool("lp", {"-d", "Folyant_Velmo", "-t", "asked", "-o", "media=A4", "-o", "page-ranges=1", book})
            .exitCode,
        0);
    waitForJobs();
    EXPECT_TRUE(test::samePageSizes(daemon.outputFolder() + "/letter.pdf", book));
    EXPECT_EQ(test::pageSizes(book).find("595"), std::string::npos);
    EXPECT_NE(test::pageSizes(daemon.outputFolder() + "/asked.pdf").find("595"), std::string::npos)
        << "A4, as asked";
    const std::string ranges = daemon.outputFolder() + "/ranges.pdf";
    EXPECT_EQ(test::pdfPageCount(ranges), 2);
    const std::string text = test::pdfText(ranges);
    EXPECT_NE(text.find("recording and compiling a trace"), std::string::npos)
        << "begins with the paper's page 2";
    EXPECT_EQ(text.find("Trace-based Just-in-Time"), std::string::npos) << "page 1 is not printed";
    EXPECT_EQ(test::pdfPageCount(daemon.outputFolder() + "/twoup.pdf"), 7);
}

TEST_F(PrintingTest, TheDefaultDestinationComesBackExactlyForRootToo)
{
    ASSERT_TRUE(install());
    TempFolder home;
    const char* oldHome = std::getenv("HOME");
    const std::string previous = oldHome ? oldHome : "";
    setenv("HOME", home.path().c_str(), 1);
    CupsDefaultDestination destinations;
    EXPECT_TRUE(destinations.exists("Folyant_Velmo"));
    EXPECT_FALSE(destinations.exists("No_Such_Queue"));
    destinations.save();
    EXPECT_TRUE(destinations.makeDefault("Folyant_Velmo"));
    EXPECT_NE(test::readFile(home.file(".cups/lpoptions")).find("Default Folyant_Velmo"), std::string::npos)
        << "where the print system's library writes it";
    EXPECT_TRUE(destinations.restore());
    EXPECT_FALSE(test::fileExists(home.file(".cups/lpoptions"))) << "no choice before, none after";
    setenv("HOME", previous.c_str(), 1);
}

// Jobs that cannot be converted whole end at once as failures that say why,
// through the whole print system: an interpreter error keeps its pages as an
// incomplete PDF, a locked PDF and bytes that are no job keep nothing. None of
// them leaves a PDF under the name a good job gets.
TEST_F(PrintingTest, FailedJobsAreCancelledWithTheirReason)
{
    ASSERT_TRUE(install());
    const std::string locked = daemon.outputFolder() + "/../locked.pdf";
    ASSERT_EQ(
        test::runProgram("qpdf",
            {"--encrypt", "secret", "owner", "256", "--", test::dataFile("cups-onepage-a4.pdf"), locked})
            .exitCode,
        0);
    for (const auto& [title, file] :
        {std::pair{"error", test::dataFile("derived-error-undefined-acrobat6-p3.ps")},
            std::pair{"locked", locked}, std::pair{"good", test::dataFile("cups-testfile.ps")}})
        EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-t", title, file}).exitCode, 0) << title;
    waitForJobs();
    EXPECT_EQ(pdfs(), (std::vector<std::string>{"error (incomplete).pdf", "good.pdf"}))
        << daemon.errorLog().substr(0, 6000);
    EXPECT_EQ(test::pdfPageCount(daemon.outputFolder() + "/error (incomplete).pdf"), 2);
    // At the print system's usual log level, as the jobs' state messages.
    const std::string log = daemon.errorLog();
    EXPECT_NE(
        log.find("[Job 1] Folyant_Standard: The job stopped with the PostScript error undefined on page 3."),
        std::string::npos)
        << log;
    EXPECT_NE(
        log.find("[Job 2] Folyant_Standard: The PDF file is protected by a password"), std::string::npos);
    EXPECT_NE(log.find("[Job 1] Job canceled at printer."), std::string::npos);
    EXPECT_NE(log.find("[Job 2] Job canceled at printer."), std::string::npos);
}

TEST_F(PrintingTest, TenJobsAtOnceGiveTenPdfs)
{
    ASSERT_TRUE(install());
    std::vector<std::thread> senders;
    for (int i = 0; i < 10; ++i)
        senders.emplace_back([this] {
            tool("lp", {"-d", "Folyant_Velmo", "-t", "same", test::dataFile("cups-testfile.ps")});
        });
    for (std::thread& sender : senders)
        sender.join();
    waitForJobs();
    EXPECT_EQ(pdfs().size(), 10u) << daemon.errorLog().substr(
        daemon.errorLog().size() > 8000 ? daemon.errorLog().size() - 8000 : 0);
}

TEST_F(PrintingTest, CancelledJobLeavesNoPdf)
{
    ASSERT_TRUE(install());
    const std::string endless = daemon.outputFolder() + "/../endless.ps";
    test::writeFile(endless, "%!PS\nshowpage\n{ 1 pop } loop\n");
    const auto sent = tool("lp", {"-d", "Folyant_Velmo", "-t", "endless", endless});
    ASSERT_EQ(sent.exitCode, 0);
    for (int i = 0; i < 100 && pdfs().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(tool("cancel", {"-a", "Folyant_Velmo"}).exitCode, 0);
    waitForJobs();
    std::this_thread::sleep_for(std::chrono::seconds(4)); // the converter's grace period
    EXPECT_TRUE(pdfs().empty());
}

// Korean and Japanese lines of a text job print as boxes with the
// distribution's font mapping of CUPS' text filter; with the one the README
// gives, Korean and Japanese faces draw them. The text itself does not survive
// the round trip through PostScript, and the faces become Type 3 glyphs: the
// pages are judged as pictures, and kept for a person to look at.
class TextJobs : public ::testing::Test {
protected:
    // Page 1 at 50 dpi, grey, row by row.
    std::string printed(const std::string& charsets, const std::string& name)
    {
        test::CupsDaemon daemon({}, charsets);
        EXPECT_TRUE(daemon.running());
        const auto environment = daemon.environment();
        EXPECT_EQ(test::runProgram(FOLYANT_PRNINSTALL, {}, {}, environment).exitCode, 0);
        const std::string text = daemon.outputFolder() + "/../lines.txt";
        test::writeFile(text, "Plain line\n한국어 보고서\n日本語のテキスト\n");
        EXPECT_EQ(
            test::runProgram("lp", {"-d", "Folyant_Velmo", "-t", "lines", text}, {}, environment).exitCode,
            0);
        for (int i = 0; i < 600 && !test::runProgram("lpstat", {"-o"}, {}, environment).out.empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::string pdf = daemon.outputFolder() + "/lines.pdf";
        test::runProgram(
            "pdftoppm", {"-png", "-r", "50", "-singlefile", pdf, FOLYANT_TEST_ARTEFACTS "/" + name});
        test::runProgram("pdftoppm", {"-gray", "-r", "50", "-singlefile", pdf, text + "-page"});
        const std::string page = test::readFile(text + "-page.pgm");
        int width = 0;
        int height = 0;
        int header = 0;
        if (std::sscanf(page.c_str(), "P5 %d %d 255%n", &width, &height, &header) != 2)
            return {};
        m_width = static_cast<std::size_t>(width);
        return page.substr(static_cast<std::size_t>(header + 1));
    }
    std::size_t m_width = 0;
};

TEST_F(TextJobs, KoreanAndJapaneseLinesAreDrawnWithTheGivenFontMapping)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a print system runs its backend as root; run these tests as root";
    const std::string boxes = printed({}, "text-job-distribution-mapping");
    const std::string glyphs = printed(FOLYANT_DATA_DIR "/pdf.utf-8.cjk", "text-job-cjk-mapping");
    ASSERT_EQ(boxes.size(), glyphs.size());
    ASSERT_FALSE(glyphs.empty());
    // 50 dpi, 8 pixels a line: the plain line alike, the two others drawn otherwise.
    const std::size_t width = m_width;
    auto differing = [&](std::size_t fromRow, std::size_t toRow) {
        int count = 0;
        for (std::size_t at = fromRow * width; at < toRow * width; ++at)
            count += (static_cast<unsigned char>(boxes[at]) < 128)
                != (static_cast<unsigned char>(glyphs[at]) < 128);
        return count;
    };
    EXPECT_EQ(differing(0, 7), 0) << "the plain line";
    EXPECT_GT(differing(8, 26), 40) << "the Hangul and Japanese lines";
}

// A job belongs to the user the print system authenticated: a local user's
// own jobs print into that user's folder without a password, a job put on
// root's name is refused, and a job of a name without an account is
// cancelled without holding up the next one.
TEST_F(PrintingTest, JobsGoOnlyToTheirAuthenticatedUser)
{
    test::ThrowAwayUser account;
    if (!account.exists())
        GTEST_SKIP() << "no throw-away user could be made";
    ASSERT_TRUE(install());
    test::writeFile(daemon.sysconf() + "/Quorvale/Folyant Velmo.conf",
        test::developmentMachineSettings("OutputFolder=\"~/PDF\"\n"));
    const std::string job = account.home() + "/job.ps";
    test::writeFile(job, test::readFile(test::dataFile("cups-testfile.ps")));
    account.own(job);
    const auto asUser = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
            {"-u", account.name(), "--", "/usr/bin/env", "CUPS_SERVER=" + daemon.socket(), "lp", "-d",
                "Folyant_Velmo"});
        return test::runProgram("/usr/sbin/runuser", arguments);
    };
    const auto rootPdfs = [] {
        return std::filesystem::exists("/root/PDF") ? test::filesBelow("/root/PDF")
                                                    : std::vector<std::string>{};
    };
    const auto before = rootPdfs();

    const auto own = asUser({"-t", "mine", job});
    EXPECT_EQ(own.exitCode, 0) << own.err;
    const auto foreign = asUser({"-U", "root", "-t", "planted", job});
    EXPECT_NE(foreign.exitCode, 0) << "a job on root's name from another user is refused";
    EXPECT_NE(tool("lp", {"-d", "Folyant_Velmo", "-U", "fv-no-such-user", "-t", "orphan", job}).exitCode, 0);
    // A server opened to network clients (the default policy) takes names
    // that have no account here.
    ASSERT_EQ(tool("lpadmin", {"-p", "Folyant_Velmo", "-o", "printer-op-policy=default"}).exitCode, 0);
    EXPECT_EQ(tool("lp", {"-d", "Folyant_Velmo", "-U", "fv-no-such-user", "-t", "orphan", job}).exitCode, 0);
    EXPECT_EQ(asUser({"-t", "after", job}).exitCode, 0);
    waitForJobs();

    EXPECT_EQ(test::filesBelow(account.home() + "/PDF"), (std::vector<std::string>{"after.pdf", "mine.pdf"}))
        << daemon.errorLog().substr(0, 4000);
    EXPECT_EQ(rootPdfs(), before);
    EXPECT_EQ(tool("lpstat", {"-p", "Folyant_Velmo"}).out.find("disabled"), std::string::npos)
        << "the queue still prints";
    const std::string log = daemon.errorLog();
    EXPECT_NE(log.find("has no account on this system"), std::string::npos);
}

TEST_F(PrintingTest, SetupToolsSayWhatTheyDid)
{
    const auto help = tool(FOLYANT_PRNREMOVE, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: prnremove", 0), 0u) << help.out;
    ASSERT_TRUE(install());
    EXPECT_EQ(tool(FOLYANT_PRNREMOVE, {"--help"}).exitCode, 0);
    EXPECT_EQ(tool(FOLYANT_PRNINSTALL, {"-x"}).exitCode, 2);
    EXPECT_NE(tool("lpstat", {"-v"}).out.find("Folyant_Velmo"), std::string::npos) << "help changes nothing";

    const auto removed = tool(FOLYANT_PRNREMOVE, {});
    EXPECT_EQ(removed.out, "prnremove: the printer \"Folyant Velmo\" (queue Folyant_Velmo) was removed.\n");
    EXPECT_EQ(
        tool(FOLYANT_PRNREMOVE, {}).out, "prnremove: there was no printer \"Folyant Velmo\" to remove.\n");

    // No daemon at all is told apart from a daemon without our backend.
    test::Environment down = daemon.environment();
    down.front().second = daemon.socket() + ".gone";
    for (const char* program : {FOLYANT_PRNINSTALL, FOLYANT_PRNREMOVE}) {
        const auto result = test::runProgram(program, {}, {}, down);
        EXPECT_EQ(result.exitCode, 1) << program;
        EXPECT_NE(result.err.find("the print system is not running"), std::string::npos) << result.err;
    }
}

TEST_F(PrintingTest, MissingPortIsReported)
{
    // Without our backend in the print system there is neither monitor nor
    // port: the installer stops and adds nothing.
    std::filesystem::remove(daemon.outputFolder() + "/../bin/backend/folyant");
    const auto result = tool(FOLYANT_PRNINSTALL, {});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("is not known to the print system"), std::string::npos) << result.err;
    EXPECT_EQ(tool("lpstat", {"-v"}).out.find("Folyant_Velmo"), std::string::npos);
}

// Other local users are adversaries: what one of them holds, stops or plants
// holds up nobody else's job and reaches nobody else's files. Each test has
// an honest and a hostile throw-away user and prints through the private
// cupsd as they would.
class HostileUserTest : public PrintingTest {
protected:
    void SetUp() override
    {
        PrintingTest::SetUp();
        if (IsSkipped())
            return;
        if (!hostile.exists() || !honest.exists())
            GTEST_SKIP() << "no throw-away users could be made";
        ASSERT_TRUE(install());
        useSettings({});
        for (const test::ThrowAwayUser* account : {&hostile, &honest}) {
            test::writeFile(account->home() + "/job.ps", test::readFile(test::dataFile("cups-testfile.ps")));
            test::writeFile(account->home() + "/endless.ps", "%!PS\nshowpage\n{ 1 pop } loop\n");
            account->own(account->home());
        }
    }
    void useSettings(const std::string& lines, const std::string& outputFolder = "~/PDF")
    {
        test::writeFile(daemon.sysconf() + "/Quorvale/Folyant Velmo.conf",
            test::developmentMachineSettings("OutputFolder=\"" + outputFolder + "\"\n" + lines));
    }
    test::ProcessResult print(
        const test::ThrowAwayUser& account, const std::string& title, const std::string& file)
    {
        return test::runProgram("/usr/sbin/runuser",
            {"-u", account.name(), "--", "/usr/bin/env", "CUPS_SERVER=" + daemon.socket(), "lp", "-d",
                "Folyant_Velmo", "-t", title, account.home() + "/" + file});
    }
    // Waits a bounded time for a PDF that pdfinfo reads: a queue held up by
    // another user's job never delivers it.
    bool arrives(const std::string& pdf)
    {
        for (int i = 0; i < 1200; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
            if (test::fileExists(pdf) && test::pdfPageCount(pdf) > 0)
                return true;
        return false;
    }
    // The process id of the user's running converter, once there is one.
    pid_t converterOf(const test::ThrowAwayUser& account)
    {
        for (int i = 0; i < 600; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
            const std::string found
                = test::runProgram("/usr/bin/pgrep", {"-u", account.name(), "-f", "Folyant_Standard"}).out;
            if (!found.empty())
                return static_cast<pid_t>(std::stol(found));
        }
        return -1;
    }
    // Whether every process of the user has ended, within a bounded wait.
    bool nothingRunsAs(const test::ThrowAwayUser& account)
    {
        for (int i = 0; i < 300; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
            if (test::runProgram("/usr/bin/pgrep", {"-u", account.name()}).out.empty())
                return true;
        return false;
    }
    // What the backend said of the jobs (errors and warnings).
    std::string jobMessages()
    {
        std::string said;
        const std::string log = daemon.errorLog();
        for (std::size_t at = 0; at < log.size();) {
            const std::size_t end = std::min(log.find('\n', at), log.size());
            if ((log[at] == 'E' || log[at] == 'W') && log.find("[Job ", at) < end)
                said += log.substr(at, end - at + 1);
            at = end + 1;
        }
        return said;
    }
    void arm(const test::ThrowAwayUser& account)
    {
        std::filesystem::create_directories(handoff::folderFor(account.home()));
        ASSERT_TRUE(handoff::write(account.home(),
            handoff::Record{0, handoff::currentTickCount(), handoff::spoolPathFor(account.home())}));
        account.own(account.home());
    }

    test::ThrowAwayUser hostile;
    test::ThrowAwayUser honest;
};

// A process of a user that holds an exclusive lock on a file until the test
// ends it, as "flock FILE sleep 1000" would.
class LockHolder {
public:
    LockHolder(const test::ThrowAwayUser& account, const std::string& path)
    {
        const passwd* entry = getpwnam(account.name().c_str());
        int ready[2];
        if (!entry || ::pipe(ready) != 0)
            return;
        const uid_t uid = entry->pw_uid;
        const gid_t gid = entry->pw_gid;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            const int fd = ::setgid(gid) == 0 && ::setuid(uid) == 0
                ? ::open(path.c_str(), O_RDWR | O_CREAT, 0600)
                : -1;
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(ready[1], "x", 1) != 1)
                ::_exit(1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char byte = 0;
        m_holds = m_pid > 0 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
    }
    ~LockHolder()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool holds() const { return m_holds; }

private:
    pid_t m_pid = -1;
    bool m_holds = false;
};

TEST_F(HostileUserTest, LocksAUserHoldsFailOnlyThatUsersJob)
{
    // The hand-off's lock and its spool file, each held for good by their
    // owner, who has armed the hand-off so that the backend needs them.
    for (const std::string lock : {"handoff.lock", "temp.ps"}) {
        SCOPED_TRACE(lock);
        arm(hostile);
        const LockHolder holder(hostile, handoff::folderFor(hostile.home()) + "/" + lock);
        ASSERT_TRUE(holder.holds());
        const std::string title = lock.substr(0, lock.find('.'));
        EXPECT_EQ(print(hostile, "held by " + title, "job.ps").exitCode, 0);
        EXPECT_EQ(print(honest, "behind " + title, "job.ps").exitCode, 0);
        EXPECT_TRUE(arrives(honest.home() + "/PDF/behind " + title + ".pdf")) << jobMessages();
        waitForJobs();
    }
    const std::string log = daemon.errorLog();
    EXPECT_NE(log.find("The hand-off lock in " + handoff::folderFor(hostile.home())
                  + " is held by another program"),
        std::string::npos);
    EXPECT_NE(log.find("is locked by another program"), std::string::npos);
    EXPECT_EQ(tool("lpstat", {"-p", "Folyant_Velmo"}).out.find("disabled"), std::string::npos)
        << "the queue still prints";
}

TEST_F(HostileUserTest, AStoppedConverterEndsAtItsTimeLimitAndWhenCancelled)
{
    useSettings("TimeLimit=3\n");
    ASSERT_EQ(print(hostile, "stopped", "endless.ps").exitCode, 0);
    pid_t converter = converterOf(hostile);
    ASSERT_GT(converter, 0);
    ASSERT_EQ(::kill(converter, SIGSTOP), 0);
    EXPECT_EQ(print(honest, "behind stopped", "job.ps").exitCode, 0);
    EXPECT_TRUE(arrives(honest.home() + "/PDF/behind stopped.pdf")) << jobMessages();
    EXPECT_NE(daemon.errorLog().find("ran past its time limit of 3 seconds"), std::string::npos);

    // Without a time limit, a cancel ends it.
    useSettings("TimeLimit=0\n");
    ASSERT_EQ(print(hostile, "stopped again", "endless.ps").exitCode, 0);
    converter = converterOf(hostile);
    ASSERT_GT(converter, 0);
    ASSERT_EQ(::kill(converter, SIGSTOP), 0);
    EXPECT_EQ(tool("cancel", {"-a", "Folyant_Velmo"}).exitCode, 0);
    waitForJobs();
    EXPECT_TRUE(nothingRunsAs(hostile)) << "nothing of the job is left";
    EXPECT_TRUE(!std::filesystem::exists(hostile.home() + "/PDF")
        || test::filesBelow(hostile.home() + "/PDF").empty());
}

// PDFs named by templates: the machine's for every user, each user's own for
// that user alone, with a counter of each user's.
TEST_F(HostileUserTest, NamesFollowTheMachinesTemplateAndEachUsersOwn)
{
    useSettings("OutputName=\"<User> <Counter>\"\n");
    std::filesystem::create_directories(honest.home() + "/.config/Quorvale");
    test::writeFile(honest.home() + "/.config/Quorvale/Folyant Velmo.conf",
        "[Settings]\nOutputName=\"<Title> #<JobId> from <Host> <Counter>\"\n");
    honest.own(honest.home());
    EXPECT_EQ(print(hostile, "first", "job.ps").exitCode, 0);
    EXPECT_EQ(print(hostile, "second", "job.ps").exitCode, 0);
    EXPECT_EQ(print(honest, "report", "job.ps").exitCode, 0);
    waitForJobs();
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(test::filesBelow(hostile.home() + "/PDF"),
        (std::vector<std::string>{hostile.name() + " 1.pdf", hostile.name() + " 2.pdf"}))
        << jobMessages();
    EXPECT_EQ(test::filesBelow(honest.home() + "/PDF"),
        (std::vector<std::string>{"report #3 from " + std::string(host) + " 1.pdf"}))
        << jobMessages();
    EXPECT_EQ(test::readFile(honest.home() + "/.local/state/folyant/counter"), "1\n");
    struct stat info { };
    ASSERT_EQ(::stat((hostile.home() + "/.local/state/folyant/counter").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, ::getpwnam(hostile.name().c_str())->pw_uid) << "the user's own counter";
}

// The administrator's action after each PDF: run as the job's user on a
// whole PDF only, and whatever it does (fail, hang, be missing) the PDF stays
// and the queue goes on.
TEST_F(HostileUserTest, PostProcessRunsTheMachinesProgramOnEachWholePdf)
{
    TempFolder programs;
    std::filesystem::permissions(programs.path(),
        std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
    test::writeScript(programs.file("record"),
        "printf '%s\\n' \"$#\" \"$1\" \"$(id -un)\" >> \"$HOME/recorded\"\n"
        "echo \"filed $1\" >&2\n");
    test::writeScript(programs.file("fail"), "echo 'the share is offline' >&2\nexit 3\n");
    test::writeScript(programs.file("hang"), "sleep 1000\n");
    for (const char* name : {"record", "fail", "hang"})
        std::filesystem::permissions(programs.file(name),
            std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
            std::filesystem::perm_options::add);
    // A user's own settings cannot name one, for nobody's jobs.
    std::filesystem::create_directories(hostile.home() + "/.config/Quorvale");
    test::writeScript(hostile.home() + "/evil", "touch /tmp/folyant-evil-ran\n");
    test::writeFile(hostile.home() + "/.config/Quorvale/Folyant Velmo.conf",
        "[General]\nPostProcess=" + hostile.home() + "/evil\n[Settings]\nPostProcess=" + hostile.home()
            + "/evil\n");
    test::writeFile(honest.home() + "/broken.ps",
        test::readFile(test::dataFile("derived-error-undefined-acrobat6-p3.ps")));
    honest.own(honest.home());
    hostile.own(hostile.home());
    std::filesystem::remove("/tmp/folyant-evil-ran");

    useSettings("PostProcess=\"" + programs.file("record") + "\"\n");
    EXPECT_EQ(print(honest, "recorded", "job.ps").exitCode, 0);
    EXPECT_EQ(print(honest, "broken", "broken.ps").exitCode, 0);
    EXPECT_EQ(print(hostile, "mine", "job.ps").exitCode, 0);
    waitForJobs();
    const std::string recorded = honest.home() + "/PDF/recorded.pdf";
    EXPECT_EQ(test::readFile(honest.home() + "/recorded"), "1\n" + recorded + "\n" + honest.name() + "\n")
        << "once, for the whole PDF only, as its user" << daemon.errorLog().substr(0, 4000);
    EXPECT_TRUE(test::fileExists(honest.home() + "/PDF/broken (incomplete).pdf"));
    EXPECT_EQ(test::readFile(hostile.home() + "/recorded"),
        "1\n" + hostile.home() + "/PDF/mine.pdf\n" + hostile.name() + "\n");
    EXPECT_FALSE(test::fileExists("/tmp/folyant-evil-ran"));
    std::string log = daemon.errorLog();
    EXPECT_NE(log.find("PostProcess: filed " + recorded), std::string::npos) << log;
    EXPECT_NE(log.find("PostProcess " + programs.file("record") + " ended with status 0"), std::string::npos);

    const struct {
        const char* settings;
        const char* said;
    } failures[] = {
        {"fail", "ended with status 3. The PDF stays."},
        {"missing", "could not be started: No such file or directory. The PDF stays."},
        {"hang", "ran past the time limit of 3 seconds and was ended. The PDF stays."},
    };
    for (const auto& each : failures) {
        SCOPED_TRACE(each.settings);
        useSettings("TimeLimit=3\nPostProcess=\"" + programs.file(each.settings) + "\"\n");
        EXPECT_EQ(print(honest, each.settings, "job.ps").exitCode, 0);
        EXPECT_EQ(print(hostile, std::string("after ") + each.settings, "job.ps").exitCode, 0);
        waitForJobs();
        EXPECT_GT(test::pdfPageCount(honest.home() + "/PDF/" + each.settings + ".pdf"), 0) << jobMessages();
        EXPECT_GT(test::pdfPageCount(hostile.home() + "/PDF/after " + each.settings + ".pdf"), 0);
        EXPECT_NE(jobMessages().find(each.said), std::string::npos) << jobMessages();
    }
    EXPECT_NE(jobMessages().find("PostProcess: the share is offline"), std::string::npos)
        << "a failing program's words, at the print system's usual level";
    EXPECT_TRUE(nothingRunsAs(honest)) << "the hanging program was ended with what it started";
}

TEST_F(HostileUserTest, AMachineWideOutputFolderIsEveryUsersAndEachPdfItsUsers)
{
    TempFolder base;
    std::filesystem::permissions(base.path(),
        std::filesystem::perms::owner_all | std::filesystem::perms::group_read
            | std::filesystem::perms::group_exec | std::filesystem::perms::others_read
            | std::filesystem::perms::others_exec);
    const std::string shared = base.file("srv/pdf");
    useSettings({}, shared);
    // The first job is the hostile user's: the folder must not become theirs.
    for (const test::ThrowAwayUser* account : {&hostile, &honest}) {
        EXPECT_EQ(print(*account, "from " + account->name(), "job.ps").exitCode, 0);
        waitForJobs();
    }
    struct stat info { };
    ASSERT_EQ(::stat(shared.c_str(), &info), 0) << jobMessages();
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(info.st_mode & 07777, 01777u);
    for (const test::ThrowAwayUser* account : {&hostile, &honest}) {
        const std::string pdf = shared + "/from " + account->name() + ".pdf";
        ASSERT_EQ(::stat(pdf.c_str(), &info), 0) << pdf << "\n" << jobMessages();
        EXPECT_EQ(info.st_uid, getpwnam(account->name().c_str())->pw_uid);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_GT(test::pdfPageCount(pdf), 0);
    }

    // Inside a folder other users can write to, nobody could be sure the
    // folder made is the one used: none is made, and the job says why.
    TempFolder open;
    std::filesystem::permissions(
        open.path(), std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
    useSettings({}, open.file("pdf"));
    EXPECT_EQ(print(honest, "refused", "job.ps").exitCode, 0);
    waitForJobs();
    EXPECT_FALSE(std::filesystem::exists(open.file("pdf")));
    EXPECT_NE(jobMessages().find("an administrator must create it"), std::string::npos) << jobMessages();
}

TEST_F(HostileUserTest, SetupToolsRunByAnOrdinaryUserSayTheyNeedRoot)
{
    for (const char* program : {FOLYANT_PRNINSTALL, FOLYANT_PRNREMOVE}) {
        const auto result = test::runProgram("/usr/sbin/runuser",
            {"-u", honest.name(), "--", "/usr/bin/env", "CUPS_SERVER=" + daemon.socket(),
                "FOLYANT_UNATTENDED=1", program});
        EXPECT_EQ(result.exitCode, 1) << program;
        EXPECT_NE(result.err.find(": must be run as root"), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("not"), std::string::npos)
            << "no printer or driver \"not found\": " << result.err;
    }
    EXPECT_NE(tool("lpstat", {"-v"}).out.find("Folyant_Velmo"), std::string::npos) << "nothing was changed";
}

} // namespace
