// The stand-ins for the Windows interfaces, on real files and variables.
#include "Folders.h"
#include "MachineSettings.h"
#include "QtMessageBox.h"
#include "Session.h"
#include "TestSupport.h"
#include "UserProfile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

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
    EXPECT_EQ(IniMachineSettings::defaultPath(), "/etc/xdg/Quorvale/Folyant Velmo.conf");
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

} // namespace
