// The stand-ins for the Windows interfaces, on real files and variables.
#include "installation/Handoff.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "platform/FileIo.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Process.h"
#include "platform/Session.h"
#include "platform/UserProfile.h"
#include "platform/qt/QtMessageBox.h"
#include "tests/support/TestSupport.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <limits>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(MachineSettings, LocationFollowsSysconfdir)
{
    {
        ScopedEnv env("FOLYANT_SYSCONFDIR", "/opt/etc");
        EXPECT_EQ(IniMachineSettings::defaultPath(), "/opt/etc/Quorvale/Folyant Velmo.conf");
    }
    ScopedEnv env("FOLYANT_SYSCONFDIR", nullptr);
    // An installation finds what its own install step wrote, wherever its prefix.
    EXPECT_EQ(IniMachineSettings::defaultPath(), FOLYANT_INSTALLED_SYSCONFDIR "/Quorvale/Folyant Velmo.conf");
}

TEST(MachineSettings, ValuesSurviveAWriteAndARead)
{
    TempFolder folder;
    IniMachineSettings settings(folder.file("Quorvale/Folyant Velmo.conf"));
    EXPECT_FALSE(settings.isAvailable());
    EXPECT_EQ(settings.readString("GSLibPath", 512), std::nullopt);

    const std::string awkward = "/opt/폴더 with blanks, commas; \"quotes\" and \\ back=slash";
    ASSERT_TRUE(settings.writeString("GSLibPath", awkward));
    ASSERT_TRUE(settings.writeInt("Ask Name", 0));
    ASSERT_TRUE(settings.writeInt("Tick Count", 123456));

    const IniMachineSettings reread(settings.path());
    EXPECT_TRUE(reread.isAvailable());
    EXPECT_EQ(reread.readString("GSLibPath", 512), awkward);
    EXPECT_EQ(reread.readInt("Ask Name"), 0);
    EXPECT_EQ(reread.readInt("Tick Count"), 123456);
    EXPECT_EQ(reread.readInt("GSLibPath"), std::nullopt);
    EXPECT_EQ(reread.readString("GSLibPath", awkward.size()), std::nullopt) << "no room for the terminator";
}

TEST(MachineSettings, EncryptionIsRc4UnlessTheMachineSaysAes256)
{
    TempFolder folder;
    IniMachineSettings settings(folder.file("Quorvale/Folyant Velmo.conf"));
    EXPECT_EQ(protectionEncryption(settings), "RC4-40") << "no settings at all";
    const std::pair<const char*, const char*> cases[] = {{"AES256", "AES256"}, {"aes256", "AES256"},
        {"RC4-40", "RC4-40"}, {"", "RC4-40"}, {"AES-256", "RC4-40"}, {"AES128", "RC4-40"}};
    for (const auto& [value, expected] : cases) {
        ASSERT_TRUE(settings.writeString("Encryption", value));
        EXPECT_EQ(protectionEncryption(IniMachineSettings(settings.path())), expected) << value;
    }
}

