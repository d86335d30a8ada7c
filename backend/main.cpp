// folyant: the CUPS backend of the virtual printer "Folyant Velmo".
//
// Run by cupsd as root (mode 0700), it becomes the job's user before it
// touches anything of that user, and then either converts the job with
// Folyant_Standard into a PDF in the user's output folder or, when the user's
// document converter has armed a hand-off, writes the job unchanged to the
// suite's spool path.
//
// A failure that belongs to the job (no such user, no PDF made, an output
// folder that cannot be used) cancels that job: retrying would fail again,
// and stopping the queue would hold up every other user's jobs. Only a
// converter that cannot be started at all, a fault of the installation,
// leaves the queue to the print system's error policy.
#include "backend/AgentHandoff.h"
#include "backend/ConversionSlots.h"
#include "backend/JobOptions.h"
#include "backend/JobOwner.h"
#include "backend/JobSupervision.h"
#include "backend/PostProcess.h"
#include "backend/SharedOutputFolder.h"
#include "converter/core/ExitCodes.h"
#include "installation/Handoff.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "platform/Folders.h"
#include "platform/HelpRequest.h"
#include "platform/MessageBox.h"
#include "platform/OutputName.h"
#include "platform/Process.h"

#include <cups/backend.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

volatile sig_atomic_t g_cancelled = 0;

extern "C" void onTerminate(int)
{
    g_cancelled = 1;
}

// What the converter gets beyond its own time limit to end by itself (its
// grace period included) before it is killed, and after a cancel.
constexpr int kConverterMarginMilliseconds = 5000;
constexpr int kConverterGraceMilliseconds = 5000;

// Closes a descriptor at the end of a scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd > 0)
            close(fd);
    }
};

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

std::string configuredOutputFolder()
{
    const folyant::IniMachineSettings settings;
    return settings
        .readString(folyant::installation::kOutputFolder, folyant::installation::kOutputFolderBuffer)
        .value_or("~/PDF");
}

std::string outputFolder(const passwd& user)
{
    std::string folder = configuredOutputFolder();
    if (folder == "~" || folder.rfind("~/", 0) == 0)
        folder = user.pw_dir + folder.substr(1);
    return folder;
}

std::string converterProgram()
{
    if (const char* configured = getenv("FOLYANT_CONVERTER"); configured && *configured)
        return configured;
    if (const std::string folder = folyant::folders::programFolder(); !folder.empty()) {
        std::string beside = folder + "/Folyant_Standard";
        if (access(beside.c_str(), X_OK) == 0)
            return beside;
    }
    return FOLYANT_INSTALLED_CONVERTER;
}

bool isCancelled()
{
    return g_cancelled != 0;
}

// Where the places of the machine's concurrent conversions are kept: a
// folder of root's that no user can enter.
constexpr const char* kConversionSlotFolder = "/run/folyant-velmo";

// Whether the print system vouches for the job's user name. A job from
// another machine that nobody authenticated carries only the name its client
// wrote: it is refused rather than written into that name's folder.
bool ownerVouchedFor(const char* user, const char* options)
{
    const auto origin = folyant::backend::currentOrigin(user, options);
    switch (folyant::backend::judgeOwnership(origin)) {
    case folyant::backend::Ownership::Authenticated:
    case folyant::backend::Ownership::Local:
        return true;
    case folyant::backend::Ownership::RemoteUnauthenticated:
        fprintf(stderr,
            "ERROR: The job from %s was not authenticated; a job from another machine is converted only "
            "for the account it authenticated as. Nothing was written.\n",
            origin.host.c_str());
        return false;
    case folyant::backend::Ownership::Mismatch:
        fprintf(stderr,
            "ERROR: The job names the user \"%s\" but was authenticated as \"%s\"; nothing was "
            "written.\n",
            origin.user.c_str(), origin.authenticatedUser.c_str());
        return false;
    }
    return false;
}

