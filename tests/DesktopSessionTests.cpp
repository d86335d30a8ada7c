// Printing from a desktop session, as its user sees it: a real X server
// (Xvfb), the agent running as a throw-away user, a private cupsd, and the
// dialog driven with xdotool by its window title.
#include "tests/support/CupsDaemon.h"
#include "tests/support/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace folyant;
namespace fs = std::filesystem;

bool eventually(const std::function<bool()>& condition, int seconds = 60)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool hasProgram(const char* name)
{
    return test::runProgram("/bin/sh", {"-c", std::string("command -v ") + name}).exitCode == 0;
}

class DesktopSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "a print system runs its backend as root, and the agent needs its own user";
        if (!hasProgram("Xvfb") || !hasProgram("xdotool"))
            GTEST_SKIP() << "needs xvfb and xdotool (scripts/install-deps.sh)";
        if (!daemon.running())
            GTEST_SKIP() << "cupsd could not be started";
        ASSERT_TRUE(desktopUser.exists() && otherUser.exists()) << "two throw-away users";
        ASSERT_EQ(tool(FOLYANT_PRNINSTALL, {}).exitCode, 0);
        test::writeFile(daemon.sysconf() + "/Quorvale/Folyant Velmo.conf",
            test::developmentMachineSettings("OutputFolder=\"~/PDF\"\n"));

        // A display of our own; -ac lets the desktop user's programs on it.
        screen.setProgram("Xvfb");
        screen.setArguments({"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-ac"});
        screen.start();
        ASSERT_TRUE(screen.waitForStarted());
        ASSERT_TRUE(eventually([&] {
            screen.waitForReadyRead(100);
            return screen.canReadLine();
        })) << "Xvfb said no display number";
        display = ":" + screen.readLine().trimmed().toStdString();

        // The session's runtime folder, as the session manager makes it.
        const passwd* entry = ::getpwnam(desktopUser.name().c_str());
        ASSERT_NE(entry, nullptr);
        runtime = daemon.runtimeRoot() + "/" + std::to_string(entry->pw_uid);
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        desktopUser.own(runtime);
    }
    void TearDown() override
    {
        stopAgent();
        for (QProcess* helper : {&monitor, &bus}) {
            if (helper->state() != QProcess::NotRunning) {
                helper->terminate();
                helper->waitForFinished(5000);
            }
        }
        if (screen.state() != QProcess::NotRunning) {
            screen.terminate();
            screen.waitForFinished(5000);
        }
    }

    void startAgent(const std::string& language, const std::string& busAddress = {})
    {
        stopAgent();
        const std::string home = desktopUser.home();
        agent.setProcessChannelMode(QProcess::MergedChannels);
        agent.setStandardOutputFile(QString::fromStdString(
            std::string(FOLYANT_TEST_ARTEFACTS "/desktop-agent-") + language + ".log"));
        // setpriv starts the agent itself (no session process between), so
        // that it ends by its own process id.
        ASSERT_TRUE(test::startProgram(agent, "/usr/bin/setpriv",
            {"--reuid", desktopUser.name(), "--regid", desktopUser.name(), "--init-groups", "--",
                "/usr/bin/env", "-i", "DISPLAY=" + display, "HOME=" + home, "USER=" + desktopUser.name(),
                "PATH=/usr/bin:/bin", "XDG_CONFIG_HOME=" + home + "/.config", "XDG_RUNTIME_DIR=" + runtime,
                "FOLYANT_RUNTIME_ROOT=" + daemon.runtimeRoot(), "FOLYANT_SYSCONFDIR=" + daemon.sysconf(),
                "FOLYANT_CONVERTER=" FOLYANT_CONVERTER, "LANGUAGE=" + language, "LANG=C.UTF-8",
                "QT_QPA_PLATFORM=xcb", "DBUS_SESSION_BUS_ADDRESS=" + busAddress, FOLYANT_SESSION}));
        ASSERT_TRUE(eventually([&] { return fs::exists(runtime + "/folyant/session.socket"); }, 20))
            << "the agent listens";
    }
    // Runs a program as the desktop user.
    bool startAsDesktopUser(QProcess& process, const std::string& program, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(),
            {"--reuid", desktopUser.name(), "--regid", desktopUser.name(), "--init-groups", "--", program});
        return test::startProgram(process, "/usr/bin/setpriv", arguments);
    }
    void stopAgent()
    {
        if (agent.state() == QProcess::NotRunning)
            return;
        agent.terminate();
        if (!agent.waitForFinished(10000)) {
            agent.kill();
            agent.waitForFinished(5000);
        }
    }

    test::ProcessResult tool(const std::string& program, const std::vector<std::string>& arguments)
    {
        return test::runProgram(program, arguments, {}, daemon.environment());
    }
    // lp as the given user, with a job file of theirs.
    test::ProcessResult print(
        const test::ThrowAwayUser& user, const std::string& job, const std::string& title)
    {
        const std::string copy = user.home() + "/" + fs::path(job).filename().string();
        if (!fs::exists(copy)) {
            fs::copy_file(job, copy);
            user.own(copy);
        }
        return test::runProgram("/usr/sbin/runuser",
            {"-u", user.name(), "--", "/usr/bin/env", "CUPS_SERVER=" + daemon.socket(), "lp", "-d",
                "Folyant_Velmo", "-t", title, copy});
    }
    std::string xdotool(const std::vector<std::string>& arguments)
    {
        return test::runProgram("xdotool", arguments, {}, {{"DISPLAY", display}}).out;
    }
    // The window of that title, visible: its id, or empty.
    std::string window(const std::string& title)
    {
        const std::string found = xdotool({"search", "--onlyvisible", "--name", title});
        return found.substr(0, found.find('\n'));
    }
    void grab(const std::string& name)
    {
        test::runProgram(FOLYANT_SCREEN_GRAB, {std::string(FOLYANT_TEST_ARTEFACTS "/") + name}, {},
            {{"DISPLAY", display}});
    }
    bool jobsDone() { return tool("lpstat", {"-o"}).out.empty(); }
    std::string pdfFolder(const test::ThrowAwayUser& user) { return user.home() + "/PDF"; }
    std::vector<std::string> pdfsOf(const test::ThrowAwayUser& user)
    {
        return fs::exists(pdfFolder(user)) ? test::filesBelow(pdfFolder(user)) : std::vector<std::string>{};
    }

    // Prints as the desktop user, answers the dialog with a name and Enter,
    // and keeps pictures of the dialog and of the converter's progress.
    void saveUnderTypedName(const std::string& language, const std::string& dialogTitle,
        const std::string& title, const std::string& typed)
    {
        const auto printed = print(desktopUser, test::dataFile("acrobat6-win-word-12p.ps"), title);
        ASSERT_EQ(printed.exitCode, 0) << printed.err;
        std::string dialog;
        ASSERT_TRUE(eventually([&] { return !(dialog = window(dialogTitle)).empty(); }))
            << "no window \"" << dialogTitle << "\"\n"
            << daemon.errorLog().substr(0, 3000);
        EXPECT_TRUE(eventually([&] { return jobsDone(); })) << "the print job ends while the dialog is open";
        grab("save-dialog-" + language + ".png");

        xdotool({"windowfocus", "--sync", dialog});
        xdotool({"type", "--delay", "20", typed});
        xdotool({"key", "Return"});
        // The converter's own window, with its progress, while it converts.
        if (eventually([&] { return !window("DU2ROR").empty(); }, 20)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            grab("progress-" + language + ".png");
        }
        const std::string pdf = pdfFolder(desktopUser) + "/" + typed + ".pdf";
        ASSERT_TRUE(eventually([&] { return window("DU2ROR").empty() && test::pdfPageCount(pdf) == 12; }))
            << pdf << "\n"
            << test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-" + language + ".log");
        EXPECT_EQ(test::pagesWithStamp(pdf, 12), 12) << "every page stamped";
        struct stat info { };
        ASSERT_EQ(::stat(pdf.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, ::getpwnam(desktopUser.name().c_str())->pw_uid) << "the user's own file";
    }

    test::CupsDaemon daemon;
    test::ThrowAwayUser desktopUser;
    test::ThrowAwayUser otherUser;
    QProcess screen;
    QProcess agent;
    QProcess bus; // a session bus of the desktop user's
    QProcess monitor; // what goes over it to the notification service
    std::string display;
    std::string runtime;
};

