// The desktop agent off screen, with the real converter: the administrator's
// action after each PDF it saves, and the name template in its settings.
#include "platform/AgentSocket.h"
#include "platform/OutputName.h"
#include "session/gui/DesktopNotifier.h"
#include "session/gui/SaveDialog.h"
#include "session/gui/SessionAgent.h"
#include "session/gui/SettingsDialog.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>

using namespace folyant;
using folyant::test::TempFolder;
namespace fs = std::filesystem;

namespace {

// Runs the event loop until the condition holds or a minute passed.
bool eventually(const std::function<bool()>& condition)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < until) {
        if (condition())
            return true;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// This process's standard error into a file while it lives: the agent's log.
class CapturedLog {
public:
    explicit CapturedLog(std::string path)
        : m_path(std::move(path))
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int file = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(file, STDERR_FILENO);
        ::close(file);
    }
    ~CapturedLog()
    {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    std::string text() const { return test::readFile(m_path); }

private:
    std::string m_path;
    int m_saved = -1;
};

// An agent of this user's in a home of its own, with the machine settings
// given, taking jobs as the backend hands them over.
class AgentPostProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        runtime = home.file("runtime");
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        setenv("HOME", home.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.file(".config").c_str(), 1);
        setenv("FOLYANT_SYSCONFDIR", home.file("sysconf").c_str(), 1);
        setenv("FOLYANT_CONVERTER", FOLYANT_CONVERTER, 1);
        fs::create_directories(home.file(".config/Quorvale"));
        fs::create_directories(home.file("sysconf/Quorvale"));
        askName(false);
    }
    void TearDown() override
    {
        for (const char* name : {"FOLYANT_SYSCONFDIR", "FOLYANT_CONVERTER"})
            unsetenv(name);
    }
    void askName(bool ask)
    {
        // Of another size each way: the settings are told changed by it, too.
        test::writeFile(home.file(".config/Quorvale/folyant-session.conf"),
            ask ? "[Settings]\nAskName=1\n" : "[Settings]\nAskName=0\nQuality=-1\n");
    }
    void machineSettings(const std::string& lines)
    {
        test::writeFile(home.file("sysconf/Quorvale/Folyant Velmo.conf"),
            test::developmentMachineSettings("OutputFolder=\"" + pdfFolder() + "\"\n" + lines));
    }
    std::string pdfFolder() const { return home.file("PDF"); }
    std::string script(const std::string& name, const std::string& body)
    {
        const std::string path = home.file(name);
        test::writeScript(path, body);
        return path;
    }
    // Hands a job over as the backend does, the agent's loop running meanwhile.
    void print(const std::string& job, const std::string& title)
    {
        const int file = ::open(job.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(file, 0) << job;
        auto handed = std::async(std::launch::async, [&] {
            std::string why;
            return agent::handOver(file, {{agent::kTitle, title}, {agent::kProposedName, title}}, ::getuid(),
                       runtime, 10000, why)
                == agent::Handover::Delivered;
        });
        ASSERT_TRUE(eventually(
            [&] { return handed.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        EXPECT_TRUE(handed.get()) << "the agent took " << title;
        ::close(file);
    }
    void startAgent()
    {
        std::string why;
        const int listener = agent::listenForJobs(runtime, why);
        ASSERT_GE(listener, 0) << why;
        sessionAgent = std::make_unique<session::SessionAgent>(listener, FOLYANT_CONVERTER, notifier);
    }

    TempFolder home;
    std::string runtime;
    CapturedLog log{home.file("agent.log")};
    session::DesktopNotifier notifier;
    std::unique_ptr<session::SessionAgent> sessionAgent;
};

// Whatever the program does, the PDF stays, the agent's log says what it did
// and the agent goes on with the next job.
TEST_F(AgentPostProcessTest, TheMachinesProgramRunsOnEachSavedPdfAndItsOutcomeIsLogged)
{
    const std::string recorded = home.file("recorded");
    const std::string leftPid = home.file("left.pid");
    const struct {
        const char* name;
        std::string body;
        std::string said;
    } programs[] = {
        {"record",
            "printf '%s\\n' \"$#\" \"$1\" >> '" + recorded + "'\necho \"filed $1\" >&2\necho 'to stdout'\n",
            "INFO: PostProcess " + home.file("record") + " ended with status 0"},
        {"fail", "echo 'the share is offline' >&2\nexit 3\n",
            "WARNING: PostProcess " + home.file("fail") + " ended with status 3. The PDF stays."},
        {"hang", "sleep 1000 &\necho $! > '" + leftPid + "'\nwait\n",
            "WARNING: PostProcess " + home.file("hang")
                + " ran past the time limit of 2 seconds and was ended. The PDF stays."},
        {"missing", {},
            "WARNING: PostProcess " + home.file("missing")
                + " could not be started: No such file or directory. The PDF stays."},
        {"relative", {},
            "WARNING: PostProcess must name a program by its full path; \"relative\" was not run. The PDF "
            "stays."},
    };
    startAgent();
    for (const auto& each : programs) {
        SCOPED_TRACE(each.name);
        const std::string program = std::string(each.name) == "relative" ? "relative" : home.file(each.name);
        if (!each.body.empty())
            script(each.name, each.body);
        machineSettings("TimeLimit=2\nPostProcess=\"" + program + "\"\n");
        print(test::dataFile("cups-testfile.ps"), each.name);
        const std::string pdf = pdfFolder() + "/" + each.name + ".pdf";
        ASSERT_TRUE(eventually([&] { return log.text().find(each.said) != std::string::npos; }))
            << log.text();
        EXPECT_EQ(test::pdfPageCount(pdf), 1) << "the PDF stays";
        EXPECT_EQ(test::pagesWithStamp(pdf, 1), 1);
    }
    EXPECT_EQ(test::readFile(recorded), "1\n" + pdfFolder() + "/record.pdf\n") << "its only argument";
    const std::string text = log.text();
    EXPECT_NE(text.find("INFO: PostProcess: filed " + pdfFolder() + "/record.pdf"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("to stdout"), std::string::npos) << "standard error only";
    EXPECT_NE(text.find("WARNING: PostProcess: the share is offline"), std::string::npos)
        << "a failing program's words at the level of its outcome";
    const pid_t left = std::stoi(test::readFile(leftPid));
    EXPECT_TRUE(eventually([&] { return ::kill(left, 0) != 0; })) << "ended with what it started";
}

// Only a PDF written whole is given to the program: not a job the user
// cancelled in the save dialog, nor one the converter could not finish.
TEST_F(AgentPostProcessTest, NothingRunsForACancelledOrFailedJob)
{
    const std::string recorded = home.file("recorded");
    machineSettings("PostProcess=\"" + script("record", "echo \"$1\" >> '" + recorded + "'\n") + "\"\n");
    askName(true);
    startAgent();
    // The agent shows its dialog before it runs it: no modal window to wait for.
    bool asked = false;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&asked] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<session::SaveDialog*>(window); dialog && dialog->isVisible()) {
                asked = true;
                dialog->reject();
            }
    });
    cancel.start(20);
    print(test::dataFile("cups-testfile.ps"), "Cancelled");
    ASSERT_TRUE(eventually([&] { return asked; }));
    // Answered from here on without a dialog.
    askName(false);
    print(test::dataFile("derived-error-undefined-acrobat6-p3.ps"), "Broken");
    print(test::dataFile("cups-testfile.ps"), "Whole");
    ASSERT_TRUE(eventually([&] {
        return log.text().find("record ended with status 0") != std::string::npos;
    })) << log.text();
    EXPECT_EQ(test::readFile(recorded), pdfFolder() + "/Whole.pdf\n") << log.text();
    EXPECT_FALSE(test::fileExists(pdfFolder() + "/Cancelled.pdf"));
    EXPECT_FALSE(test::fileExists(pdfFolder() + "/Broken.pdf"));
}

