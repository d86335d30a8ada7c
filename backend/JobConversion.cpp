#include "backend/JobConversion.h"

#include "backend/JobOptions.h"
#include "backend/JobSupervision.h"
#include "backend/PostProcess.h"
#include "converter/core/ExitCodes.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "installation/PostProcess.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/OutputName.h"
#include "platform/Process.h"

#include <cups/backend.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace folyant::backend {

namespace {

// What the converter gets beyond its own time limit to end by itself (its
// grace period included) before it is killed, and after a cancel.
constexpr int kConverterMarginMilliseconds = 5000;
constexpr int kConverterGraceMilliseconds = 5000;

constexpr const char* kJobFolderPrefix = "folyant-job-";

// Removes the job folders of this user that a backend killed outright (no
// destructor ran) left behind: their names carry the backend's process id.
void sweepOrphanedJobFolders()
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kJobFolderPrefix, 0) != 0)
            continue;
        const std::string rest = name.substr(std::strlen(kJobFolderPrefix));
        const pid_t owner = static_cast<pid_t>(std::strtol(rest.c_str(), nullptr, 10));
        struct stat info { };
        if (owner <= 0 || lstat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode)
            || info.st_uid != getuid())
            continue;
        if (kill(owner, 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove_all(entry.path(), ignored);
        }
    }
}

