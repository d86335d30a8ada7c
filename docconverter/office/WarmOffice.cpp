#include "docconverter/office/WarmOffice.h"

#include "docconverter/office/OfficeBridge.h"
#include "platform/Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pwd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

namespace folyant::docconverter {

namespace {
constexpr int kPollMilliseconds = 50;
// The pipe appears late in the office's start: every moment it stays unseen
// is added to a cold run.
constexpr int kStartPollMilliseconds = 10;
constexpr int kEndMilliseconds = 10000;

using Clock = std::chrono::steady_clock;

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string stateRoot()
{
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return state;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.local/state";
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
        return std::string(account->pw_dir) + "/.local/state";
    return {};
}

// A folder of the user's alone: made 0700 when missing; one that is a link,
// someone else's, or open to others is refused (an open one of the user's
// own is closed).
bool privateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    return (info.st_mode & 077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

// Every folder on the way, made when missing; only the last is made private.
bool makeFolders(const std::string& path)
{
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return privateFolder(path);
}

std::string randomHex(std::size_t bytes)
{
    std::string raw(bytes, '\0');
    std::size_t got = 0;
    while (got < bytes) {
        const ssize_t n = ::getrandom(raw.data() + got, bytes - got, 0);
        if (n <= 0 && errno != EINTR)
            return {};
        if (n > 0)
            got += static_cast<std::size_t>(n);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::string fileUrl(const std::string& path)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::strchr("/-._~", c))
            url += c;
        else
            url += {'%', kDigits[byte >> 4], kDigits[byte & 15]};
    }
    return url;
}

// Where the office's acceptor puts the socket of "pipe,name=NAME": the
// shared temporary folder when it may write there, whatever TMPDIR says.
std::string socketPath(const std::string& pipeName)
{
    std::string base;
    if (::access("/tmp", W_OK) == 0)
        base = "/tmp";
    else if (::access("/var/tmp", W_OK) == 0)
        base = "/var/tmp";
    else
        return {};
    return base + "/OSL_PIPE_" + std::to_string(::getuid()) + "_" + pipeName;
}

// The only socket the client connects to: the user's own, writable by
// nobody else. In the sticky temporary folder nobody else can replace it.
bool socketIsOurs(const std::string& path)
{
    struct stat info { };
    return !path.empty() && ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)
        && info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

// What the user's office folder remembers of the running office.
struct Instance {
    pid_t office = -1; // leads the office's process group
    std::string pipe;
    std::string cupsServer;
    std::string extensions;
    int documents = 0;
};

std::string recordPath(const std::string& folder)
{
    return folder + "/instance";
}
std::string lockPath(const std::string& folder)
{
    return folder + "/lock";
}
std::string lastUsePath(const std::string& folder)
{
    return folder + "/last-use";
}

std::optional<Instance> readInstance(const std::string& folder)
{
    std::ifstream in(recordPath(folder));
    Instance instance;
    std::string line;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "pid")
            instance.office = static_cast<pid_t>(std::strtol(value.c_str(), nullptr, 10));
        else if (key == "pipe")
            instance.pipe = value;
        else if (key == "cups")
            instance.cupsServer = value;
        else if (key == "extensions")
            instance.extensions = value;
        else if (key == "documents")
            instance.documents = static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
    }
    if (instance.office <= 1 || instance.pipe.empty())
        return std::nullopt;
    return instance;
}

bool writeInstance(const std::string& folder, const Instance& instance)
{
    const std::string path = recordPath(folder);
    const std::string fresh = path + ".new";
    ::unlink(fresh.c_str());
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::ostringstream text;
    text << "pid=" << instance.office << "\npipe=" << instance.pipe << "\ncups=" << instance.cupsServer
         << "\nextensions=" << instance.extensions << "\ndocuments=" << instance.documents << "\n";
    const std::string bytes = text.str();
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return written && ::rename(fresh.c_str(), path.c_str()) == 0;
}

void touch(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::futimens(fd, nullptr);
        ::close(fd);
    }
}

std::string readProc(pid_t pid, const char* what)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + what, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The recorded process is still that office: a process id may have been
// given to another program since.
bool isOffice(const Instance& instance)
{
    if (::kill(instance.office, 0) != 0)
        return false;
    const std::string command = readProc(instance.office, "cmdline");
    return command.find("name=" + instance.pipe + ";") != std::string::npos;
}

// The fields of /proc/PID/stat after the program's name.
std::vector<std::string> statFields(const std::string& stat)
{
    std::vector<std::string> fields;
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return fields;
    std::istringstream in(stat.substr(close + 1));
    for (std::string field; in >> field;)
        fields.push_back(field);
    return fields;
}