TEST_F(DesktopSessionTest, TheSaveDialogNamesThePdfAndTheQueueNeverWaitsForIt)
{
    startAgent("en");
    saveUnderTypedName("en", "Save as PDF", "Quarterly report", "Mine");

    // While the user thinks about a name, another user's job is printed.
    const auto waiting = print(desktopUser, test::dataFile("cups-testfile.ps"), "Not wanted");
    ASSERT_EQ(waiting.exitCode, 0) << waiting.err;
    std::string dialog;
    ASSERT_TRUE(eventually([&] { return !(dialog = window("Save as PDF")).empty(); }));
    const auto other = print(otherUser, test::dataFile("cups-testfile.ps"), "Other user's job");
    ASSERT_EQ(other.exitCode, 0) << other.err;
    ASSERT_TRUE(eventually([&] { return jobsDone(); })) << daemon.errorLog().substr(0, 3000);
    EXPECT_EQ(pdfsOf(otherUser), std::vector<std::string>{"Other user's job.pdf"})
        << "the other user has no agent: converted unattended, as ever";
    EXPECT_EQ(test::pagesWithStamp(pdfFolder(otherUser) + "/Other user's job.pdf", 1), 1);
    EXPECT_FALSE(window("Save as PDF").empty()) << "the first user's dialog is still open";

    // Cancel writes nothing.
    xdotool({"windowfocus", "--sync", dialog});
    xdotool({"key", "Escape"});
    ASSERT_TRUE(eventually([&] { return window("Save as PDF").empty(); }));
    // Two more jobs at once: one dialog at a time, the second after the first.
    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "Last").exitCode, 0);
    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "Queued").exitCode, 0);
    ASSERT_TRUE(eventually([&] { return jobsDone() && !(dialog = window("Save as PDF")).empty(); }));
    EXPECT_EQ(xdotool({"search", "--onlyvisible", "--name", "Save as PDF"}), dialog + "\n") << "only one";
    xdotool({"windowfocus", "--sync", dialog});
    xdotool({"key", "Return"});
    ASSERT_TRUE(eventually([&] { return test::pdfPageCount(pdfFolder(desktopUser) + "/Last.pdf") == 1; }));
    std::string second;
    ASSERT_TRUE(eventually([&] { return !(second = window("Save as PDF")).empty(); }))
        << "the queued job's turn";
    xdotool({"windowfocus", "--sync", second});
    xdotool({"key", "Return"});
    ASSERT_TRUE(eventually([&] { return test::pdfPageCount(pdfFolder(desktopUser) + "/Queued.pdf") == 1; }));
    // The cancelled job left nothing.
    EXPECT_EQ(pdfsOf(desktopUser), (std::vector<std::string>{"Last.pdf", "Mine.pdf", "Queued.pdf"}));

    // Without its agent, the user's jobs are converted unattended again.
    stopAgent();
    EXPECT_FALSE(fs::exists(runtime + "/folyant/session.socket")) << "the agent takes its socket with it";
    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "No agent").exitCode, 0);
    ASSERT_TRUE(eventually([&] { return jobsDone(); }));
    EXPECT_EQ(test::pdfPageCount(pdfFolder(desktopUser) + "/No agent.pdf"), 1);
}