// The settings files are read and written without Qt, but earlier versions,
// the installer and users wrote them with QSettings: both must read the
// other's files alike, awkward values and keys included.
TEST(IniFile, ReadsAndWritesWhatQSettingsDoes)
{
    TempFolder folder;
    const std::string path = folder.file("written.conf");
    const std::vector<std::pair<std::string, std::string>> values = {
        {"GSLibPath", "/opt/폴더 with blanks, commas; \"quotes\" and \\ back=slash"},
        {"Font Path", " leading and trailing "},
        {"Tabs", "one\ttwo\nthree\x01four"},
        {"At", "@sign first"},
        {"Empty", ""},
        {"키 이름", "한국어 값"},
        {"Beyond the plane 😀", "😀 too"},
        {"Number", "-42"},
    };
    {
        QSettings qt(QString::fromStdString(path), QSettings::IniFormat);
        for (const auto& [key, value] : values) {
            qt.setValue(QString::fromStdString(key), QString::fromStdString(value));
            qt.setValue(
                QStringLiteral("Settings/") + QString::fromStdString(key), QString::fromStdString(value));
        }
        qt.setValue(QStringLiteral("Settings/Count"), 7);
    }
    for (const auto& [key, value] : values) {
        EXPECT_EQ(ini::read(path, {}, key), value) << key;
        EXPECT_EQ(ini::read(path, "Settings", key), value) << key;
    }
    EXPECT_EQ(ini::readNumber(path, "Settings", "Count"), 7);
    EXPECT_EQ(ini::readNumber(path, {}, "Number"), -42);
    EXPECT_EQ(ini::read(path, "Settings", "Absent"), std::nullopt);

    // Written by us over QSettings' file: every value, old and new, reads
    // back through QSettings.
    ASSERT_TRUE(ini::write(path, "Settings", {{"Count", "8"}, {"New Key", "a=b;c,d"}}));
    ASSERT_TRUE(ini::write(path, "Fonts", {{"Font Path", "/usr/share/fonts/ 글꼴"}}));
    const std::string fresh = folder.file("ours.conf");
    for (const auto& [key, value] : values)
        ASSERT_TRUE(ini::write(fresh, "Settings", {{key, value}}));
    QSettings mixed(QString::fromStdString(path), QSettings::IniFormat);
    QSettings ours(QString::fromStdString(fresh), QSettings::IniFormat);
    for (const auto& [key, value] : values) {
        const QString name = QString::fromStdString(key);
        EXPECT_EQ(mixed.value(name).toString().toStdString(), value) << key;
        EXPECT_EQ(ours.value(QStringLiteral("Settings/") + name).toString().toStdString(), value) << key;
    }
    EXPECT_EQ(mixed.value(QStringLiteral("Settings/Count")).toInt(), 8);
    EXPECT_EQ(mixed.value(QStringLiteral("Settings/New Key")).toString(), QStringLiteral("a=b;c,d"));
    EXPECT_EQ(
        mixed.value(QStringLiteral("Fonts/Font Path")).toString(), QStringLiteral("/usr/share/fonts/ 글꼴"));
}

TEST(IniFile, AWriteKeepsTheRestOfTheFileAndFailsWithoutHarm)
{
    TempFolder folder;
    const std::string path = folder.file("hand.conf");
    test::writeFile(path, "; written by hand\n[General]\nGSLibPath=\"/a\"\n\n[Other]\nKeep=this\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(ini::write(path, {}, {{"GSLibPath", "/b"}, {"GSFontPath", "/c"}}));
    EXPECT_EQ(test::readFile(path),
        "; written by hand\n[General]\nGSLibPath=/b\nGSFontPath=/c\n\n[Other]\nKeep=this\n");
    struct stat info { };
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the file keeps its mode";
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"hand.conf"})
        << "no temporary file left";

    // Through a symbolic link, the file it names is changed, not the link.
    const std::string link = folder.file("link.conf");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(ini::write(link, "Other", {{"Keep", "that"}}));
    EXPECT_EQ(ini::read(path, "Other", "Keep"), "that");
    struct stat linkInfo { };
    ASSERT_EQ(::lstat(link.c_str(), &linkInfo), 0);
    EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));

    // Something that cannot be read is never replaced by the new values alone.
    const std::string notAFile = folder.file("folder.conf");
    std::filesystem::create_directory(notAFile);
    EXPECT_FALSE(ini::write(notAFile, {}, {{"GSLibPath", "/x"}}));
    EXPECT_TRUE(std::filesystem::is_directory(notAFile));
}

