#include "backend/BackendJob.h"

#include "backend/AnonymousFolder.h"
#include "backend/ConversionSlots.h"
#include "backend/JobConversion.h"
#include "backend/JobOptions.h"
#include "backend/JobOwner.h"
#include "backend/JobSupervision.h"
#include "backend/PostProcess.h"
#include "backend/SharedOutputFolder.h"
#include "installation/Handoff.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "installation/PostProcess.h"
#include "platform/HelpRequest.h"
#include "platform/OutputName.h"

#include <cups/backend.h>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

namespace folyant::backend {

namespace {

// Closes a descriptor at the end of a scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd > 0)
            close(fd);
    }
};

// Where the places of the machine's concurrent conversions are kept: a
// folder of root's that no user can enter.
constexpr const char* kConversionSlotFolder = "/run/folyant-velmo";

// Whose the job is: its user's, vouched for by the print system; nobody's,
// for the AnonymousFolder; or no one's it may be written for.
enum class JobOwnerCheck { Vouched, Anonymous, Refused };

// A job from another machine that nobody authenticated carries only the name
// its client wrote: it is never written into that name's folder, but into
// the AnonymousFolder where the administrator set one, and refused otherwise.
JobOwnerCheck checkOwner(const JobOrigin& origin, bool anonymousFolderSet)
{
    switch (judgeOwnership(origin)) {
    case Ownership::Authenticated:
    case Ownership::Local:
        return JobOwnerCheck::Vouched;
    case Ownership::RemoteUnauthenticated:
        if (anonymousFolderSet)
            return JobOwnerCheck::Anonymous;
        fprintf(stderr,
            "ERROR: The job from %s was not authenticated; a job from another machine is converted only "
            "for the account it authenticated as. Nothing was written.\n",
            origin.host.c_str());
        return JobOwnerCheck::Refused;
    case Ownership::Mismatch:
        fprintf(stderr,
            "ERROR: The job names the user \"%s\" but was authenticated as \"%s\"; nothing was "
            "written.\n",
            origin.user.c_str(), origin.authenticatedUser.c_str());
        return JobOwnerCheck::Refused;
    }
    return JobOwnerCheck::Refused;
}

// The account an unauthenticated job is converted as, once the folder it
// goes to is safe to write to as that account; nothing (said why) otherwise.
std::optional<passwd> anonymousAccount(const std::string& folder, const std::string& host)
{
    const passwd* account = getpwnam(kAnonymousAccount);
    if (!account || account->pw_uid == 0) {
        fprintf(stderr,
            "ERROR: The job from %s was not authenticated, and the account %s that such jobs are converted "
            "as does not exist; nothing was written.\n",
            host.c_str(), kAnonymousAccount);
        return std::nullopt;
    }
    const std::string refused = refuseAnonymousFolder(folder, account->pw_uid, account->pw_gid);
    if (!refused.empty()) {
        fprintf(stderr,
            "ERROR: The job from %s was not authenticated, and the AnonymousFolder %s is not safe to write "
            "to: %s. Nothing was written.\n",
            host.c_str(), folder.c_str(), refused.c_str());
        return std::nullopt;
    }
    fprintf(stderr, "INFO: The job from %s was not authenticated; it goes to the AnonymousFolder %s.\n",
        host.c_str(), folder.c_str());
    return *account;
}

// Takes a place among the machine's concurrent conversions, as root. The wait
// is bounded: every holder is a backend whose job ends within its time limit.
// Without root (a backend run by hand) no limit holds.
std::optional<int> takeConversionSlot(const MachineSettings& settings, int limitSeconds, ConversionSlot& slot)
{
    if (geteuid() != 0)
        return std::nullopt;
    const char* configured = getenv("FOLYANT_CONVERSION_SLOTS");
    const std::string folder = configured && *configured ? configured : kConversionSlotFolder;
    std::string reason;
    if (!prepareSlotFolder(folder, reason)) {
        fprintf(stderr,
            "WARNING: Concurrent conversions are not limited: the folder %s cannot be used (%s).\n",
            folder.c_str(), reason.c_str());
        return std::nullopt;
    }
    int count = settings.readInt(installation::kConcurrentConversions).value_or(0);
    if (count <= 0)
        count = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    count = std::min(count, 1024);
    const int waitMilliseconds = limitSeconds > 0 ? limitSeconds * 1000 + 60000 : -1;
    switch (takeSlot(folder, count, waitMilliseconds, jobCancelled, slot)) {
    case SlotWait::Taken:
        return std::nullopt;
    case SlotWait::Unusable:
        fprintf(stderr, "WARNING: Concurrent conversions are not limited: the folder %s cannot be used.\n",
            folder.c_str());
        return std::nullopt;
    case SlotWait::TimedOut:
        fprintf(stderr,
            "ERROR: All %d conversions the machine runs at once stayed busy for %d seconds; the job will be "
            "tried again.\n",
            count, waitMilliseconds / 1000);
        return CUPS_BACKEND_RETRY;
    case SlotWait::Cancelled:
        fprintf(stderr, "ERROR: The job was cancelled; no PDF was kept.\n");
        return CUPS_BACKEND_CANCEL;
    }
    return std::nullopt;
}