// The resident memory of the office's process group.
long residentKiB(pid_t group)
{
    long total = 0;
    const long pageKiB = ::sysconf(_SC_PAGESIZE) / 1024;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return 0;
    while (const dirent* entry = ::readdir(proc)) {
        const long pid = std::strtol(entry->d_name, nullptr, 10);
        if (pid <= 0)
            continue;
        const auto fields = statFields(readProc(static_cast<pid_t>(pid), "stat"));
        // pgrp is the third field after the name, rss the 22nd.
        if (fields.size() > 21 && std::strtol(fields[2].c_str(), nullptr, 10) == group)
            total += std::strtol(fields[21].c_str(), nullptr, 10) * pageKiB;
    }
    ::closedir(proc);
    return total;
}

void endInstance(const std::string& folder, const std::optional<Instance>& instance)
{
    if (instance && isOffice(*instance)) {
        ::kill(-instance->office, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::milliseconds(kEndMilliseconds);
        while (::kill(instance->office, 0) == 0 && Clock::now() < deadline)
            pause(kPollMilliseconds);
        ::kill(-instance->office, SIGKILL);
        while (::kill(instance->office, 0) == 0 && Clock::now() < deadline + std::chrono::seconds(2))
            pause(kPollMilliseconds);
    }
    if (instance) {
        const std::string socket = socketPath(instance->pipe);
        if (socketIsOurs(socket))
            ::unlink(socket.c_str());
    }
    ::unlink(recordPath(folder).c_str());
}

// The office's own program beside the command the user would run: started
// by the launcher script, it would bring a splash process along, which stays
// beside the office for its life and holds memory of its own. A fresh profile
// makes the office end at once with a request to be started again, which the
// one retry of a dead office answers.
std::string officeBinary(const std::string& program)
{
    char* real = ::realpath(program.c_str(), nullptr);
    if (!real)
        return program;
    std::string binary = real;
    std::free(real);
    binary = binary.substr(0, binary.rfind('/') + 1) + "soffice.bin";
    return ::access(binary.c_str(), X_OK) == 0 ? binary : program;
}

// The extensions installed for all users, as their folders' times say: the
// office reads them only when it starts, so an HWP import an administrator
// adds (unopkg add --shared, or a package) is seen only by an office started
// after it. Only the folders that hold the extensions themselves: an office
// run by root writes into the shared cache around them at every start.
std::string sharedExtensions(const std::string& binary)
{
    const std::string share = binary.substr(0, binary.rfind('/')) + "/../share";
    std::string stamp;
    for (const char* folder : {"/extensions", "/uno_packages/cache/uno_packages"}) {
        struct stat info { };
        if (::stat((share + folder).c_str(), &info) == 0)
            stamp += std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
        stamp += ";";
    }
    return stamp;
}

std::string currentCupsServer()
{
    const char* server = std::getenv("CUPS_SERVER");
    return server ? server : "";
}

// The keeper: the office's parent, which ends it after the idle time once
// nobody prints in it, and then goes. It runs in a child of a process that
// may have threads: only calls that are safe after fork.
[[noreturn]] void keep(
    pid_t office, const char* lastUse, const char* lock, const char* socket, int idleSeconds)
{
    for (;;) {
        int status = 0;
        if (::waitpid(office, &status, WNOHANG) == office)
            break;
        const timespec second{1, 0};
        ::nanosleep(&second, nullptr);
        struct stat info { };
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const bool gone = ::stat(lastUse, &info) != 0;
        if (!gone && now.tv_sec - info.st_mtime < idleSeconds)
            continue;
        // Its folder removed, the office has nobody left to serve.
        const int fd = ::open(lock, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if ((fd < 0 && errno == ENOENT) || (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0)) {
            ::kill(-office, SIGTERM);
            for (int tries = 0; tries < 100 && ::waitpid(office, &status, WNOHANG) != office; ++tries) {
                const timespec tenth{0, 100000000};
                ::nanosleep(&tenth, nullptr);
            }
            ::kill(-office, SIGKILL);
            ::waitpid(office, &status, 0);
            struct stat entry { };
            if (::lstat(socket, &entry) == 0 && entry.st_uid == ::getuid())
                ::unlink(socket);
            ::_exit(0);
        }
        if (fd >= 0)
            ::close(fd);
    }
    ::_exit(0);
}

// Starts the office under a keeper of its own, detached from the caller's
// session; the office's process id, or -1.
pid_t launch(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
    const std::string& folder, const std::string& socket, int idleSeconds)
{
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    env.reserve(environment.size() + 1);
    for (const auto& entry : environment)
        env.push_back(const_cast<char*>(entry.c_str()));
    env.push_back(nullptr);
    const std::string lastUse = lastUsePath(folder);
    const std::string lock = lockPath(folder);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return -1;
    // Signals blocked across the fork and the handlers dropped in the child:
    // a signal meant for the converter must not run its handler in the office's
    // keeper. The keeper's own forks need no such care: it has one thread and
    // no handlers.
    const pid_t middle = process::fork(process::ChildHandlers::Default);
    if (middle < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return -1;
    }
    if (middle == 0) {
        // Nothing of the caller's may stay open here: its lock on the office
        // would be held for as long as the office lives.
        const int writeEnd = ::dup2(report[1], 3);
        ::close_range(4, ~0U, 0);
        // Nor its standard streams: whoever reads the caller's output to its
        // end would wait for the office.
        const int quiet = ::open("/dev/null", O_RDWR);
        ::dup2(quiet, 0);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        if (quiet > 3)
            ::close(quiet);
        ::setsid();
        ::umask(077);
        // Seen in the process list as what it is, not as the converter.
        ::prctl(PR_SET_NAME, "folyant-office", 0, 0, 0);
        const pid_t keeper = ::fork();
        if (keeper != 0)
            ::_exit(keeper > 0 ? 0 : 1);
        const pid_t office = ::fork();
        if (office == 0) {
            ::setpgid(0, 0);
            ::close_range(3, ~0U, 0);
            ::execve(args[0], args.data(), env.data());
            ::_exit(127);
        }
        if (office > 0)
            ::setpgid(office, office);
        const pid_t sent = office;
        (void)!::write(writeEnd, &sent, sizeof sent);
        ::close(writeEnd);
        if (office < 0)
            ::_exit(1);
        keep(office, lastUse.c_str(), lock.c_str(), socket.c_str(), idleSeconds);
    }
    ::close(report[1]);
    process::wait(middle);
    pid_t office = -1;
    if (::read(report[0], &office, sizeof office) != sizeof office)
        office = -1;
    ::close(report[0]);
    return office;
}

// The user's lock on the office: one document at a time.
class OfficeTurn {
public:
    explicit OfficeTurn(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600))
    {
    }
    ~OfficeTurn()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OfficeTurn(const OfficeTurn&) = delete;
    OfficeTurn& operator=(const OfficeTurn&) = delete;

    bool take(int limitMilliseconds, const std::function<bool()>& cancelled)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(limitMilliseconds);
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return false;
            if (Clock::now() >= deadline || cancelled())
                return false;
            pause(kPollMilliseconds);
        }
        return m_fd >= 0;
    }

