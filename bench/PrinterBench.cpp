// Printing to Folyant_Velmo against printing to a cups-pdf queue, in one
// private cupsd: wall time from lp until the print system has finished the
// job, median of several runs, for each job given; then the first job on ten
// queues of each kind at once (a busy print server): the time until all are
// done, the sum of the peak memory of every process that cupsd started for
// them, and the most memory they held together.
//   folyant-printer-bench JOB.ps... (BENCH_RUNS, default 3; BENCH_CONCURRENT, default 10)
#include "tests/support/CupsDaemon.h"

#include <cups/cups.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

using namespace folyant;
namespace fs = std::filesystem;

namespace {

// Asked of cupsd itself every 2 ms: a program started to ask would blur
// jobs that take a tenth of a second.
void waitUntilNoJobIsActive()
{
    for (;;) {
        cups_job_t* jobs = nullptr;
        const int active = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(active, jobs);
        if (active == 0)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

double secondsToPrint(test::CupsDaemon& daemon, const std::string& queue, const std::string& job)
{
    const auto start = std::chrono::steady_clock::now();
    test::runProgram("lp", {"-d", queue, "-t", "folyant-bench", job}, {}, daemon.environment());
    waitUntilNoJobIsActive();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::set<fs::path> filesIn(const std::string& folder)
{
    std::set<fs::path> files;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        files.insert(entry.path());
    return files;
}

// Removes what the runs added; cups-pdf names its files after the document.
void removeOutputs(const std::string& folder, const std::set<fs::path>& before)
{
    std::error_code ignored;
    for (const fs::path& file : filesIn(folder))
        if (!before.count(file))
            fs::remove(file, ignored);
}

// A kilobyte field ("VmHWM:") of /proc/PID/status, 0 when it is gone.
long statusKilobytes(const std::string& status, const char* field)
{
    const std::size_t at = status.find(field);
    return at == std::string::npos ? 0 : std::atol(status.c_str() + at + std::strlen(field));
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Watches every process below cupsd every few milliseconds: the peak
// resident size of each (kB) and the most that they held at one time.
class MemorySampler {
public:
    explicit MemorySampler(pid_t daemon)
        : m_daemon(daemon)
        , m_thread([this] {
            while (!m_stop)
                sample();
        })
    {
    }
    ~MemorySampler() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    double sumOfPeaksMegabytes() const
    {
        long sum = 0;
        for (const auto& [pid, peak] : m_peaks)
            sum += peak;
        return static_cast<double>(sum) / 1024;
    }
    double mostAtOnceMegabytes() const { return static_cast<double>(m_mostAtOnce) / 1024; }

private:
    void sample()
    {
        std::map<pid_t, pid_t> parents;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator("/proc", ignored)) {
            const std::string name = entry.path().filename();
            if (name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            const std::string stat = fileText(entry.path() / "stat");
            const std::size_t close = stat.rfind(')');
            if (close == std::string::npos)
                continue;
            int parent = 0;
            std::sscanf(stat.c_str() + close + 1, " %*c %d", &parent);
            parents[static_cast<pid_t>(std::atoi(name.c_str()))] = static_cast<pid_t>(parent);
        }
        long together = 0;
        for (const auto& [pid, parent] : parents) {
            pid_t up = parent;
            while (up > 1 && up != m_daemon)
                up = parents.count(up) ? parents[up] : 0;
            if (up != m_daemon)
                continue;
            const std::string status = fileText("/proc/" + std::to_string(pid) + "/status");
            m_peaks[pid] = std::max(m_peaks[pid], statusKilobytes(status, "VmHWM:"));
            together += statusKilobytes(status, "VmRSS:");
        }
        m_mostAtOnce = std::max(m_mostAtOnce, together);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    pid_t m_daemon;
    std::atomic<bool> m_stop{false};
    std::map<pid_t, long> m_peaks;
    long m_mostAtOnce = 0;
    std::thread m_thread;
};

struct Together {
    double seconds;
    double sumOfPeaks;
    double mostAtOnce;
};

// One job on each of the queues at once, until the print system is done.
Together printTogether(
    test::CupsDaemon& daemon, const std::vector<std::string>& queues, const std::string& job)
{
    MemorySampler memory(daemon.pid());
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> submitters;
    for (std::size_t i = 0; i < queues.size(); ++i)
        submitters.emplace_back([&, i] {
            test::runProgram("lp", {"-d", queues[i], "-t", "folyant-bench-" + std::to_string(i), job}, {},
                daemon.environment());
        });
    for (std::thread& submitter : submitters)
        submitter.join();
    waitUntilNoJobIsActive();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    memory.stop();
    return {seconds, memory.sumOfPeaksMegabytes(), memory.mostAtOnceMegabytes()};
}

bool addQueue(
    const test::Environment& env, const std::string& name, const std::string& device, const std::string& ppd)
{
    return test::runProgram("lpadmin", {"-p", name, "-E", "-v", device, "-P", ppd}, {}, env).exitCode == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = std::getenv("BENCH_RUNS") ? std::atoi(std::getenv("BENCH_RUNS")) : 3;
    test::CupsDaemon daemon({"cups-pdf"});
    if (!daemon.running()) {
        std::fprintf(stderr, "cupsd did not start\n");
        return 1;
    }
    const auto env = daemon.environment();
    if (test::runProgram(FOLYANT_PRNINSTALL, {}, {}, env).exitCode != 0
        || test::runProgram("lpadmin",
               {"-p", "CUPS-PDF", "-E", "-v", "cups-pdf:/", "-P", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"},
               {}, env)
                .exitCode
            != 0) {
        std::fprintf(stderr, "the queues could not be set up\n");
        return 1;
    }
    const std::string cupsPdfOut = std::string(getpwuid(getuid())->pw_dir) + "/PDF";
    const auto before = filesIn(cupsPdfOut);

    std::printf("%-44s %10s %10s %7s %12s %12s\n", "job", "cups-pdf s", "ours s", "ratio", "cups-pdf wds",
        "our words");
    for (int i = 1; i < argc; ++i) {
        std::vector<double> theirs;
        std::vector<double> ours;
        // The share of the job's words that each PDF's text holds (PDF jobs).
        double theirWords = 0;
        double ourWords = 0;
        const bool isPdf = fs::path(argv[i]).extension() == ".pdf";
        for (int run = 0; run < runs; ++run) {
            theirs.push_back(secondsToPrint(daemon, "CUPS-PDF", argv[i]));
            ours.push_back(secondsToPrint(daemon, "Folyant_Velmo", argv[i]));
            if (isPdf && run == 0) {
                for (const auto& file : filesIn(cupsPdfOut))
                    if (!before.count(file))
                        theirWords = test::sharedWords(argv[i], file.string());
                ourWords = test::sharedWords(argv[i], daemon.outputFolder() + "/folyant-bench.pdf");
            }
            removeOutputs(cupsPdfOut, before);
            removeOutputs(daemon.outputFolder(), {});
        }
        std::sort(theirs.begin(), theirs.end());
        std::sort(ours.begin(), ours.end());
        const double t = theirs[theirs.size() / 2];
        const double o = ours[ours.size() / 2];
        std::printf("%-44s %10.3f %10.3f %7.2f %11.0f%% %11.0f%%\n", fs::path(argv[i]).filename().c_str(), t,
            o, o / t, theirWords * 100, ourWords * 100);
    }

    const int together = std::getenv("BENCH_CONCURRENT") ? std::atoi(std::getenv("BENCH_CONCURRENT")) : 10;
    if (argc < 2 || together < 1)
        return 0;
    std::vector<std::string> ourQueues;
    std::vector<std::string> theirQueues;
    const std::string ourPpd = daemon.ppdFile("Folyant_Velmo");
    // "device for Folyant_Velmo: URI"
    std::string ourDevice = test::runProgram("lpstat", {"-v", "Folyant_Velmo"}, {}, env).out;
    ourDevice = ourDevice.substr(ourDevice.find(": ") + 2);
    ourDevice.erase(ourDevice.find_last_not_of("\n") + 1);
    for (int i = 0; i < together; ++i) {
        ourQueues.push_back("Folyant_Velmo_" + std::to_string(i));
        theirQueues.push_back("CUPS-PDF_" + std::to_string(i));
        if (!addQueue(env, ourQueues.back(), ourDevice, ourPpd)
            || !addQueue(env, theirQueues.back(), "cups-pdf:/", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")) {
            std::fprintf(stderr, "the queues for jobs at once could not be set up\n");
            return 1;
        }
    }
    const Together theirs = printTogether(daemon, theirQueues, argv[1]);
    removeOutputs(cupsPdfOut, before);
    const Together ours = printTogether(daemon, ourQueues, argv[1]);
    removeOutputs(daemon.outputFolder(), {});
    std::printf("\n%d x %s at once, one per queue:\n", together, fs::path(argv[1]).filename().c_str());
    std::printf("%-28s %10s %10s %7s\n", "", "cups-pdf", "ours", "ratio");
    std::printf("%-28s %10.2f %10.2f %7.2f\n", "seconds until all done", theirs.seconds, ours.seconds,
        ours.seconds / theirs.seconds);
    std::printf("%-28s %10.1f %10.1f %7.2f\n", "sum of peak memory, MB", theirs.sumOfPeaks, ours.sumOfPeaks,
        ours.sumOfPeaks / theirs.sumOfPeaks);
    std::printf("%-28s %10.1f %10.1f %7.2f\n", "most memory at once, MB", theirs.mostAtOnce, ours.mostAtOnce,
        ours.mostAtOnce / theirs.mostAtOnce);
    return 0;
}