int writeHandoff(int input, const std::string& path)
{
    switch (handoff::writeSpoolFile(input, path, jobCancelled)) {
    case handoff::SpoolWrite::Written:
        fprintf(stderr, "INFO: Job handed to the document converter\n");
        return CUPS_BACKEND_OK;
    case handoff::SpoolWrite::CannotOpen:
        fprintf(stderr, "ERROR: Cannot write the hand-off file %s: %s\n", path.c_str(), strerror(errno));
        return CUPS_BACKEND_CANCEL;
    case handoff::SpoolWrite::Locked:
        fprintf(stderr,
            "ERROR: The hand-off file %s is locked by another program; the job was not written.\n",
            path.c_str());
        return CUPS_BACKEND_CANCEL;
    case handoff::SpoolWrite::WriteFailed:
        fprintf(stderr, "ERROR: Writing the hand-off file failed: %s\n", strerror(errno));
        return CUPS_BACKEND_CANCEL;
    case handoff::SpoolWrite::ReadFailed:
        fprintf(stderr, "ERROR: The print job could not be read to its end (%s); nothing was handed over.\n",
            strerror(errno));
        return CUPS_BACKEND_CANCEL;
    case handoff::SpoolWrite::Cancelled:
        break;
    }
    return CUPS_BACKEND_CANCEL;
}

// The PDF's name by the user's template, else the machine's, else the
// title's. Read as the user, from the account's home: the job's environment
// is the print system's.
std::string pdfBaseName(const passwd& user, const JobArguments& job)
{
    std::string nameTemplate = names::userTemplate(std::string(user.pw_dir) + "/.config").value_or("");
    if (nameTemplate.empty())
        nameTemplate
            = IniMachineSettings().readString(names::kOutputName, installation::kValueBuffer).value_or("");
    char localHost[256] = {};
    if (gethostname(localHost, sizeof localHost - 1) != 0)
        std::strcpy(localHost, "localhost");
    const std::string stateFolder = names::stateFolder(user.pw_dir, nullptr);
    const names::NameFields fields{job.title, user.pw_name, job.jobId,
        originatingHost(job.options, localHost), std::time(nullptr), [&stateFolder] {
            if (const auto number = names::advanceCounter(stateFolder))
                return std::to_string(*number);
            fprintf(stderr, "WARNING: The name counter in %s cannot be used; the name has none.\n",
                stateFolder.c_str());
            return std::string();
        }};
    return names::expandTemplate(nameTemplate, fields);
}

// The job, once its user's identity is taken: handed over to the document
// converter when the user armed that, converted otherwise.
int handOverOrConvert(int& input, const passwd& user, const JobArguments& job, const ConversionLimits& limits)
{
    const auto taken = handoff::takeJob(user.pw_dir, handoff::currentTickCount(), jobCancelled);
    switch (taken.outcome) {
    case handoff::JobTake::Outcome::Taken:
        return writeHandoff(input, taken.record.psFileName);
    case handoff::JobTake::Outcome::LockHeld:
        fprintf(stderr,
            "ERROR: The hand-off lock in %s is held by another program; the job was cancelled so that the "
            "queue goes on.\n",
            handoff::folderFor(user.pw_dir).c_str());
        return CUPS_BACKEND_CANCEL;
    case handoff::JobTake::Outcome::NotArmed:
        break;
    }
    const auto record = handoff::read(user.pw_dir);
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
    if (const auto status = handToDesktopAgent(input, user, job, name, jobCancelled))
        return *status;
    return convertJob(input, user, job, outputFolder(user), name(), limits);
}

// A machine-wide folder is made for every user, not by the first user's job.
bool prepareMachineOutputFolder()
{
    const std::string shared = configuredOutputFolder();
    if (geteuid() != 0 || !isSharedOutputFolder(shared))
        return true;
    std::string reason;
    if (prepareSharedOutputFolder(shared, reason))
        return true;
    fprintf(stderr, "ERROR: Cannot create the output folder %s for every user: %s\n", shared.c_str(),
        reason.c_str());
    return false;
}

