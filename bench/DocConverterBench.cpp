// zevConverter against LibreOffice's own conversion, side by side in one run:
// wall time of `zevConverter DOC PDF` (through a private cupsd with the
// virtual printer) and of `soffice --headless --convert-to pdf DOC`, each with
// a fresh LibreOffice profile, median of several runs, for each document; and
// the share of the words of LibreOffice's PDF that our PDF keeps.
//   folyant-docconverter-bench DOC... (BENCH_RUNS, default 3)
#include "tests/support/CupsDaemon.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <vector>

using namespace folyant;
namespace fs = std::filesystem;

namespace {

double medianSeconds(int runs, const std::function<void()>& run)
{
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = std::getenv("BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("BENCH_RUNS"))) : 3;
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
    test::TempFolder work;
    // The default destination the jobs switch is kept apart from the caller's.
    environment.emplace_back("HOME", work.path());
    environment.emplace_back("FOLYANT_SYSCONFDIR", FOLYANT_DEV_SYSCONF);

    std::printf(
        "%-36s %6s %10s %10s %7s %7s\n", "document", "pages", "soffice s", "ours s", "ratio", "words");
    for (int i = 1; i < argc; ++i) {
        const std::string document = argv[i];
        int pages = -1;
        std::set<std::string> theirs;
        std::set<std::string> words;
        const double office = medianSeconds(runs, [&] {
            test::TempFolder profile;
            test::runProgram("/usr/bin/soffice",
                {"--headless", "-env:UserInstallation=file://" + profile.path(), "--convert-to", "pdf",
                    "--outdir", work.path(), document});
            const std::string made = work.file(fs::path(document).stem().string() + ".pdf");
            theirs = test::wordsOf(test::pdfText(made));
            fs::remove(made);
        });
        const double ours = medianSeconds(runs, [&] {
            const std::string pdf = work.file("ours.pdf");
            test::runProgram(FOLYANT_ZEVCONVERTER, {document, pdf}, {}, environment);
            pages = test::pdfPageCount(pdf);
            words = test::wordsOf(test::pdfText(pdf));
            fs::remove(pdf);
        });
        std::size_t kept = 0;
        for (const std::string& word : theirs)
            kept += words.count(word);
        std::printf("%-36s %6d %10.2f %10.2f %7.2f %6.0f%%\n", fs::path(document).filename().c_str(), pages,
            office, ours, ours / office,
            theirs.empty() ? 0.0 : 100.0 * static_cast<double>(kept) / static_cast<double>(theirs.size()));
    }
    return 0;
}