// The name template in the settings dialog: shown as it counts now, checked
// as it is typed, and stored where the backend reads it.
class OutputNameSettingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("HOME", home.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.file(".config").c_str(), 1);
        setenv("FOLYANT_SYSCONFDIR", home.file("sysconf").c_str(), 1);
        fs::create_directories(home.file("sysconf/Quorvale"));
    }
    void TearDown() override { unsetenv("FOLYANT_SYSCONFDIR"); }
    std::string userSettings() const { return home.file(".config/Quorvale/Folyant Velmo.conf"); }

    TempFolder home;
};

TEST_F(OutputNameSettingTest, TheTemplateIsCheckedAndSavedForTheBackend)
{
    test::writeFile(home.file("sysconf/Quorvale/Folyant Velmo.conf"),
        test::developmentMachineSettings("OutputName=\"<Date:%Y-%m-%d> <Title>\"\n"));
    const struct {
        const char* typed;
        const char* error; // empty: accepted
    } cases[] = {
        {"<Title>-<Tilte>", "<Tilte>은(는) 알 수 없는 항목입니다."},
        {"<Date> <Title>", "<Date>은(는) 알 수 없는 항목입니다."},
        {" ... ", "이 형식으로는 파일 이름이 만들어지지 않습니다."},
        {"", "이 형식으로는 파일 이름이 만들어지지 않습니다."},
        {"<Date:   >", "이 형식으로는 파일 이름이 만들어지지 않습니다."},
        {"a < b > c <Counter>", ""},
        {"<User> <JobId> <Host> <Date:%H.%M> 100%", ""},
    };
    {
        session::SettingsDialog untouched;
        untouched.accept();
        EXPECT_FALSE(test::fileExists(userSettings())) << "the machine's template is not made the user's";
    }
    session::SettingsDialog dialog;
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("outputName"));
    auto* error = dialog.findChild<QLabel*>(QStringLiteral("outputNameError"));
    auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_TRUE(field && error && ok);
    EXPECT_EQ(field->text(), QStringLiteral("<Date:%Y-%m-%d> <Title>"))
        << "the machine's, while the user has none";
    for (const auto& each : cases) {
        SCOPED_TRACE(each.typed);
        field->setText(QString::fromUtf8(each.typed));
        EXPECT_EQ(error->isVisibleTo(&dialog), *each.error != '\0');
        EXPECT_EQ(error->text(), QString::fromUtf8(each.error));
        EXPECT_EQ(ok->isEnabled(), *each.error == '\0');
        if (*each.error) {
            dialog.accept();
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_FALSE(test::fileExists(userSettings())) << "nothing saved";
        }
    }
    field->setText(QStringLiteral(" <Counter> <Title> "));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(names::userTemplate(home.file(".config")), "<Counter> <Title>")
        << test::readFile(userSettings());

    // Shown again as the user left it; set back to the machine's, it
    // follows the machine's from then on.
    session::SettingsDialog again;
    auto* shown = again.findChild<QLineEdit*>(QStringLiteral("outputName"));
    EXPECT_EQ(shown->text(), QStringLiteral("<Counter> <Title>"));
    shown->setText(QStringLiteral("<Date:%Y-%m-%d> <Title>"));
    again.accept();
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(names::userTemplate(home.file(".config")), std::nullopt);
}

} // namespace
