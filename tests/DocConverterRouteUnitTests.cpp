// The routes' rules without a print system: the route table, the spool wait
// with a stand-in printing program and a clock that does not sleep, and the
// font list repair in a private font folder.
#include "docconverter/core/FontListRepair.h"
#include "docconverter/core/PrintRoutes.h"
#include "installation/Handoff.h"
#include "platform/Process.h"
#include "platform/WordProcessorFonts.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace folyant;
using namespace folyant::docconverter;
using folyant::test::TempFolder;

namespace {

TEST(RouteTable, LastFourCharactersInLowerCase)
{
    const std::pair<const char*, Route> cases[] = {
        {"/d/Report.DOC", Route::WordAutomation},
        {"/d/a.rtf", Route::WordAutomation},
        {"/d/Sheet.Xls", Route::ExcelAutomation},
        {"/d/show.ppt", Route::PrintTo},
        {"/d/x.hwd", Route::PrintTo},
        {"/d/notes.txt", Route::ShellPrint},
        {"/d/modern.docx", Route::ShellPrint},
        {"doc", Route::ShellPrint},
        {".ppt", Route::PrintTo},
    };
    for (const auto& [document, route] : cases)
        EXPECT_EQ(routeFor(document, ""), route) << document;
    EXPECT_EQ(routeFor("/d/a.hwp", ""), Route::HwpShellPrint);
    EXPECT_EQ(routeFor("/d/a.hwp", "   "), Route::HwpShellPrint) << "blanks are no viewer";
    EXPECT_EQ(routeFor("/d/a.HWP", "/opt/HwpView"), Route::HwpViewer);

    // Only the routes that cannot name a printer switch the user's default.
    for (const Route route :
        {Route::WordAutomation, Route::ExcelAutomation, Route::PrintTo, Route::HwpShellPrint})
        EXPECT_FALSE(printsToDefault(route));
    for (const Route route : {Route::HwpViewer, Route::ShellPrint})
        EXPECT_TRUE(printsToDefault(route));
}

class NoFonts final : public WordProcessorFonts {
public:
    std::optional<std::string> fontPath(std::size_t) const override { return std::nullopt; }
};

class SpoolWait : public ::testing::Test {
protected:
    RouteContext context()
    {
        return RouteContext{folder.path(), "", "", fonts, messages, [this] { return cancel; },
            WaitClock{[this](int milliseconds) {
                          slept += milliseconds;
                          ++sleeps;
                          if (onSleep)
                              onSleep();
                      },
                {}}};
    }
    // A stand-in printing program that stays until it is ended.
    pid_t stubbornPrinter()
    {
        int error = 0;
        return process::start({"/bin/sleep", {"sleep", "600"}, std::nullopt, -1}, error);
    }
    static bool running(pid_t pid) { return ::kill(pid, 0) == 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

    TempFolder folder;
    NoFonts fonts;
    test::RecordingMessageBox messages;
    std::string spool() const { return handoff::spoolPathFor(folder.path()); }
    bool cancel = false;
    long slept = 0;
    int sleeps = 0;
    std::function<void()> onSleep;
};

TEST_F(SpoolWait, AProgramThatNeverPrintsIsEndedAfter181Polls)
{
    std::filesystem::create_directories(handoff::folderFor(folder.path()));
    const pid_t printer = stubbornPrinter();
    WaitForSpoolFile(spool(), printer, context());
    EXPECT_EQ(sleeps, 181) << "polls 0 to 180 sleep, the one above 180 gives up";
    EXPECT_EQ(slept, 181000);
    EXPECT_FALSE(running(printer)) << "the printing program was ended";
}

TEST_F(SpoolWait, ALockedFileIsWaitedForToTheLastPoll)
{
    std::filesystem::create_directories(handoff::folderFor(folder.path()));
    test::writeFile(spool(), "%!PS\n");
    const int writer = ::open(spool().c_str(), O_RDONLY);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    const pid_t printer = stubbornPrinter();
    WaitForSpoolFile(spool(), printer, context());
    EXPECT_EQ(sleeps, 1200) << "a file that stays locked is waited for as long as the polls last";
    EXPECT_FALSE(running(printer));
    ::close(writer);
}

TEST_F(SpoolWait, ACompleteFileEndsTheWaitAndThePrinterMayStay)
{
    std::filesystem::create_directories(handoff::folderFor(folder.path()));
    // The backend finishes the job during the fifth poll.
    onSleep = [this] {
        if (sleeps == 5)
            test::writeFile(spool(), "%!PS\nshowpage\n%%EOF\n");
    };
    const pid_t printer = stubbornPrinter();
    WaitForSpoolFile(spool(), printer, context());
    EXPECT_EQ(sleeps, 6) << "five polls, then the 300 ms to settle";
    EXPECT_EQ(slept, 5300);
    EXPECT_TRUE(running(printer)) << "given its ten seconds to end, and not ended after a successful wait";
    process::terminate(printer, 1000);
}

TEST_F(SpoolWait, TheRealClockEndsAPollWhenTheBackendClosesTheFile)
{
    std::filesystem::create_directories(handoff::folderFor(folder.path()));
    // The backend's side: the job written under its lock, closed while the
    // wait watches the folder.
    const int writer = ::open(spool().c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    ASSERT_EQ(::write(writer, "%!PS\n%%EOF\n", 11), 11);
    RouteContext watching = context();
    int watches = 0;
    std::thread backend;
    watching.clock.watch = [&](int, const std::string& watched, const std::function<bool()>& ready) {
        ++watches;
        backend = std::thread([writer] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ::close(writer);
        });
        // Far longer than a poll: only the close can end it in good time.
        return WaitClock::real().watch(3600000, watched, ready);
    };
    EXPECT_TRUE(pollSpoolFile(spool(), watching, [] { return true; }));
    backend.join();
    EXPECT_EQ(watches, 1) << "the first poll's wait ended with the file complete";
    EXPECT_EQ(sleeps, 0);
}

TEST_F(SpoolWait, AKilledPrinterAndAMissingOneEndTheWait)
{
    std::filesystem::create_directories(handoff::folderFor(folder.path()));
    WaitForSpoolFile(spool(), -1, context());
    EXPECT_EQ(sleeps, 0) << "no process to wait for: back at once";

    // A printing program that has ended with no job of the user's in the
    // queue printed nothing, and nothing will come: no 181 polls for it.
    // (The test's clock does not sleep: each program has ended, uncollected,
    // before the wait starts.)
    const auto ended = [](pid_t pid) {
        siginfo_t info{};
        ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
        return pid;
    };
    const pid_t printer = stubbornPrinter();
    ::kill(printer, SIGKILL);
    WaitForSpoolFile(spool(), ended(printer), context());
    EXPECT_EQ(sleeps, 0) << "a dead printer without a job ends the wait at once";
    int error = 0;
    const pid_t quitter = process::start({"/bin/true", {"true"}, std::nullopt, -1}, error);
    WaitForSpoolFile(spool(), ended(quitter), context());
    EXPECT_EQ(sleeps, 0) << "a printer that exits at once is not waited for three minutes";
    EXPECT_NE(::kill(quitter, 0), 0) << "and it was collected";

    sleeps = 0;
    cancel = true;
    WaitForSpoolFile(spool(), stubbornPrinter(), context());
    EXPECT_EQ(sleeps, 0) << "a job being ended does not wait";
}

TEST_F(SpoolWait, AWatchedViewerIsWaitedForWithoutALimit)
{
    // A viewer that takes longer than the limit, then says it has ended.
    const std::string viewer = folder.file("HwpView");
    test::writeScript(viewer, "sleep 1\necho ended >> \"" + folder.file("viewer.log") + "\"\n");
    for (const bool attended : {false, true}) {
        SCOPED_TRACE(attended ? "attended" : "unattended");
        std::filesystem::remove(folder.file("viewer.log"));
        RouteContext limited = context();
        limited.hwpViewerPath = viewer;
        limited.programLimitMilliseconds = 100;
        limited.attended = attended;
        printThrough(Route::HwpViewer, limited, folder.file("a.hwp"), folder.file("a.pdf"),
            folder.file("a.tmp"), std::time(nullptr));
        EXPECT_EQ(test::fileExists(folder.file("viewer.log")), attended)
            << "a viewer someone watches runs to its end; an unattended run keeps the limit";
        EXPECT_EQ(handoff::read(folder.path()).value_or(handoff::Record{}).askName, 1)
            << "the hand-off ended";
    }
}

class FontRepair : public ::testing::Test {
protected:
    FontRepair()
    {
        std::filesystem::create_directories(settings.file("HNC"));
        std::filesystem::create_directories(fontFolder.file("fonts"));
        test::writeFile(lib.file("FontList.lst"), "ours\n");
    }
    void setFontPath(const std::string& path)
    {
        test::writeFile(settings.file("HNC/Shared.conf"), "[Fonts]\nFont Path=\"" + path + "\"\n");
    }
    TempFolder settings;
    TempFolder fontFolder;
    TempFolder lib;
    IniWordProcessorFonts fonts{settings.file("HNC/Shared.conf")};
};

TEST_F(FontRepair, BackupReplaceAndRestore)
{
    const std::string prefix = fontFolder.file("fonts/");
    setFontPath(prefix);
    test::writeFile(prefix + "FontList.lst", "the user's\n");
    // 14 March 2005, 09:30:05 local time.
    std::tm when{};
    when.tm_year = 105;
    when.tm_mon = 2;
    when.tm_mday = 14;
    when.tm_hour = 9;
    when.tm_min = 30;
    when.tm_sec = 5;
    when.tm_isdst = -1;
    const std::time_t now = std::mktime(&when);

    FontListRepair repair(fonts, lib.path());
    repair.ReplaceFontList(now);
    ASSERT_TRUE(repair.isActive());
    EXPECT_EQ(repair.backup(), prefix + "FontList_050314093005.bak");
    EXPECT_EQ(test::readFile(prefix + "FontList.lst"), "ours\n");
    EXPECT_EQ(test::readFile(repair.backup()), "the user's\n");

    // A second repair in the same second takes the same name; it never
    // writes over the first one's backup, which holds the user's list, and
    // so leaves the list alone.
    FontListRepair second(fonts, lib.path());
    second.ReplaceFontList(now);
    EXPECT_EQ(second.backup(), repair.backup());
    EXPECT_FALSE(second.isActive());
    EXPECT_EQ(test::readFile(repair.backup()), "the user's\n");
    second.RestoreFontList();

    repair.RestoreFontList();
    EXPECT_FALSE(test::fileExists(prefix + "FontList_050314093005.bak"));
    EXPECT_FALSE(repair.isActive());
    EXPECT_EQ(test::readFile(prefix + "FontList.lst"), "the user's\n") << "the user's list, whole";
}

TEST_F(FontRepair, TheInstalledListIsUsedAndPutBackOnEveryPathOut)
{
    const std::string prefix = fontFolder.file("fonts/");
    setFontPath(prefix);
    test::writeFile(prefix + "FontList.lst", "the user's\n");
    const std::string installed = test::readFile(std::string(FOLYANT_DEV_LIB) + "/FontList.lst");
    ASSERT_FALSE(installed.empty()) << "the installation has a list of its own";
    {
        FontListRepair repair(fonts, FOLYANT_DEV_LIB);
        repair.ReplaceFontList(std::time(nullptr));
        EXPECT_EQ(test::readFile(prefix + "FontList.lst"), installed);
        // Left without RestoreFontList: an early return, an exception, a
        // job ended by a signal.
    }
    EXPECT_EQ(test::readFile(prefix + "FontList.lst"), "the user's\n");
    for (const std::string& name : test::filesBelow(fontFolder.file("fonts")))
        EXPECT_EQ(name, "FontList.lst") << "no backup or partial copy is left";
}

TEST_F(FontRepair, OddFoldersAndMissingLists)
{
    // Without a trailing separator the folder's last part runs into the name.
    setFontPath(fontFolder.file("fonts"));
    test::writeFile(fontFolder.file("fontsFontList.lst"), "joined\n");
    FontListRepair joined(fonts, lib.path());
    joined.ReplaceFontList(std::time(nullptr));
    EXPECT_EQ(joined.userList(), fontFolder.file("fontsFontList.lst"));
    EXPECT_EQ(test::readFile(fontFolder.file("fontsFontList.lst")), "ours\n");
    joined.RestoreFontList();
    EXPECT_EQ(test::readFile(fontFolder.file("fontsFontList.lst")), "joined\n");

    // No list of ours: the backup is made, the user's list stays, and comes back unchanged.
    const std::string prefix = fontFolder.file("fonts/");
    setFontPath(prefix);
    test::writeFile(prefix + "FontList.lst", "the user's\n");
    FontListRepair withoutOurs(fonts, fontFolder.file("no-lib"));
    withoutOurs.ReplaceFontList(std::time(nullptr));
    EXPECT_EQ(test::readFile(prefix + "FontList.lst"), "the user's\n");
    withoutOurs.RestoreFontList();
    EXPECT_EQ(test::readFile(prefix + "FontList.lst"), "the user's\n");

    // No user list: ours is copied in and stays, as there is no backup to restore.
    std::filesystem::remove(prefix + "FontList.lst");
    FontListRepair withoutTheirs(fonts, lib.path());
    withoutTheirs.ReplaceFontList(std::time(nullptr));
    withoutTheirs.RestoreFontList();
    EXPECT_EQ(test::readFile(prefix + "FontList.lst"), "ours\n");

    // No word processor: nothing happens.
    std::filesystem::remove(settings.file("HNC/Shared.conf"));
    FontListRepair none(fonts, lib.path());
    none.ReplaceFontList(std::time(nullptr));
    EXPECT_FALSE(none.isActive());
}

} // namespace