// A full disk, a read error or a refused rename while settings are saved or
// a job is handed over is said, and what was there before stays whole.
TEST(FileFaults, AreSaidAndLeaveTheOldFileWhole)
{
    TempFolder folder;
    const std::string settings = folder.file("user.conf");
    ASSERT_TRUE(ini::write(settings, "Settings", {{"Quality", "1"}}));
    const std::string before = test::readFile(settings);
    for (const auto& [operation, error] : {std::pair{io::Operation::Write, ENOSPC},
             std::pair{io::Operation::Write, EIO}, std::pair{io::Operation::Rename, EACCES}}) {
        io::failAt(operation, 1, error);
        EXPECT_FALSE(ini::write(settings, "Settings", {{"Quality", "2"}})) << error;
        io::failAt(operation, 0, 0);
        EXPECT_EQ(test::readFile(settings), before) << error;
        EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"user.conf"}) << error;
    }

    // The job arrives whole or not at all: a read error is no end of input.
    const std::string job = folder.file("job.ps");
    test::writeFile(job, std::string(200000, 'x'));
    const std::string spool = folder.file("temp.ps");
    for (const auto& [operation, expected] : {std::pair{io::Operation::Read, handoff::SpoolWrite::ReadFailed},
             std::pair{io::Operation::Write, handoff::SpoolWrite::WriteFailed}}) {
        const int input = ::open(job.c_str(), O_RDONLY | O_CLOEXEC);
        io::failAt(operation, 2, EIO);
        EXPECT_EQ(handoff::writeSpoolFile(input, spool, [] { return false; }), expected);
        io::failAt(operation, 0, 0);
        ::close(input);
        if (operation == io::Operation::Read) {
            EXPECT_EQ(test::readFile(spool), "") << "nothing of half a job is handed over";
        }
    }
}

TEST(MachineSettings, TheDevelopmentInstallationNamesRealFolders)
{
    const IniMachineSettings settings(std::string(FOLYANT_DEV_SYSCONF) + "/Quorvale/Folyant Velmo.conf");
    const auto lib = settings.readString("GSLibPath", 65535);
    const auto fonts = settings.readString("GSFontPath", 65535);
    ASSERT_TRUE(lib && fonts);
    EXPECT_TRUE(test::fileExists(*lib + "/zev.ps"));
    std::string resource = *fonts;
    resource.replace(resource.rfind("fonts"), 5, "Resource/");
    EXPECT_TRUE(test::fileExists(resource + "CMap/KSC-EUC-H")) << resource;
}

TEST(MachineSettings, UnwritableSettingsReportFailure)
{
    // A file where the folder should be stops root as well as anyone.
    TempFolder folder;
    test::writeFile(folder.file("Quorvale"), "not a folder");
    IniMachineSettings settings(folder.file("Quorvale/Folyant Velmo.conf"));
    EXPECT_FALSE(settings.writeString("GSLibPath", "/x"));
    EXPECT_FALSE(settings.writeInt("Ask Name", 1));
}

TEST(UserProfile, LivesInXdgConfigHomeUnderSettings)
{
    TempFolder folder;
    ScopedEnv env("XDG_CONFIG_HOME", folder.path().c_str());
    IniUserProfile profile("Folyant_Standard");
    EXPECT_EQ(profile.path(), folder.file("Quorvale/Folyant_Standard.conf"));
    EXPECT_EQ(profile.getInt("Quality", 1), 1);
    ASSERT_TRUE(profile.writeInt("Quality", 2));
    EXPECT_EQ(IniUserProfile("Folyant_Standard").getInt("Quality", 1), 2);
    EXPECT_NE(test::readFile(profile.path()).find("[Settings]"), std::string::npos);

    test::writeFile(profile.path(), "[Settings]\nQuality=high\n");
    EXPECT_EQ(IniUserProfile("Folyant_Standard").getInt("Quality", 1), 1) << "garbage reads as absent";
}

TEST(UserProfile, RelativeXdgConfigHomeIsIgnored)
{
    ScopedEnv env("XDG_CONFIG_HOME", "relative/config");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(folders::userConfigFolder(), "/home/someone/.config");
}