// A folder of the job's user, mode 0700, removed with all it holds.
struct JobTempFolder {
    std::string path;
    JobTempFolder()
    {
        sweepOrphanedJobFolders();
        std::string pattern = std::string("/tmp/") + kJobFolderPrefix + std::to_string(getpid()) + "-XXXXXX";
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~JobTempFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    JobTempFolder(const JobTempFolder&) = delete;
    JobTempFolder& operator=(const JobTempFolder&) = delete;
};

std::string converterProgram()
{
    if (const char* configured = getenv("FOLYANT_CONVERTER"); configured && *configured)
        return configured;
    if (const std::string folder = folders::programFolder(); !folder.empty()) {
        std::string beside = folder + "/Folyant_Standard";
        if (access(beside.c_str(), X_OK) == 0)
            return beside;
    }
    return FOLYANT_INSTALLED_CONVERTER;
}

// The PDF's new, empty file in the user's output folder, or nothing when the
// folder cannot be made or written (said).
std::optional<std::string> reservePdf(const std::string& folder, const std::string& baseName)
{
    if (!folders::makeFolders(folder)) {
        fprintf(stderr, "ERROR: Cannot create the output folder %s: %s\n", folder.c_str(), strerror(errno));
        return std::nullopt;
    }
    std::string pdf = names::reserveUniquePdf(folder, baseName);
    if (pdf.empty()) {
        fprintf(stderr, "ERROR: Cannot create a PDF in %s: %s\n", folder.c_str(), strerror(errno));
        return std::nullopt;
    }
    return pdf;
}

std::vector<std::string> converterArguments(
    const std::string& program, const std::string& pdf, const JobArguments& job)
{
    std::vector<std::string> arguments{program, pdf};
    if (const auto quality = qualityFromOptions(job.options)) {
        arguments.emplace_back("/quality");
        arguments.push_back(std::to_string(*quality));
    }
    return arguments;
}

// The converter's environment: the user's, never the print system's, and
// temporary files in a folder the user owns.
std::vector<std::string> converterEnvironment(const passwd& user, const std::string& temporaryFolder)
{
    std::vector<std::string> environment{"FOLYANT_UNATTENDED=1",
        std::string(StandardErrorMessages::kPrintSystemLog) + "=1", std::string("HOME=") + user.pw_dir,
        std::string("USER=") + user.pw_name, std::string("LOGNAME=") + user.pw_name,
        "PATH=/usr/local/bin:/usr/bin:/bin"};
    std::vector<const char*> passed{"FOLYANT_SYSCONFDIR", "LANG", "LC_ALL"};
#if defined(__SANITIZE_ADDRESS__)
    // A sanitizer build's converter reports what the run that tests it asked
    // for, not its defaults (which stop it over libraries' allocations).
    passed.insert(passed.end(), {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"});
#endif
    for (const char* name : passed)
        if (const char* value = getenv(name))
            environment.push_back(std::string(name) + "=" + value);
    environment.push_back("TMPDIR=" + temporaryFolder);
    return environment;
}

// The converter's own "ERROR:" lines said why it wrote no PDF, or where it
// kept an incomplete one: the last of them stays the job's state message.
bool saidWhy(int status)
{
    namespace exitcode = converter::exitcode;
    return WIFEXITED(status)
        && (WEXITSTATUS(status) == exitcode::kStepFailed || WEXITSTATUS(status) == exitcode::kIncomplete);
}

// Whether the converter's PDF is one to keep; when not, it is removed and
// the reason said.
bool keepPdf(const WatchedEnd& end, const std::string& pdf, int limitSeconds)
{
    const int status = end.status;
    if (!end.pastTimeLimit && !jobCancelled() && WIFEXITED(status) && WEXITSTATUS(status) == 0
        && postprocess::isFinishedPdf(pdf))
        return true;
    unlink(pdf.c_str());
    if (end.pastTimeLimit)
        fprintf(stderr,
            "ERROR: The conversion ran past its time limit of %d seconds and was ended; no PDF was "
            "kept.\n",
            limitSeconds);
    else if (jobCancelled())
        fprintf(stderr, "ERROR: The job was cancelled; no PDF was kept.\n");
    else if (saidWhy(status))
        fprintf(stderr, "DEBUG: The converter said why above.\n");
    else if (WIFSIGNALED(status))
        fprintf(stderr, "ERROR: The converter crashed (signal %d: %s); no PDF was kept.\n", WTERMSIG(status),
            strsignal(WTERMSIG(status)));
    else
        fprintf(stderr, "ERROR: The conversion produced no PDF.\n");
    return false;
}

// Runs the administrator's action on a finished PDF, with the environment
// the converter had.
void postProcess(const std::string& pdf, const std::string& program, std::vector<std::string> environment,
    int limitSeconds)
{
    if (program.empty())
        return;
    std::erase_if(environment, [](const std::string& entry) {
        return entry.rfind("FOLYANT_", 0) == 0 || entry.rfind("TMPDIR=", 0) == 0;
    });
    runPostProcess(program, pdf, limitSeconds, environment, jobCancelled);
}

} // namespace

bool jobCancelled()
{
    return process::SignalCatch::caught() != 0;
}

std::string configuredOutputFolder()
{
    const IniMachineSettings settings;
    return settings.readString(installation::kOutputFolder, installation::kOutputFolderBuffer)
        .value_or("~/PDF");
}

std::string outputFolder(const passwd& user)
{
    std::string folder = configuredOutputFolder();
    if (folder == "~" || folder.rfind("~/", 0) == 0)
        folder = user.pw_dir + folder.substr(1);
    return folder;
}

int convertJob(int input, const passwd& user, const JobArguments& job, const std::string& folder,
    const std::string& baseName, const ConversionLimits& limits)
{
    const auto pdf = reservePdf(folder, baseName);
    if (!pdf)
        return CUPS_BACKEND_CANCEL;
    // CUPS' own temporary folder is not the user's: the converter gets one
    // that is, and it goes with the job, whatever became of the converter.
    const JobTempFolder temporary;
    if (temporary.path.empty()) {
        unlink(pdf->c_str());
        fprintf(stderr, "ERROR: Cannot create a temporary folder for the conversion: %s\n", strerror(errno));
        return CUPS_BACKEND_CANCEL;
    }
    const std::string program = converterProgram();
    const std::vector<std::string> environment = converterEnvironment(user, temporary.path);
    // The converter must not outlive a backend that was killed outright: it
    // would convert on for nobody.
    process::Launch launch{program, converterArguments(program, *pdf, job), environment, input};
    launch.deathSignal = SIGTERM;
    int error = 0;
    const pid_t child = process::start(launch, error);
    if (child < 0) {
        unlink(pdf->c_str());
        fprintf(stderr, "ERROR: Cannot start %s: %s\n", program.c_str(), strerror(error));
        return CUPS_BACKEND_FAILED;
    }
    fprintf(stderr, "INFO: Converting to %s\n", pdf->c_str());

    // The converter is the user's process: stopped, it would not end at its
    // own limit nor when asked, and the queue would wait for it.
    const WatchedEnd end = watchProcess(child,
        limits.limitSeconds > 0 ? limits.limitSeconds * 1000 + kConverterMarginMilliseconds : -1,
        kConverterGraceMilliseconds, jobCancelled);
    if (!keepPdf(end, *pdf, limits.limitSeconds))
        return CUPS_BACKEND_CANCEL;
    // The one line of a good job that cupsd logs at its default level (warn):
    // an administrator can tell every user where a PDF went. It is also the
    // job's state message.
    fprintf(stderr, "WARNING: PDF written: %s\n", pdf->c_str());
    postProcess(*pdf, limits.postProcess, environment, limits.limitSeconds);
    return CUPS_BACKEND_OK;
}

} // namespace folyant::backend