// A user who asked not to be asked gets the PDF under the job's title, and a
// desktop notice "PDF ready" through the session bus; the notice needs no
// notification service to be running (nothing breaks without one).
TEST_F(DesktopSessionTest, WithoutAskingThePdfIsSavedAndANoticeSaysSo)
{
    if (!hasProgram("dbus-daemon") || !hasProgram("dbus-monitor"))
        GTEST_SKIP() << "needs dbus-daemon and dbus-monitor";
    ASSERT_TRUE(startAsDesktopUser(bus, "dbus-daemon", {"--session", "--nofork", "--print-address=1"}));
    ASSERT_TRUE(eventually(
        [&] {
            bus.waitForReadyRead(100);
            return bus.canReadLine();
        },
        20));
    const std::string address = bus.readLine().trimmed().toStdString();
    const std::string said = FOLYANT_TEST_ARTEFACTS "/desktop-notices.txt";
    monitor.setStandardOutputFile(QString::fromStdString(said));
    ASSERT_TRUE(startAsDesktopUser(
        monitor, "dbus-monitor", {"--address", address, "interface='org.freedesktop.Notifications'"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    fs::create_directories(desktopUser.home() + "/.config/Quorvale");
    const std::string settings = desktopUser.home() + "/.config/Quorvale/folyant-session.conf";
    test::writeFile(settings, "[Settings]\nAskName=0\n");
    desktopUser.own(desktopUser.home() + "/.config");
    startAgent("en", address);
    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "Minutes").exitCode, 0);
    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "Minutes").exitCode, 0);
    const std::string first = pdfFolder(desktopUser) + "/Minutes.pdf";
    const std::string second = pdfFolder(desktopUser) + "/Minutes (2).pdf";
    ASSERT_TRUE(eventually([&] { return test::pdfPageCount(first) == 1 && test::pdfPageCount(second) == 1; }))
        << test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-en.log");
    EXPECT_EQ(test::pagesWithStamp(first, 1), 1);
    EXPECT_TRUE(window("Save as PDF").empty()) << "nobody was asked";
    ASSERT_TRUE(eventually([&] { return test::readFile(said).find(second) != std::string::npos; }, 20))
        << test::readFile(said);
    const std::string notices = test::readFile(said);
    EXPECT_NE(notices.find("member=Notify"), std::string::npos) << notices;
    EXPECT_NE(notices.find("string \"PDF ready\""), std::string::npos) << notices;
    EXPECT_NE(notices.find("string \"" + first + "\""), std::string::npos) << notices;
    EXPECT_EQ(agent.state(), QProcess::Running) << "no notification service, and the agent goes on";
}

