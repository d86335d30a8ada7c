// zevConverter against what a user would otherwise run, `soffice --headless
// --convert-to pdf DOC` with their usual profile (warm: run once before it is
// measured), side by side in one run, for each document: wall time and peak
// memory, median of several runs, as ratios, and the share of the words of
// LibreOffice's PDF that ours keeps. Ours is measured cold (the user's warm
// office ended first, so the run starts it) and warm (it runs already); its
// memory is zevConverter's peak plus the office's peak during that run, each
// taken alone, so that the sum is never less than what both held at once
// (mem× warm, cmem× cold, whose office peaks as it starts). Both run with the
// real home folder, through a private cupsd with the virtual printer.
//   folyant-docconverter-bench DOC... (BENCH_RUNS, default 3; BENCH_ZEVCONVERTER:
//   another build's zevConverter to measure; BENCH_KEEP: a folder for the PDFs)
#include "docconverter/office/WarmOffice.h"
#include "tests/support/CupsDaemon.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <vector>

using namespace folyant;
namespace fs = std::filesystem;

namespace {

struct Sample {
    double seconds = 0;
    double kilobytes = 0;
};

Sample median(int runs, const std::function<Sample()>& run)
{
    std::vector<double> seconds;
    std::vector<double> kilobytes;
    for (int i = 0; i < runs; ++i) {
        const Sample sample = run();
        seconds.push_back(sample.seconds);
        kilobytes.push_back(sample.kilobytes);
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(kilobytes.begin(), kilobytes.end());
    return {seconds[seconds.size() / 2], kilobytes[kilobytes.size() / 2]};
}

// A program's wall time and peak resident memory (GNU time's, of the
// largest process it waited for).
Sample timed(const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::pair<std::string, std::string>>& environment, const test::TempFolder& work)
{
    std::vector<std::string> argv{"-f", "%M", "-o", work.file("peak"), program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const auto start = std::chrono::steady_clock::now();
    test::runProgram("/usr/bin/time", argv, {}, environment);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::istringstream peak(test::readFile(work.file("peak")));
    double kilobytes = 0;
    for (std::string line; std::getline(peak, line);)
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
            kilobytes = std::atof(line.c_str());
    return {seconds, kilobytes};
}

// The processes of the user's warm office.
std::vector<fs::path> officeProcesses()
{
    std::vector<fs::path> processes;
    const auto leader = docconverter::WarmOffice::running();
    if (!leader)
        return processes;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (!pid.empty() && std::isdigit(static_cast<unsigned char>(pid[0]))
            && ::getpgid(std::stoi(pid)) == *leader)
            processes.push_back(entry.path());
    }
    return processes;
}

// The peak resident memory of the user's warm office: its processes' high-water marks.
double officePeakKilobytes()
{
    double total = 0;
    for (const fs::path& process : officeProcesses()) {
        std::ifstream status(process / "status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmHWM:", 0) == 0)
                total += std::atof(line.c_str() + 6);
    }
    return total;
}

// A warm office's high-water mark still holds its own start, which a warm
// run did not pay for: it starts again from what the office holds now.
void restartOfficePeaks()
{
    for (const fs::path& process : officeProcesses())
        std::ofstream(process / "clear_refs") << "5\n";
}

// The words of LibreOffice's PDF that ours lacks, for a reader to judge.
std::string missing(const std::set<std::string>& theirs, const std::set<std::string>& ours)
{
    std::string words;
    for (const std::string& word : theirs)
        if (!ours.count(word))
            words += " " + word;
    return words;
}

double keptPercent(const std::set<std::string>& theirs, const std::set<std::string>& ours)
{
    std::size_t kept = 0;
    for (const std::string& word : theirs)
        kept += ours.count(word);
    return theirs.empty() ? 0.0 : 100.0 * static_cast<double>(kept) / static_cast<double>(theirs.size());
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = std::getenv("BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("BENCH_RUNS"))) : 3;
    const std::string zevConverter
        = std::getenv("BENCH_ZEVCONVERTER") ? std::getenv("BENCH_ZEVCONVERTER") : FOLYANT_ZEVCONVERTER;
    // BENCH_KEEP=FOLDER keeps both PDFs of each document there, to compare them.
    const std::string keep = std::getenv("BENCH_KEEP") ? std::getenv("BENCH_KEEP") : "";
    test::CupsDaemon daemon;
    if (!daemon.running()) {
        std::fprintf(stderr, "cupsd did not start\n");
        return 1;
    }
    auto environment = daemon.environment();
    if (test::runProgram(FOLYANT_PRNINSTALL, {}, {}, environment).exitCode != 0) {
        std::fprintf(stderr, "prninstall failed\n");
        return 1;
    }
    environment.emplace_back("FOLYANT_SYSCONFDIR", FOLYANT_DEV_SYSCONF);
    test::TempFolder work;
    // An office started for another print server would not know this one's queue.
    docconverter::WarmOffice::end();

    std::printf("%-34s %5s %9s %8s %8s %6s %6s %9s %9s %6s %6s %6s\n", "document", "pages", "soffice s",
        "cold s", "warm s", "cold×", "warm×", "soffice M", "ours M", "mem×", "cmem×", "words");
    for (int i = 1; i < argc; ++i) {
        const std::string document = argv[i];
        const std::string theirsPdf = work.file(fs::path(document).stem().string() + ".pdf");
        const std::vector<std::string> convertTo{
            "--headless", "--convert-to", "pdf", "--outdir", work.path(), document};
        // Warm: the user's profile and the system's caches are in use already.
        test::runProgram("/usr/bin/soffice", convertTo);
        const Sample office = median(runs, [&] { return timed("/usr/bin/soffice", convertTo, {}, work); });
        const auto theirs = test::wordsOf(test::pdfText(theirsPdf));
        const std::string stem = fs::path(document).filename().string();
        if (!keep.empty() && fs::exists(theirsPdf))
            fs::copy_file(
                theirsPdf, keep + "/" + stem + ".soffice.pdf", fs::copy_options::overwrite_existing);
        fs::remove(theirsPdf);

        const std::string pdf = work.file("ours.pdf");
        int pages = -1;
        std::set<std::string> words;
        const auto ours = [&] {
            Sample sample = timed(zevConverter, {document, pdf}, environment, work);
            sample.kilobytes += officePeakKilobytes();
            pages = test::pdfPageCount(pdf);
            words = test::wordsOf(test::pdfText(pdf));
            if (!keep.empty() && fs::exists(pdf))
                fs::copy_file(pdf, keep + "/" + stem + ".ours.pdf", fs::copy_options::overwrite_existing);
            fs::remove(pdf);
            return sample;
        };
        const Sample cold = median(runs, [&] {
            docconverter::WarmOffice::end();
            return ours();
        });
        const Sample warm = median(runs, [&] {
            restartOfficePeaks();
            return ours();
        });
        std::printf("%-34s %5d %9.2f %8.2f %8.2f %6.2f %6.2f %9.0f %9.0f %6.2f %6.2f %5.0f%%\n",
            fs::path(document).filename().c_str(), pages, office.seconds, cold.seconds, warm.seconds,
            cold.seconds / office.seconds, warm.seconds / office.seconds, office.kilobytes / 1024,
            warm.kilobytes / 1024, warm.kilobytes / office.kilobytes, cold.kilobytes / office.kilobytes,
            keptPercent(theirs, words));
        if (const std::string lacking = missing(theirs, words); !lacking.empty())
            std::printf("  not in ours:%s\n", lacking.c_str());
        std::fflush(stdout);
    }
    docconverter::WarmOffice::end();
    return 0;
}
