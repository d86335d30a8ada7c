// The desktop agent's socket and its choices: a job reaches only the job
// user's own agent, as a file, and is taken by one side only.
#include "platform/AgentSocket.h"
#include "session/core/SaveChoice.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <spawn.h>

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>

namespace {

using namespace folyant;
using test::TempFolder;
namespace fs = std::filesystem;

constexpr int kTimeout = 3000;

// A file with the given bytes and no name, as the backend hands it over.
int anonymousJob(const std::string& bytes)
{
    const int fd = ::open("/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

std::string contentOf(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    ::lseek(fd, 0, SEEK_SET);
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

class AgentSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        runtime = root.file(std::to_string(::getuid()));
        fs::create_directory(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
    }
    // An agent that takes one connection and does with it what serve says.
    std::future<void> agentDoing(int listener, std::function<void(int)> serve)
    {
        return std::async(std::launch::async, [listener, serve] {
            pollfd entry{listener, POLLIN, 0};
            if (::poll(&entry, 1, kTimeout) == 1) {
                const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
                serve(connection);
                ::close(connection);
            }
        });
    }
    TempFolder root;
    std::string runtime;
};

TEST_F(AgentSocketTest, AJobArrivesAsItsFileWithItsValues)
{
    std::string why;
    const int listener = agent::listenForJobs(runtime, why);
    ASSERT_GE(listener, 0) << why;
    struct stat info { };
    ASSERT_EQ(::stat(agent::agentFolder(runtime).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "nobody else may even look for the socket";

    std::optional<agent::ReceivedJob> received;
    auto served = agentDoing(listener, [&](int connection) {
        std::string refused;
        received = agent::receiveJob(connection, kTimeout, refused);
    });
    const std::string bytes = "%!PS\n(a job) = showpage\n%%EOF\n";
    const int job = anonymousJob(bytes);
    const agent::JobValues values{{agent::kTitle, "Quarterly report\nline two"},
        {agent::kProposedName, "Quarterly report"}, {agent::kOptions, "FolyantQuality=Screen"},
        {agent::kCopies, "1"}, {agent::kJobId, "7"}};
    EXPECT_EQ(agent::handOver(job, values, ::getuid(), runtime, kTimeout, why), agent::Handover::Delivered)
        << why;
    served.wait();
    ASSERT_TRUE(received);
    EXPECT_EQ(received->values, values);
    EXPECT_EQ(contentOf(received->file), bytes);
    ::close(received->file);
    ::close(job);
    ::close(listener);
}

// Whatever is wrong on the way, the backend either delivers or keeps the
// job: never both, and never to something that is not the user's agent.
TEST_F(AgentSocketTest, NothingButTheUsersOwnListeningAgentGetsTheJob)
{
    const int job = anonymousJob("%!PS\nshowpage\n");
    std::string why;

    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), runtime, kTimeout, why), agent::Handover::NoAgent)
        << "no socket at all";

    // A socket an agent that ended left behind.
    int listener = agent::listenForJobs(runtime, why);
    ASSERT_GE(listener, 0) << why;
    ::close(listener);
    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), runtime, kTimeout, why), agent::Handover::NoAgent) << why;

    // An agent that takes the connection and never answers.
    listener = agent::listenForJobs(runtime, why);
    auto silent
        = agentDoing(listener, [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(800)); });
    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), runtime, 300, why), agent::Handover::NoAnswer) << why;
    silent.wait();

    // A connection that brings no job file is not taken for a job.
    std::optional<agent::ReceivedJob> received;
    auto abandoned = agentDoing(listener, [&](int connection) {
        std::string refused;
        received = agent::receiveJob(connection, kTimeout, refused);
    });
    {
        const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = agent::socketPath(runtime);
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        // The header of a job without a file, then gone.
        const char header[] = {'F', 'O', 'L', 'Y', 'J', 'O', 'B', '1', 0, 0, 0, 0};
        ASSERT_EQ(::send(client, header, sizeof header, MSG_NOSIGNAL), static_cast<ssize_t>(sizeof header));
        ::close(client);
    }
    abandoned.wait();
    EXPECT_FALSE(received);
    ::close(listener);

    // A folder others can enter, and a socket that is a link elsewhere.
    listener = agent::listenForJobs(runtime, why);
    fs::permissions(
        agent::agentFolder(runtime), fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), runtime, kTimeout, why), agent::Handover::Untrusted);
    EXPECT_NE(why.find("open to other users"), std::string::npos) << why;
    std::string refused;
    EXPECT_LT(agent::listenForJobs(runtime, refused), 0) << "the agent does not listen there either";
    fs::permissions(agent::agentFolder(runtime), fs::perms::owner_all, fs::perm_options::replace);
    const std::string elsewhere = root.file("elsewhere.socket");
    fs::rename(agent::socketPath(runtime), elsewhere);
    fs::create_symlink(elsewhere, agent::socketPath(runtime));
    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), runtime, kTimeout, why), agent::Handover::Untrusted);
    ::close(listener);
    ::close(job);
}