// The administrator's action runs on the PDF the agent saved, as the desktop
// user, and what it did is in the agent's log; the settings dialog offers the
// name template the PDF was named by.
TEST_F(DesktopSessionTest, TheMachinesActionRunsOnTheAgentsPdfAsItsUser)
{
    const std::string home = desktopUser.home();
    test::writeScript(home + "/file-away",
        "id -un > \"$HOME/filed-by\"\necho \"$1\" >> \"$HOME/filed\"\n"
        "echo \"filed $1\" >&2\n");
    desktopUser.own(home + "/file-away");
    test::writeFile(daemon.sysconf() + "/Quorvale/Folyant Velmo.conf",
        test::developmentMachineSettings(
            "OutputFolder=\"~/PDF\"\nOutputName=\"<User> <Title>\"\nPostProcess=\"" + home
            + "/file-away\"\n"));
    fs::create_directories(home + "/.config/Quorvale");
    test::writeFile(home + "/.config/Quorvale/folyant-session.conf", "[Settings]\nAskName=0\n");
    desktopUser.own(home + "/.config");
    startAgent("en");
    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "Minutes").exitCode, 0);
    const std::string pdf = pdfFolder(desktopUser) + "/" + desktopUser.name() + " Minutes.pdf";
    ASSERT_TRUE(eventually([&] { return test::readFile(home + "/filed") == pdf + "\n"; }))
        << test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-en.log");
    EXPECT_EQ(test::readFile(home + "/filed-by"), desktopUser.name() + "\n");
    EXPECT_EQ(test::pagesWithStamp(pdf, 1), 1);
    ASSERT_TRUE(eventually([&] {
        return test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-en.log")
                   .find("file-away ended with status 0")
            != std::string::npos;
    }));
    EXPECT_NE(test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-en.log")
                  .find("INFO: PostProcess: filed " + pdf),
        std::string::npos);

    QProcess settings;
    ASSERT_TRUE(startAsDesktopUser(settings, "/usr/bin/env",
        {"DISPLAY=" + display, "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
            "FOLYANT_SYSCONFDIR=" + daemon.sysconf(), "LANGUAGE=en", "LANG=C.UTF-8", "QT_QPA_PLATFORM=xcb",
            FOLYANT_SESSION, "--settings"}));
    std::string dialog;
    ASSERT_TRUE(eventually([&] { return !(dialog = window("Folyant Velmo Print Settings")).empty(); }, 20));
    grab("settings-dialog-en.png");
    xdotool({"windowfocus", "--sync", dialog});
    xdotool({"key", "Escape"});
    EXPECT_TRUE(settings.waitForFinished(10000));
}