TEST(Folders, SplitPaths)
{
    EXPECT_EQ(folders::folderOf("/a/b/c.pdf"), "/a/b");
    EXPECT_EQ(folders::folderOf("/c.pdf"), "/");
    EXPECT_EQ(folders::folderOf("c.pdf"), ".");
    EXPECT_EQ(folders::fileNameOf("/a/b/c.pdf"), "c.pdf");
    EXPECT_EQ(folders::fileNameOf("c.pdf"), "c.pdf");
    EXPECT_EQ(folders::titleOf("/a/report.v2.ps"), "report.v2");
    EXPECT_EQ(folders::titleOf("/a/.hidden"), ".hidden");
}

TEST(Session, UnattendedByFlagOrMissingDisplay)
{
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    {
        ScopedEnv flag("FOLYANT_UNATTENDED", "1");
        ScopedEnv display("DISPLAY", ":0");
        EXPECT_TRUE(session::isUnattended());
    }
    {
        ScopedEnv flag("FOLYANT_UNATTENDED", nullptr);
        ScopedEnv display("DISPLAY", ":0");
        EXPECT_FALSE(session::isUnattended());
    }
    ScopedEnv flag("FOLYANT_UNATTENDED", "0");
    ScopedEnv display("DISPLAY", nullptr);
    EXPECT_TRUE(session::isUnattended());
}

TEST(MessageBox, UnattendedWritesToStandardErrorAndTakesTheDefault)
{
    TempFolder folder;
    const std::string captured = folder.file("stderr");
    const int saved = dup(STDERR_FILENO);
    const int file = ::open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, STDERR_FILENO);
    QtMessageBox messages("Folyant_Standard", true);
    const auto answer = messages.show(
        "Invalid Installation.", MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::No, {});
    dup2(saved, STDERR_FILENO);
    ::close(file);
    ::close(saved);
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_EQ(test::readFile(captured), "Folyant_Standard: Invalid Installation.\n");
}

TEST(InstallationFolders, EachFailureShowsItsOwnBox)
{
    test::TempFolder folder;
    const std::string path = folder.file("Quorvale/Folyant Velmo.conf");

    test::RecordingMessageBox messages;
    InstallationFolders folders = readInstallationFolders(IniMachineSettings(path), messages);
    EXPECT_EQ(messages.texts, std::vector<std::string>(3, "Invalid Installation."));
    EXPECT_EQ(folders.libFolder, "");

    IniMachineSettings settings(path);
    ASSERT_TRUE(settings.writeString("GSLibPath", "/opt/lib, with a comma"));
    messages.texts.clear();
    folders = readInstallationFolders(settings, messages);
    EXPECT_EQ(messages.texts, std::vector<std::string>(1, "Invalid Installation."));
    EXPECT_EQ(folders.libFolder, "/opt/lib, with a comma");

    ASSERT_TRUE(settings.writeString("GSFontPath", std::string(65534, 'f')));
    messages.texts.clear();
    folders = readInstallationFolders(settings, messages);
    EXPECT_EQ(messages.texts.size(), 0u);
    EXPECT_EQ(folders.fontFolder.size(), 65534u);

    ASSERT_TRUE(settings.writeString("GSFontPath", std::string(65535, 'f')));
    folders = readInstallationFolders(settings, messages, {"/lib", "/fallback"});
    EXPECT_EQ(messages.texts.size(), 1u) << "a value that does not fit the buffer is a failure";
    EXPECT_EQ(folders.fontFolder, "/fallback");
}

TEST(Handoff, RecordRoundTripsAndAGarbledOneNeverArms)
{
    TempFolder home;
    const handoff::Record armed{0, 12345, handoff::spoolPathFor(home.path())};
    ASSERT_TRUE(handoff::write(home.path(), armed));
    const auto reread = handoff::read(home.path());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->askName, 0);
    EXPECT_EQ(reread->tickCount, 12345);
    EXPECT_EQ(reread->psFileName, armed.psFileName);

    for (const char* garbled : {"zero", "", "0x0", " "}) {
        test::writeFile(handoff::folderFor(home.path()) + "/handoff.conf",
            std::string("[General]\nAsk Name=") + garbled + "\nTick Count=1\n");
        const auto record = handoff::read(home.path());
        ASSERT_TRUE(record) << garbled;
        EXPECT_EQ(record->askName, 1) << "\"" << garbled << "\" must not read as 0";
    }
}

