// Printing to Folyant_Velmo against printing to a cups-pdf queue, in one
// private cupsd: wall time from lp until the print system has finished the
// job, median of several runs, for each job given.
//   folyant-printer-bench JOB.ps... (BENCH_RUNS, default 3)
#include "tests/support/CupsDaemon.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

using namespace folyant;
namespace fs = std::filesystem;

namespace {

double secondsToPrint(test::CupsDaemon& daemon, const std::string& queue, const std::string& job)
{
    const auto start = std::chrono::steady_clock::now();
    test::runProgram("lp", {"-d", queue, "-t", "folyant-bench", job}, {}, daemon.environment());
    while (!test::runProgram("lpstat", {"-o"}, {}, daemon.environment()).out.empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
        std::printf("%-44s %10.2f %10.2f %7.2f %11.0f%% %11.0f%%\n", fs::path(argv[i]).filename().c_str(), t,
            o, o / t, theirWords * 100, ourWords * 100);
    }
    return 0;
}