private:
    int m_fd;
};

OfficeOutcome outcomeOf(BridgeOutcome outcome)
{
    switch (outcome) {
    case BridgeOutcome::Printed:
        return OfficeOutcome::Printed;
    case BridgeOutcome::NotLoaded:
        return OfficeOutcome::Refused;
    case BridgeOutcome::UnknownPrinter:
        return OfficeOutcome::UnknownPrinter;
    case BridgeOutcome::NoConnection:
    case BridgeOutcome::Disposed:
        return OfficeOutcome::NoOffice;
    case BridgeOutcome::Failed:
        break;
    }
    return OfficeOutcome::Failed;
}
} // namespace

WarmOffice::WarmOffice(std::string program, std::vector<std::string> environment, OfficeLimits limits)
    : m_program(std::move(program))
    , m_environment(std::move(environment))
    , m_limits(limits)
{
}

std::string WarmOffice::folder()
{
    const std::string root = stateRoot();
    return root.empty() ? std::string() : root + "/folyant/office";
}

std::optional<pid_t> WarmOffice::running()
{
    const auto instance = readInstance(folder());
    if (instance && isOffice(*instance))
        return instance->office;
    return std::nullopt;
}

void WarmOffice::end()
{
    const std::string path = folder();
    if (path.empty())
        return;
    OfficeTurn turn(lockPath(path));
    turn.take(kEndMilliseconds, [] { return false; });
    endInstance(path, readInstance(path));
}

OfficeResult WarmOffice::print(const OfficeRequest& request, const std::function<bool()>& asked)
{
    // Asked once is enough: whoever asks may say it only once.
    bool seen = false;
    const std::function<bool()> cancelled = [&seen, &asked] { return seen || (seen = asked()); };
    const std::string office = folder();
    if (office.empty() || !makeFolders(office))
        return {OfficeOutcome::Unsafe, "the office folder " + office + " cannot be made the user's alone"};
    OfficeTurn turn(lockPath(office));
    if (!turn.take(m_limits.turnMilliseconds, cancelled))
        return {cancelled() ? OfficeOutcome::Cancelled : OfficeOutcome::Busy,
            "another document is being printed in the office"};
    touch(lastUsePath(office));
    bool retry = false;
    OfficeResult result = printOnce(request, cancelled, retry);
    if (retry)
        result = printOnce(request, cancelled, retry);
    touch(lastUsePath(office));
    return result;
}