TEST(Handoff, OneArmingTakesOneJobAndNoTickCountOverflows)
{
    TempFolder home;
    const std::int64_t now = handoff::currentTickCount();
    ASSERT_TRUE(handoff::beginHandoff(home.path(), handoff::spoolPathFor(home.path())));
    const auto first = handoff::takeJob(home.path(), handoff::currentTickCount());
    ASSERT_EQ(first.outcome, handoff::JobTake::Outcome::Taken);
    EXPECT_EQ(first.record.psFileName, handoff::spoolPathFor(home.path()));
    EXPECT_EQ(handoff::takeJob(home.path(), handoff::currentTickCount()).outcome,
        handoff::JobTake::Outcome::NotArmed)
        << "the second job is not handed over";

    for (const std::int64_t tick :
        {std::numeric_limits<std::int64_t>::min(), now + 1000, now - handoff::kValidMilliseconds - 1}) {
        const handoff::Record record{0, tick, handoff::spoolPathFor(home.path())};
        EXPECT_FALSE(handoff::takesJob(record, home.path(), now)) << tick;
    }
    EXPECT_TRUE(handoff::takesJob({0, now - 10, handoff::spoolPathFor(home.path())}, home.path(), now));
}

TEST(Process, TimeLimitTerminationAndStandardInput)
{
    TempFolder folder;
    int error = 0;
    const pid_t sleeper = process::start({"/bin/sleep", {"sleep", "30"}, std::nullopt, -1}, error);
    ASSERT_GT(sleeper, 0) << error;
    EXPECT_EQ(process::wait(sleeper, 50), std::nullopt) << "still running when the limit passes";
    const int status = process::terminate(sleeper, 2000);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);

    test::writeFile(folder.file("in"), "exit 7\n");
    // Spawned, and forked to carry a parent-death signal: the same results.
    for (const int deathSignal : {0, SIGTERM}) {
        const int input = ::open(folder.file("in").c_str(), O_RDONLY | O_CLOEXEC);
        process::Launch launch{"/bin/sh", {"sh"}, std::vector<std::string>{"PATH=/bin"}, input};
        launch.deathSignal = deathSignal;
        const pid_t shell = process::start(launch, error);
        ::close(input);
        ASSERT_GT(shell, 0);
        const auto ended = process::wait(shell, 10000);
        ASSERT_TRUE(ended);
        EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 7)
            << "the script came in on standard input; death signal " << deathSignal;

        process::Launch missing{"/nonexistent/program", {"x"}, std::nullopt, -1};
        missing.deathSignal = deathSignal;
        EXPECT_EQ(process::start(missing, error), -1);
        EXPECT_EQ(error, ENOENT) << "death signal " << deathSignal;
    }
}

// A signal that arrives while nobody reads the pipe (a storm of them, more
// than the pipe holds) is still recorded, and the handler never blocks on the
// full pipe; the catch gives the default action back when it goes. Run in a
// child, since what was caught stays caught for the whole process.
TEST(Process, CaughtSignalsAreRecordedAndAFullPipeNeverBlocksTheHandler)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int failures = 0;
        {
            const process::SignalCatch caught({SIGUSR1, SIGUSR2});
            failures += caught.isOpen() && process::SignalCatch::caught() == 0 ? 0 : 1;
            for (int count = 0; count < 200000; ++count)
                ::raise(count % 2 == 0 ? SIGUSR1 : SIGUSR2);
            failures += process::SignalCatch::caught() == SIGUSR2 ? 0 : 2;
            char first = 0;
            failures += ::read(caught.readEnd(), &first, 1) == 1 && first == SIGUSR1 ? 0 : 4;
        }
        struct sigaction after { };
        ::sigaction(SIGUSR1, nullptr, &after);
        failures += after.sa_handler == SIG_DFL ? 0 : 8;
        ::_exit(failures);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "the child ended by a signal, or hung in its handler";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "failed checks, as bits";
}

} // namespace