// Takes a place among the machine's concurrent conversions, as root. The wait
// is bounded: every holder is a backend whose job ends within its time limit.
// Without root (a backend run by hand) no limit holds.
std::optional<int> takeConversionSlot(
    const folyant::MachineSettings& settings, int limitSeconds, folyant::backend::ConversionSlot& slot)
{
    if (geteuid() != 0)
        return std::nullopt;
    const char* configured = getenv("FOLYANT_CONVERSION_SLOTS");
    const std::string folder = configured && *configured ? configured : kConversionSlotFolder;
    std::string reason;
    if (!folyant::backend::prepareSlotFolder(folder, reason)) {
        fprintf(stderr,
            "WARNING: Concurrent conversions are not limited: the folder %s cannot be used (%s).\n",
            folder.c_str(), reason.c_str());
        return std::nullopt;
    }
    int count = settings.readInt(folyant::installation::kConcurrentConversions).value_or(0);
    if (count <= 0)
        count = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    count = std::min(count, 1024);
    const int waitMilliseconds = limitSeconds > 0 ? limitSeconds * 1000 + 60000 : -1;
    switch (folyant::backend::takeSlot(folder, count, waitMilliseconds, isCancelled, slot)) {
    case folyant::backend::SlotWait::Taken:
        return std::nullopt;
    case folyant::backend::SlotWait::Unusable:
        fprintf(stderr, "WARNING: Concurrent conversions are not limited: the folder %s cannot be used.\n",
            folder.c_str());
        return std::nullopt;
    case folyant::backend::SlotWait::TimedOut:
        fprintf(stderr,
            "ERROR: All %d conversions the machine runs at once stayed busy for %d seconds; the job will be "
            "tried again.\n",
            count, waitMilliseconds / 1000);
        return CUPS_BACKEND_RETRY;
    case folyant::backend::SlotWait::Cancelled:
        fprintf(stderr, "ERROR: The job was cancelled; no PDF was kept.\n");
        return CUPS_BACKEND_CANCEL;
    }
    return std::nullopt;
}

int writeHandoff(int input, const std::string& path)
{
    switch (folyant::handoff::writeSpoolFile(input, path, isCancelled)) {
    case folyant::handoff::SpoolWrite::Written:
        fprintf(stderr, "INFO: Job handed to the document converter\n");
        return CUPS_BACKEND_OK;
    case folyant::handoff::SpoolWrite::CannotOpen:
        fprintf(stderr, "ERROR: Cannot write the hand-off file %s: %s\n", path.c_str(), strerror(errno));
        return CUPS_BACKEND_CANCEL;
    case folyant::handoff::SpoolWrite::Locked:
        fprintf(stderr,
            "ERROR: The hand-off file %s is locked by another program; the job was not written.\n",
            path.c_str());
        return CUPS_BACKEND_CANCEL;
    case folyant::handoff::SpoolWrite::WriteFailed:
        fprintf(stderr, "ERROR: Writing the hand-off file failed: %s\n", strerror(errno));
        return CUPS_BACKEND_CANCEL;
    case folyant::handoff::SpoolWrite::ReadFailed:
        fprintf(stderr, "ERROR: The print job could not be read to its end (%s); nothing was handed over.\n",
            strerror(errno));
        return CUPS_BACKEND_CANCEL;
    case folyant::handoff::SpoolWrite::Cancelled:
        break;
    }
    return CUPS_BACKEND_CANCEL;
}

// The converter's own "ERROR:" lines said why it wrote no PDF, or where it
// kept an incomplete one: the last of them stays the job's state message.
bool saidWhy(int status)
{
    namespace exitcode = folyant::converter::exitcode;
    return WIFEXITED(status)
        && (WEXITSTATUS(status) == exitcode::kStepFailed || WEXITSTATUS(status) == exitcode::kIncomplete);
}

// The PDF's name by the user's template, else the machine's, else the
// title's. Read as the user, from the account's home: the job's environment
// is the print system's.
std::string pdfBaseName(const passwd& user, const folyant::backend::JobArguments& job)
{
    std::string nameTemplate
        = folyant::names::userTemplate(std::string(user.pw_dir) + "/.config").value_or("");
    if (nameTemplate.empty())
        nameTemplate = folyant::IniMachineSettings()
                           .readString(folyant::names::kOutputName, folyant::installation::kValueBuffer)
                           .value_or("");
    char localHost[256] = {};
    if (gethostname(localHost, sizeof localHost - 1) != 0)
        std::strcpy(localHost, "localhost");
    const std::string stateFolder = folyant::names::stateFolder(user.pw_dir, nullptr);
    const folyant::names::NameFields fields{job.title, user.pw_name, job.jobId,
        folyant::backend::originatingHost(job.options, localHost), std::time(nullptr), [&stateFolder] {
            if (const auto number = folyant::names::advanceCounter(stateFolder))
                return std::to_string(*number);
            fprintf(stderr, "WARNING: The name counter in %s cannot be used; the name has none.\n",
                stateFolder.c_str());
            return std::string();
        }};
    return folyant::names::expandTemplate(nameTemplate, fields);
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
    folyant::backend::runPostProcess(program, pdf, limitSeconds, environment, isCancelled);
}