// Whom the job is converted as, and into which folder: its user, when the
// print system vouches for the name and it has an account here, into the
// user's output folder; the AnonymousFolder's account for a job nobody
// authenticated, where the administrator set that folder. Nothing when the
// job may not be written (said why).
struct JobTarget {
    passwd account{};
    // Empty: the account's output folder.
    std::string anonymousFolder;
};

std::optional<JobTarget> jobTarget(const std::string& name, const std::string& options)
{
    const std::string anonymousFolder
        = IniMachineSettings().readString(kAnonymousFolder, installation::kOutputFolderBuffer).value_or("");
    const auto origin = currentOrigin(name, options);
    switch (checkOwner(origin, !anonymousFolder.empty())) {
    case JobOwnerCheck::Refused:
        return std::nullopt;
    case JobOwnerCheck::Anonymous:
        if (const auto account = anonymousAccount(anonymousFolder, origin.host))
            return JobTarget{*account, anonymousFolder};
        return std::nullopt;
    case JobOwnerCheck::Vouched:
        break;
    }
    const passwd* found = getpwnam(name.c_str());
    if (!found) {
        fprintf(stderr, "ERROR: The job's user \"%s\" has no account on this system; nothing was written.\n",
            name.c_str());
        return std::nullopt;
    }
    return JobTarget{*found, {}};
}

ConversionLimits conversionLimits(const MachineSettings& settings)
{
    ConversionLimits limits;
    limits.limitSeconds = postprocess::timeLimitSeconds(settings);
    limits.postProcess = postprocess::configuredProgram(settings);
    return limits;
}

} // namespace

BackendJob BackendJob::fromCommandLine(int argc, char** argv)
{
    BackendJob job;
    job.m_program = argv[0];
    if (argc == 1)
        job.m_request = Request::NameDevice;
    else if (isHelpRequest(argc, argv))
        job.m_request = Request::Help;
    else if (argc < 6 || argc > 7)
        job.m_request = Request::Usage;
    else {
        job.m_request = Request::Print;
        job.m_user = argv[2];
        job.m_job = {argv[1], argv[3], argv[4], argv[5]};
        if (argc == 7)
            job.m_file = argv[6];
    }
    return job;
}

int BackendJob::run() const
{
    switch (m_request) {
    case Request::NameDevice:
        std::puts(
            "direct folyant:/PPD \"Folyant Velmo\" \"Folyant Velmo\" \"Folyant Velmo virtual PDF printer\"");
        return CUPS_BACKEND_OK;
    case Request::Help:
        std::printf("Usage: %s job-id user title copies options [file]\n"
                    "The print system's backend of the printer \"Folyant Velmo\": converts the job\n"
                    "into a PDF of the job's user. Without arguments it names its device.\n",
            m_program.c_str());
        return CUPS_BACKEND_OK;
    case Request::Usage:
        break;
    case Request::Print:
        return print();
    }
    fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", m_program.c_str());
    return CUPS_BACKEND_FAILED;
}

int BackendJob::print() const
{
    Descriptor input{STDIN_FILENO};
    if (!m_file.empty()) {
        // Opened before the user's identity is taken: the spool file belongs to
        // the print system.
        input.fd = open(m_file.c_str(), O_RDONLY | O_CLOEXEC);
        if (input.fd < 0) {
            fprintf(stderr, "ERROR: Cannot open the print file %s: %s\n", m_file.c_str(), strerror(errno));
            return CUPS_BACKEND_CANCEL;
        }
    }
    const auto target = jobTarget(m_user, m_job.options);
    if (!target || (target->anonymousFolder.empty() && !prepareMachineOutputFolder()))
        return CUPS_BACKEND_CANCEL;
    const passwd& user = target->account;
    const IniMachineSettings settings;
    const ConversionLimits limits = conversionLimits(settings);
    ConversionSlot slot;
    if (const auto refused = takeConversionSlot(settings, limits.limitSeconds, slot))
        return *refused;
    // An action after the PDF has a time limit of its own after the conversion's.
    const int jobLimitMilliseconds
        = limits.limitSeconds > 0 ? limits.limitSeconds * 1000 * (limits.postProcess.empty() ? 1 : 2) : -1;
    return runAsUser(user, jobLimitMilliseconds, jobCancelled, [&] {
        // Nobody's job has no hand-off, no desktop and no name template of a user.
        if (!target->anonymousFolder.empty())
            return convertJob(
                input.fd, user, m_job, target->anonymousFolder, pdfBaseName(user, m_job), limits);
        return handOverOrConvert(input.fd, user, m_job, limits);
    });
}

} // namespace folyant::backend