OfficeResult WarmOffice::printOnce(
    const OfficeRequest& request, const std::function<bool()>& cancelled, bool& retry)
{
    const bool firstTry = !retry;
    retry = false;
    const std::string office = folder();
    auto instance = readInstance(office);
    const std::string binary = officeBinary(m_program);
    const std::string extensions = sharedExtensions(binary);
    const bool usable = instance && isOffice(*instance) && instance->cupsServer == currentCupsServer()
        && instance->extensions == extensions && instance->documents < m_limits.documentsPerStart
        && residentKiB(instance->office) < m_limits.memoryKiB;
    if (!usable) {
        endInstance(office, instance);
        instance.reset();
    }
    if (!instance) {
        const std::string tmp = office + "/tmp";
        std::string profile;
        if (DIR* listing = ::opendir(office.c_str())) {
            while (const dirent* entry = ::readdir(listing))
                if (std::strncmp(entry->d_name, "profile-", 8) == 0)
                    profile = office + "/" + entry->d_name;
            ::closedir(listing);
        }
        // A profile name nobody can guess: the office's own single-instance
        // socket is named after it, in the shared temporary folder.
        if (profile.empty())
            profile = office + "/profile-" + randomHex(16);
        const std::string pipe = "folyant_" + randomHex(16);
        const std::string socket = socketPath(pipe);
        if (!privateFolder(tmp) || !privateFolder(profile) || pipe.size() < 16 || socket.empty())
            return {OfficeOutcome::Unsafe, "the office's folders cannot be made the user's alone"};
        std::vector<std::string> environment;
        for (const auto& entry : m_environment)
            if (entry.rfind("TMPDIR=", 0) != 0)
                environment.push_back(entry);
        environment.push_back("TMPDIR=" + tmp);
        // What the launcher script would have set.
        environment.push_back("SAL_ENABLE_FILE_LOCKING=1");
        const pid_t pid
            = launch({binary, "--headless", "--invisible", "--norestore", "--nologo", "--nodefault",
                         "--nolockcheck", "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext",
                         "-env:UserInstallation=" + fileUrl(profile)},
                environment, office, socket, m_limits.idleSeconds);
        if (pid <= 0)
            return {OfficeOutcome::NoOffice, "the office could not be started: " + m_program};
        instance = Instance{pid, pipe, currentCupsServer(), extensions, 0};
        writeInstance(office, *instance);
        const auto deadline = Clock::now() + std::chrono::milliseconds(m_limits.startMilliseconds);
        while (!socketIsOurs(socket) && ::kill(pid, 0) == 0 && Clock::now() < deadline && !cancelled())
            pause(kStartPollMilliseconds);
        if (cancelled()) {
            endInstance(office, instance);
            return {OfficeOutcome::Cancelled, {}};
        }
    }
    const std::string socket = socketPath(instance->pipe);
    struct stat info { };
    if (::lstat(socket.c_str(), &info) == 0 && !socketIsOurs(socket)) {
        endInstance(office, instance);
        return {OfficeOutcome::Unsafe, "the office's pipe " + socket + " is not the user's alone"};
    }
    if (!socketIsOurs(socket)) {
        endInstance(office, instance);
        retry = firstTry;
        return {OfficeOutcome::NoOffice, "the office did not answer on its pipe"};
    }

    // The office works in a thread of its own, so that a hung one can be
    // ended here: its bridge then breaks and the call returns.
    std::atomic<bool> done = false;
    BridgeResult bridged{BridgeOutcome::Failed, {}};
    const BridgeRequest call{
        instance->pipe, request.document, request.filters, request.printer, request.file};
    std::thread worker([&] {
        bridged = printOverBridge(call);
        done = true;
    });
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_limits.documentMilliseconds);
    OfficeOutcome ended = OfficeOutcome::Printed;
    while (!done) {
        if (cancelled())
            ended = OfficeOutcome::Cancelled;
        else if (Clock::now() >= deadline)
            ended = OfficeOutcome::TimedOut;
        if (ended != OfficeOutcome::Printed) {
            ::kill(-instance->office, SIGKILL);
            break;
        }
        pause(kPollMilliseconds);
    }
    worker.join();
    if (ended != OfficeOutcome::Printed) {
        endInstance(office, instance);
        return {
            ended, ended == OfficeOutcome::TimedOut ? "the office did not finish the document in time" : ""};
    }
    ++instance->documents;
    writeInstance(office, *instance);
    const OfficeOutcome outcome = outcomeOf(bridged.outcome);
    // A dead office, or one started before the queue was added, is started
    // afresh once; a fresh one that does not know the queue is kept.
    if (outcome == OfficeOutcome::NoOffice || (outcome == OfficeOutcome::UnknownPrinter && firstTry)) {
        endInstance(office, instance);
        retry = firstTry;
    }
    return {outcome, bridged.message};
}

} // namespace folyant::docconverter