int convert(int input, const passwd& user, const folyant::backend::JobArguments& job,
    const std::string& baseName, int limitSeconds, const std::string& action)
{
    const std::string folder = outputFolder(user);
    if (!folyant::folders::makeFolders(folder)) {
        fprintf(stderr, "ERROR: Cannot create the output folder %s: %s\n", folder.c_str(), strerror(errno));
        return CUPS_BACKEND_CANCEL;
    }
    const std::string pdf = folyant::names::reserveUniquePdf(folder, baseName);
    if (pdf.empty()) {
        fprintf(stderr, "ERROR: Cannot create a PDF in %s: %s\n", folder.c_str(), strerror(errno));
        return CUPS_BACKEND_CANCEL;
    }

    const std::string program = converterProgram();
    std::vector<std::string> arguments{program, pdf};
    if (const auto quality = folyant::backend::qualityFromOptions(job.options)) {
        arguments.emplace_back("/quality");
        arguments.push_back(std::to_string(*quality));
    }
    std::vector<std::string> environment{"FOLYANT_UNATTENDED=1",
        std::string(folyant::StandardErrorMessages::kPrintSystemLog) + "=1",
        std::string("HOME=") + user.pw_dir, std::string("USER=") + user.pw_name,
        std::string("LOGNAME=") + user.pw_name, "PATH=/usr/local/bin:/usr/bin:/bin"};
    std::vector<const char*> passed{"FOLYANT_SYSCONFDIR", "LANG", "LC_ALL"};
#if defined(__SANITIZE_ADDRESS__)
    // A sanitizer build's converter reports what the run that tests it asked
    // for, not its defaults (which stop it over libraries' allocations).
    passed.insert(passed.end(), {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"});
#endif
    for (const char* name : passed)
        if (const char* value = getenv(name))
            environment.push_back(std::string(name) + "=" + value);
    // CUPS' own temporary folder is not the user's: the converter gets one
    // that is, and it goes with the job, whatever became of the converter.
    const JobTempFolder temporary;
    if (temporary.path.empty()) {
        unlink(pdf.c_str());
        fprintf(stderr, "ERROR: Cannot create a temporary folder for the conversion: %s\n", strerror(errno));
        return CUPS_BACKEND_CANCEL;
    }
    environment.push_back("TMPDIR=" + temporary.path);

    // The converter must not outlive a backend that was killed outright: it
    // would convert on for nobody.
    folyant::process::Launch launch{program, arguments, environment, input};
    launch.deathSignal = SIGTERM;
    int error = 0;
    const pid_t child = folyant::process::start(launch, error);
    if (child < 0) {
        unlink(pdf.c_str());
        fprintf(stderr, "ERROR: Cannot start %s: %s\n", program.c_str(), strerror(error));
        return CUPS_BACKEND_FAILED;
    }
    fprintf(stderr, "INFO: Converting to %s\n", pdf.c_str());

    // The converter is the user's process: stopped, it would not end at its
    // own limit nor when asked, and the queue would wait for it.
    const folyant::backend::WatchedEnd end = folyant::backend::watchProcess(child,
        limitSeconds > 0 ? limitSeconds * 1000 + kConverterMarginMilliseconds : -1,
        kConverterGraceMilliseconds, isCancelled);
    const int status = end.status;

    struct stat info { };
    char head[5] = {};
    Descriptor written{open(pdf.c_str(), O_RDONLY | O_CLOEXEC)};
    const bool isPdf = written.fd >= 0 && fstat(written.fd, &info) == 0 && info.st_size > 0
        && read(written.fd, head, 4) == 4 && std::memcmp(head, "%PDF", 4) == 0;
    if (end.pastTimeLimit || g_cancelled || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !isPdf) {
        unlink(pdf.c_str());
        if (end.pastTimeLimit)
            fprintf(stderr,
                "ERROR: The conversion ran past its time limit of %d seconds and was ended; no PDF was "
                "kept.\n",
                limitSeconds);
        else if (g_cancelled)
            fprintf(stderr, "ERROR: The job was cancelled; no PDF was kept.\n");
        else if (saidWhy(status))
            fprintf(stderr, "DEBUG: The converter said why above.\n");
        else if (WIFSIGNALED(status))
            fprintf(stderr, "ERROR: The converter crashed (signal %d: %s); no PDF was kept.\n",
                WTERMSIG(status), strsignal(WTERMSIG(status)));
        else
            fprintf(stderr, "ERROR: The conversion produced no PDF.\n");
        return CUPS_BACKEND_CANCEL;
    }
    // The one line of a good job that cupsd logs at its default level (warn):
    // an administrator can tell every user where a PDF went. It is also the
    // job's state message.
    fprintf(stderr, "WARNING: PDF written: %s\n", pdf.c_str());
    postProcess(pdf, action, environment, limitSeconds);
    return CUPS_BACKEND_OK;
}

// The job, once its user's identity is taken: handed over to the document
// converter when the user armed that, converted otherwise.
int runJob(int& input, const passwd& user, const folyant::backend::JobArguments& job, int limitSeconds,
    const std::string& action)
{
    const auto taken
        = folyant::handoff::takeJob(user.pw_dir, folyant::handoff::currentTickCount(), isCancelled);
    switch (taken.outcome) {
    case folyant::handoff::JobTake::Outcome::Taken:
        return writeHandoff(input, taken.record.psFileName);
    case folyant::handoff::JobTake::Outcome::LockHeld:
        fprintf(stderr,
            "ERROR: The hand-off lock in %s is held by another program; the job was cancelled so that the "
            "queue goes on.\n",
            folyant::handoff::folderFor(user.pw_dir).c_str());
        return CUPS_BACKEND_CANCEL;
    case folyant::handoff::JobTake::Outcome::NotArmed:
        break;
    }
    const auto record = folyant::handoff::read(user.pw_dir);
    if (record && record->askName == 0)
        fprintf(stderr, "WARNING: A stale or foreign hand-off was ignored; the job is converted as usual.\n");

    // A user at a desktop is asked where the PDF goes; the queue does not wait for the answer.
    // Made once: a job the agent did not take keeps the name (and the
    // counter's number) it was offered with.
    std::optional<std::string> baseName;
    const auto name = [&]() -> const std::string& {
        if (!baseName)
            baseName = pdfBaseName(user, job);
        return *baseName;
    };
    if (const auto status = folyant::backend::handToDesktopAgent(input, user, job, name, isCancelled))
        return *status;
    return convert(input, user, job, name(), limitSeconds, action);
}

} // namespace

int main(int argc, char** argv)
{
    setbuf(stderr, nullptr);
    signal(SIGPIPE, SIG_IGN);
    struct sigaction action { };
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);

    if (argc == 1) {
        std::puts(
            "direct folyant:/PPD \"Folyant Velmo\" \"Folyant Velmo\" \"Folyant Velmo virtual PDF printer\"");
        return CUPS_BACKEND_OK;
    }
    if (folyant::isHelpRequest(argc, argv)) {
        std::printf("Usage: %s job-id user title copies options [file]\n"
                    "The print system's backend of the printer \"Folyant Velmo\": converts the job\n"
                    "into a PDF of the job's user. Without arguments it names its device.\n",
            argv[0]);
        return CUPS_BACKEND_OK;
    }
    if (argc < 6 || argc > 7) {
        fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return CUPS_BACKEND_FAILED;
    }

    Descriptor input{STDIN_FILENO};
    if (argc == 7) {
        // Opened before the user's identity is taken: the spool file belongs to
        // the print system.
        input.fd = open(argv[6], O_RDONLY | O_CLOEXEC);
        if (input.fd < 0) {
            fprintf(stderr, "ERROR: Cannot open the print file %s: %s\n", argv[6], strerror(errno));
            return CUPS_BACKEND_CANCEL;
        }
    }

    if (!ownerVouchedFor(argv[2], argv[5]))
        return CUPS_BACKEND_CANCEL;
    const passwd* found = getpwnam(argv[2]);
    if (!found) {
        fprintf(stderr, "ERROR: The job's user \"%s\" has no account on this system; nothing was written.\n",
            argv[2]);
        return CUPS_BACKEND_CANCEL;
    }
    const passwd user = *found;
    // A machine-wide folder is made for every user, not by the first user's job.
    if (const std::string shared = configuredOutputFolder();
        geteuid() == 0 && folyant::backend::isSharedOutputFolder(shared)) {
        std::string reason;
        if (!folyant::backend::prepareSharedOutputFolder(shared, reason)) {
            fprintf(stderr, "ERROR: Cannot create the output folder %s for every user: %s\n", shared.c_str(),
                reason.c_str());
            return CUPS_BACKEND_CANCEL;
        }
    }
    const folyant::IniMachineSettings settings;
    // (Bounded so that twice the milliseconds fit in an int: five days.)
    const int limitSeconds = std::clamp(settings.readInt(folyant::installation::kTimeLimit)
                                            .value_or(folyant::installation::kDefaultTimeLimit),
        0, 500000);
    folyant::backend::ConversionSlot slot;
    if (const auto refused = takeConversionSlot(settings, limitSeconds, slot))
        return *refused;
    // An action after the PDF has a time limit of its own after the conversion's.
    const std::string postProcessProgram
        = settings.readString(folyant::backend::kPostProcess, folyant::installation::kValueBuffer)
              .value_or("");
    const int jobLimitMilliseconds
        = limitSeconds > 0 ? limitSeconds * 1000 * (postProcessProgram.empty() ? 1 : 2) : -1;
    return folyant::backend::runAsUser(user, jobLimitMilliseconds, isCancelled, [&] {
        return runJob(input.fd, user, {argv[1], argv[3], argv[4], argv[5]}, limitSeconds, postProcessProgram);
    });
}