// Another user's agent, or another user's folder, never receives a job: the
// checks of owner and of the listener's peer credentials.
TEST_F(AgentSocketTest, AnotherUsersSocketOrListenerIsNotTrusted)
{
    test::ThrowAwayUser other;
    if (!other.exists())
        GTEST_SKIP() << "a second user needs root";
    const passwd* entry = ::getpwnam(other.name().c_str());
    ASSERT_NE(entry, nullptr);
    const uid_t otherUid = entry->pw_uid;
    const int job = anonymousJob("%!PS\nshowpage\n");
    std::string why;

    fs::permissions(root.path(), fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
    const std::string theirs = root.file(std::to_string(otherUid));
    fs::create_directory(theirs);
    fs::permissions(theirs, fs::perms::owner_all);
    ASSERT_EQ(::chown(theirs.c_str(), otherUid, entry->pw_gid), 0);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::setgid(entry->pw_gid) != 0 || ::setuid(otherUid) != 0)
            ::_exit(1);
        std::string error;
        // The other user's own runtime folder, with its own agent.
        const int listener = agent::listenForJobs(theirs, error);
        const char ready = listener >= 0 ? 'y' : 'n';
        [[maybe_unused]] const ssize_t said = ::write(pipeEnds[1], &ready, 1);
        ::sleep(5);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    char ready = 0;
    ASSERT_EQ(::read(pipeEnds[0], &ready, 1), 1);
    ASSERT_EQ(ready, 'y');

    // Handing the other user's agent a job of ours, and our job to a
    // runtime folder that is the other user's.
    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), theirs, kTimeout, why), agent::Handover::Untrusted) << why;
    // Their socket moved into our folder: owned by them.
    fs::create_directories(agent::agentFolder(runtime));
    fs::permissions(agent::agentFolder(runtime), fs::perms::owner_all);
    fs::rename(agent::socketPath(theirs), agent::socketPath(runtime));
    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), runtime, kTimeout, why), agent::Handover::Untrusted)
        << why;
    // Made ours, the listener behind it still runs as the other user.
    ASSERT_EQ(::lchown(agent::socketPath(runtime).c_str(), ::getuid(), ::getgid()), 0);
    EXPECT_EQ(agent::handOver(job, {}, ::getuid(), runtime, kTimeout, why), agent::Handover::Untrusted)
        << why;
    EXPECT_NE(why.find("does not run as uid"), std::string::npos) << why;

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(pipeEnds[0]);
    ::close(job);
}

TEST(SaveChoice, ConverterWordsKeepPasswordsOutOfTheProcessList)
{
    session::SaveChoice plain;
    plain.folder = "/home/u/PDF";
    plain.name = "report.pdf";
    session::SaveChoice everything = plain;
    everything.quality = 2;
    everything.mail = true;
    everything.openAfterSaving = true;
    everything.protect = true;
    everything.userPassword = "open sesame";
    everything.ownerPassword = "";
    everything.allowCopying = false;
    everything.encryption = "AES256";
    const struct {
        session::SaveChoice choice;
        std::vector<std::string> visible;
        std::vector<std::string> hidden;
    } cases[] = {
        {plain, {"/home/u/PDF/report.pdf"}, {}},
        {everything, {"/home/u/PDF/report.pdf", "/quality", "2", "/emailpdf", "/showpdf"},
            {"/security", "open sesame", "", "1000", "AES256"}},
    };
    for (const auto& each : cases) {
        const auto words = session::converterWords(each.choice);
        EXPECT_EQ(words.visible, each.visible);
        EXPECT_EQ(words.hidden, each.hidden);
    }
    for (const char* password : {"-x", "/quality"})
        EXPECT_FALSE(session::isUsablePassword(password)) << password << " would be read as a switch";
    for (const char* password : {"", "secret", "a/b", "x-"})
        EXPECT_TRUE(session::isUsablePassword(password)) << password;
}