// Cancelling in the converter's own window is the user's choice, not a
// failure: no notice says one, nothing is saved or given to the machine's
// action, and the next job is asked for as ever.
TEST_F(DesktopSessionTest, ACancelInTheConvertersWindowIsNoFailure)
{
    const std::string home = desktopUser.home();
    test::writeScript(home + "/file-away", "echo \"$1\" >> \"$HOME/filed\"\n");
    desktopUser.own(home + "/file-away");
    test::writeFile(daemon.sysconf() + "/Quorvale/Folyant Velmo.conf",
        test::developmentMachineSettings("OutputFolder=\"~/PDF\"\nPostProcess=\"" + home + "/file-away\"\n"));
    // Long enough to be cancelled while it converts.
    test::TempFolder jobs;
    std::string longJob = "%!PS-Adobe-3.0\n%%Pages: 4000\n%%EndComments\n";
    for (int page = 1; page <= 4000; ++page) {
        longJob += "%%Page: " + std::to_string(page) + " " + std::to_string(page)
            + "\n/Times-Roman findfont 24 scalefont setfont\n";
        for (int line = 700; line > 100; line -= 30)
            longJob += "72 " + std::to_string(line) + " moveto (A line of a long job) show\n";
        longJob += "showpage\n";
    }
    test::writeFile(jobs.file("long.ps"), longJob + "%%EOF\n");
    startAgent("en");
    ASSERT_EQ(print(desktopUser, jobs.file("long.ps"), "Long").exitCode, 0);
    std::string dialog;
    ASSERT_TRUE(eventually([&] { return !(dialog = window("Save as PDF")).empty(); }));
    xdotool({"windowfocus", "--sync", dialog});
    xdotool({"key", "Return"});
    std::string progress;
    ASSERT_TRUE(eventually([&] { return !(progress = window("DU2ROR")).empty(); }, 20));
    xdotool({"windowfocus", "--sync", progress});
    xdotool({"key", "Escape"});
    ASSERT_TRUE(eventually([&] { return window("DU2ROR").empty(); }));

    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "After").exitCode, 0);
    ASSERT_TRUE(eventually([&] { return !(dialog = window("Save as PDF")).empty(); }));
    xdotool({"windowfocus", "--sync", dialog});
    xdotool({"key", "Return"});
    ASSERT_TRUE(eventually([&] {
        return test::readFile(home + "/filed") == pdfFolder(desktopUser) + "/After.pdf\n";
    })) << test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-en.log");
    EXPECT_EQ(pdfsOf(desktopUser), std::vector<std::string>{"After.pdf"}) << "the cancelled job left nothing";
    const std::string log = test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-en.log");
    EXPECT_EQ(log.find("No PDF was made"), std::string::npos) << log;
}

TEST_F(DesktopSessionTest, TheDialogsSpeakKorean)
{
    startAgent("ko");
    saveUnderTypedName("ko", "PDF로 저장", "분기 보고서", "report");

    // The session ends while a dialog asks: the job the printer counted as
    // done is saved under its title all the same, not lost with the agent.
    ASSERT_EQ(print(desktopUser, test::dataFile("cups-testfile.ps"), "회의록").exitCode, 0);
    ASSERT_TRUE(eventually([&] { return !window("PDF로 저장").empty(); }));
    stopAgent();
    EXPECT_TRUE(eventually([&] { return test::pdfPageCount(pdfFolder(desktopUser) + "/회의록.pdf") == 1; }))
        << test::readFile(FOLYANT_TEST_ARTEFACTS "/desktop-agent-ko.log");
}

} // namespace
