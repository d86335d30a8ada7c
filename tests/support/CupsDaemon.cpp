#include "tests/support/CupsDaemon.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

extern char** environ;

namespace folyant::test {

namespace fs = std::filesystem;

CupsDaemon::CupsDaemon(const std::vector<std::string>& extraBackends, const std::string& charsets)
{
    const std::string root = m_root.path();
    m_socket = root + "/cups.sock";
    fs::permissions(root,
        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read
            | fs::perms::others_exec);
    for (const char* folder : {"conf", "conf/ppd", "spool", "cache", "state", "log", "bin", "bin/backend",
             "etc/Quorvale", "out", "run"})
        fs::create_directories(root + "/" + folder);
    // The places of concurrent conversions are this daemon's own, not the machine's.
    fs::create_directories(root + "/slots");
    fs::permissions(root + "/slots", fs::perms::owner_all);
    // The temporary folder as a real installation has it (root:lp, 1770): no
    // job's user can write there, so nothing of ours may rely on it.
    fs::create_directories(root + "/tmp");
    const group* lp = getgrnam("lp");
    [[maybe_unused]] const int owned = chown((root + "/tmp").c_str(), 0, lp ? lp->gr_gid : 0);
    fs::permissions(root + "/tmp", fs::perms::owner_all | fs::perms::group_all | fs::perms::sticky_bit);

    // The system's filters and helpers, with our backend as the only one.
    for (const char* part : {"daemon", "cgi-bin", "notifier", "monitor", "driver", "command"})
        if (fs::exists(std::string("/usr/lib/cups/") + part))
            fs::create_symlink(std::string("/usr/lib/cups/") + part, root + "/bin/" + part);
    // The system's filters and ours beside them. An installed package has
    // its own filter of that name there: the test runs the built one, and
    // never writes through a link into the installation.
    fs::create_directories(root + "/bin/filter");
    const std::string ourFilter = fs::path(FOLYANT_PDF_FILTER).filename();
    for (const auto& entry : fs::directory_iterator("/usr/lib/cups/filter"))
        if (entry.path().filename() != ourFilter)
            fs::create_symlink(entry.path(), root + "/bin/filter/" + entry.path().filename().string());
    fs::copy_file(FOLYANT_PDF_FILTER, root + "/bin/filter/" + ourFilter);
    const std::string backend = root + "/bin/backend/folyant";
    fs::copy_file(FOLYANT_BACKEND, backend);
    chmod(backend.c_str(), 0700); // run as root, so that it can act as the job's user
    for (const std::string& name : extraBackends)
        fs::copy_file("/usr/lib/cups/backend/" + name, root + "/bin/backend/" + name);

    writeFile(root + "/etc/Quorvale/Folyant Velmo.conf",
        developmentMachineSettings("OutputFolder=\"" + root + "/out\"\n"));
    // The system's data, but for the text filter's fonts when the test brings its own.
    std::string dataDir = "/usr/share/cups";
    if (!charsets.empty()) {
        dataDir = root + "/data";
        fs::create_directories(dataDir + "/charsets");
        for (const auto& entry : fs::directory_iterator("/usr/share/cups"))
            if (entry.path().filename() != "charsets")
                fs::create_symlink(entry.path(), dataDir + "/" + entry.path().filename().string());
        fs::copy_file(charsets, dataDir + "/charsets/pdf.utf-8");
    }
    // A sanitizer build's backend and converter report what the test run
    // asked for; cupsd hands its children only the variables it is told of.
    std::string sanitizerOptions;
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name); value && *value)
            sanitizerOptions += std::string("SetEnv ") + name + " " + value + "\n";
    writeFile(root + "/conf/cups-files.conf",
        sanitizerOptions + "ServerRoot " + root + "/conf\nServerBin " + root + "/bin\nDataDir " + dataDir
            + "\n"
              "DocumentRoot /usr/share/cups/doc-root\nRequestRoot "
            + root + "/spool\nTempDir " + root + "/tmp\nStateDir " + root + "/state\nCacheDir " + root
            + "/cache\nAccessLog " + root + "/log/access_log\nErrorLog " + root + "/log/error_log\nPageLog "
            + root + "/log/page_log\nFileDevice Yes\nSetEnv FOLYANT_SYSCONFDIR " + root
            + "/etc\nSetEnv FOLYANT_CONVERTER " FOLYANT_CONVERTER "\nSetEnv FOLYANT_RUNTIME_ROOT "
            + runtimeRoot() + "\nSetEnv FOLYANT_CONVERSION_SLOTS " + root + "/slots\n");
    writeFile(root + "/conf/cupsd.conf",
        "LogLevel debug\nListen " + m_socket
            + "\nBrowsing Off\nWebInterface No\nDefaultShared No\nMaxJobs 200\nFilterLimit 0\n"
              "PreserveJobFiles No\nPreserveJobHistory No\n"
              "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
              "<Location /admin>\nOrder allow,deny\nAllow all\n</Location>\n"
              "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n"
              // The job side of Debian's policy of that name, which the
              // printer is installed under: a job is its authenticated user's.
              "<Policy authenticated>\n<Limit Create-Job Print-Job Print-URI Validate-Job>\nAuthType "
              "Default\n"
              "Order deny,allow\n</Limit>\n<Limit Send-Document Cancel-Job Hold-Job Release-Job Restart-Job "
              "Set-Job-Attributes Cancel-My-Jobs Close-Job CUPS-Move-Job CUPS-Get-Document>\nAuthType "
              "Default\n"
              "Require user @OWNER @SYSTEM\nOrder deny,allow\n</Limit>\n<Limit All>\nOrder deny,allow\n"
              "</Limit>\n</Policy>\n");

    // The daemon dies with the test, even one that crashed, and holds none of
    // its output: ctest would wait for an orphan that keeps a pipe open.
    std::vector<std::string> arguments{"/usr/bin/setpriv", "--pdeathsig", "KILL", "/usr/sbin/cupsd", "-f",
        "-c", root + "/conf/cupsd.conf", "-s", root + "/conf/cups-files.conf"};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = -1;
        return;
    }
    for (int i = 0; i < 200 && !fileExists(m_socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!fileExists(m_socket)) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
        return;
    }
    if (const char* old = std::getenv("CUPS_SERVER"))
        m_oldServer = old;
    setenv("CUPS_SERVER", m_socket.c_str(), 1);
}

CupsDaemon::~CupsDaemon()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_oldServer.empty())
        unsetenv("CUPS_SERVER");
    else
        setenv("CUPS_SERVER", m_oldServer.c_str(), 1);
}

std::string CupsDaemon::errorLog() const
{
    return readFile(m_root.file("log/error_log"));
}

Environment CupsDaemon::environment() const
{
    return {{"CUPS_SERVER", m_socket}, {"FOLYANT_PPD_DIR", FOLYANT_DATA_DIR}, {"FOLYANT_UNATTENDED", "1"}};
}

} // namespace folyant::test