// The passwords the agent's dialog takes protect the PDF, and reach the
// converter without ever standing on its command line.
TEST(SaveChoice, PasswordsGoThroughADescriptorAndProtectThePdf)
{
    TempFolder folder;
    session::SaveChoice choice;
    choice.folder = folder.path();
    choice.name = "protected.pdf";
    choice.protect = true;
    choice.userPassword = "open sesame";
    choice.ownerPassword = "owner secret";
    choice.allowCopying = false;
    const session::ConverterWords words = session::converterWords(choice);

    std::string hidden;
    for (const std::string& word : words.hidden)
        hidden += word + '\0';
    int wordsPipe[2];
    ASSERT_EQ(::pipe(wordsPipe), 0);
    ASSERT_EQ(::write(wordsPipe[1], hidden.data(), hidden.size()), static_cast<ssize_t>(hidden.size()));
    ::close(wordsPipe[1]);
    const int job = ::open(test::dataFile("cups-testfile.ps").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(job, 0);

    std::vector<std::string> arguments{FOLYANT_CONVERTER};
    arguments.insert(arguments.end(), words.visible.begin(), words.visible.end());
    std::vector<char*> argv;
    for (std::string& word : arguments)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment{"FOLYANT_UNATTENDED=1", "FOLYANT_WORDS_FD=3",
        std::string("FOLYANT_SYSCONFDIR=") + FOLYANT_DEV_SYSCONF, "PATH=/usr/bin:/bin",
        "HOME=" + folder.path()};
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, job, 0);
    posix_spawn_file_actions_adddup2(&actions, wordsPipe[0], 3);
    pid_t converter = -1;
    ASSERT_EQ(posix_spawn(&converter, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(wordsPipe[0]);
    ::close(job);
    // What every user can read of it while it runs.
    const std::string commandLine = test::readFile("/proc/" + std::to_string(converter) + "/cmdline");
    int status = 0;
    ASSERT_EQ(::waitpid(converter, &status, 0), converter);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(commandLine.find("sesame"), std::string::npos) << commandLine;
    EXPECT_EQ(commandLine.find("secret"), std::string::npos) << commandLine;

    const std::string pdf = folder.file("protected.pdf");
    const auto encryption = test::runProgram("qpdf", {"--password=open sesame", "--show-encryption", pdf});
    EXPECT_NE(encryption.out.find("R = 2"), std::string::npos) << encryption.out << encryption.err;
    EXPECT_NE(encryption.out.find("print low resolution: allowed"), std::string::npos) << encryption.out;
    EXPECT_NE(encryption.out.find("extract for any purpose: not allowed"), std::string::npos)
        << encryption.out;
    EXPECT_NE(test::runProgram("qpdf", {"--check", pdf}).exitCode, 0) << "no way in without it";
    EXPECT_EQ(test::runProgram("qpdf", {"--password=owner secret", "--check", pdf}).exitCode, 0);
}

TEST(SaveChoice, TypedNamesBecomePdfNamesInTheFolder)
{
    const struct {
        const char* typed;
        std::optional<std::string> name;
    } cases[] = {
        {"report", "report.pdf"},
        {"report.PDF", "report.PDF"},
        {"분기 보고서  ", "분기 보고서.pdf"},
        {"notes.txt", "notes.txt.pdf"},
        {"", std::nullopt},
        {"..", std::nullopt},
        {"../escape", std::nullopt},
        {"a\nb", std::nullopt},
    };
    for (const auto& each : cases)
        EXPECT_EQ(session::pdfFileName(each.typed), each.name) << each.typed;
}

TEST(SaveChoice, TheFirstFolderIsTheLastUsedThenTheMachinesThenPdfAtHome)
{
    TempFolder folder;
    EXPECT_EQ(session::startFolder(folder.path(), "/srv/pdf", "/home/u"), folder.path());
    EXPECT_EQ(session::startFolder(folder.file("gone"), "/srv/pdf", "/home/u"), "/srv/pdf");
    EXPECT_EQ(session::startFolder("", "~/Documents/PDF", "/home/u"), "/home/u/Documents/PDF");
    EXPECT_EQ(session::startFolder("", std::nullopt, "/home/u"), "/home/u/PDF");
}

} // namespace
