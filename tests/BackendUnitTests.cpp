// The backend's and the spooler layer's own rules, without a print system.
#include "backend/ConversionSlots.h"
#include "backend/JobOptions.h"
#include "backend/JobOwner.h"
#include "platform/OutputName.h"
#include "platform/Spooler.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

TEST(OutputNames, FromTitles)
{
    const std::pair<std::string, std::string> cases[] = {
        {"report.ps", "report"},
        {"보고서 2026", "보고서 2026"},
        {"見積書.pdf", "見積書"},
        {"../../etc/passwd", "_.._etc_passwd"},
        {"a/b\\c", "a_b_c"},
        {".hidden", "hidden"},
        {"...", "Untitled"},
        {"", "Untitled"},
        {"tab\there\nnew", "tabherenew"},
        {"bad\xff utf8", "bad_ utf8"},
        {"bad\xff\xfe.pdf", "bad__"},
        {"\xc0\xaf"
         "etc\xc0\xafpasswd",
            "__etc__passwd"},
        {"\xe0\x80\xaf", "___"},
        {"\xed\xa0\x80", "___"},
        {"\xf4\x90\x80\x80", "____"},
        {"\xf0\x9f\x98\x80 ok", "\xf0\x9f\x98\x80 ok"},
        {"invoice%d",
            "invoice\xef\xbc\x85"
            "d"},
        {"Sales 100% report", "Sales 100\xef\xbc\x85 report"},
        {"Microsoft Word - A.doc", "Microsoft Word - A"},
        {"report.xls", "report"},
        {"picture.png", "picture"},
        {"slides.pptx", "slides"},
        {"archive.tar.gz", "archive.tar"},
        {"Version 2.0", "Version 2.0"},
        {"Mr. Smith", "Mr. Smith"},
        {"total 3.5kg", "total 3.5kg"},
        {"Wait...", "Wait..."},
        {"見積書.xlsx", "見積書"},
        {"notes.backup", "notes.backup"},
    };
    for (const auto& [title, base] : cases)
        EXPECT_EQ(names::baseNameForTitle(title), base) << title;
    const std::string longTitle(150, 'x');
    EXPECT_LE(names::baseNameForTitle(
                  longTitle + "한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글")
                  .size(),
        200u);
}

TEST(OutputNames, NeverOverwrite)
{
    TempFolder folder;
    test::writeFile(folder.file("report.pdf"), "precious");
    EXPECT_EQ(names::reserveUniquePdf(folder.path(), "report"), folder.file("report (2).pdf"));
    EXPECT_EQ(names::reserveUniquePdf(folder.path(), "report"), folder.file("report (3).pdf"));
    EXPECT_EQ(test::readFile(folder.file("report.pdf")), "precious");
    EXPECT_EQ(names::reserveUniquePdf(folder.file("missing"), "x"), "");
    std::filesystem::create_symlink(folder.file("elsewhere.pdf"), folder.file("report (4).pdf"));
    EXPECT_EQ(names::reserveUniquePdf(folder.path(), "report"), folder.file("report (5).pdf"));
    EXPECT_FALSE(test::fileExists(folder.file("elsewhere.pdf"))) << "a link is not followed";
    struct stat info { };
    ASSERT_EQ(::stat(folder.file("report (5).pdf").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "a reserved PDF is its user's alone";
}

TEST(OutputNames, TemplateTokens)
{
    // 2026-03-04 05:06:07 local time.
    std::tm moment{};
    moment.tm_year = 126;
    moment.tm_mon = 2;
    moment.tm_mday = 4;
    moment.tm_hour = 5;
    moment.tm_min = 6;
    moment.tm_sec = 7;
    moment.tm_isdst = -1;
    int counted = 0;
    names::NameFields fields{"Quarterly report.docx", "mina", "417", "pc-12.example", std::mktime(&moment),
        [&counted] { return std::to_string(++counted + 6); }};
    const struct {
        const char* nameTemplate;
        const char* name;
        int counterCalls;
    } cases[] = {
        {"", "Quarterly report", 0},
        {"<Title>", "Quarterly report", 0},
        {"<title> by <USER>", "Quarterly report by mina", 0},
        {"<Date:%Y-%m-%d> <Title>", "2026-03-04 Quarterly report", 0},
        {"<Date:%H.%M.%S>", "05.06.07", 0},
        {"<Date:%d.%b>", "04.Mar", 0}, // a date is no extension to drop
        {"<Date:>", "2026-03-04", 0},
        {"<Date:%D>", "03_04_26", 0}, // a "/" of the date is no folder
        {"Job <JobId> from <Host>", "Job 417 from pc-12.example", 0},
        {"scan-<Counter>", "scan-7", 1},
        {"<Counter>-<Counter>", "7-7", 1}, // one job, one number
        {"<Title>.<Counter>", "Quarterly report.7", 1},
        {"100% <Title>", "100\xef\xbc\x85 Quarterly report", 0},
        {"<Date:%%d>",
            "\xef\xbc\x85"
            "d",
            0},
        {"../<User>/x", "_mina_x", 0},
        {"<User>/../x", "mina_.._x", 0},
        {".<User>", "mina", 0},
        {"a\tb<Unknown>c", "ab<Unknown>c", 0},
        {"<<Title>>", "<Quarterly report>", 0},
        {"<Title", "<Title", 0},
        {"보고서 <User> 見積", "보고서 mina 見積", 0},
        {"<Host>", "Untitled", 0},
    };
    for (const auto& each : cases) {
        counted = 0;
        names::NameFields these = fields;
        if (std::string(each.nameTemplate) == "<Host>")
            these.host.clear();
        EXPECT_EQ(names::expandTemplate(each.nameTemplate, these), each.name) << each.nameTemplate;
        EXPECT_EQ(counted, each.counterCalls) << each.nameTemplate;
    }
    fields.user = "evil/../\x01name";
    EXPECT_EQ(names::expandTemplate("<User>", fields), "evil_.._name");
}

TEST(OutputNames, ATemplateThatRepeatsNeverOverwrites)
{
    TempFolder folder;
    const names::NameFields fields{"Daily.ps", "mina", "1", "localhost", std::time(nullptr), {}};
    const std::string base = names::expandTemplate("<User> <Title>", fields);
    test::writeFile(folder.file(base + ".pdf"), "%PDF yesterday's");
    EXPECT_EQ(names::reserveUniquePdf(folder.path(), base), folder.file("mina Daily (2).pdf"));
    EXPECT_EQ(names::reserveUniquePdf(folder.path(), names::expandTemplate("<User> <Title>", fields)),
        folder.file("mina Daily (3).pdf"));
    EXPECT_EQ(test::readFile(folder.file("mina Daily.pdf")), "%PDF yesterday's");
}

TEST(OutputNames, TheCounterIsTheUsersAndNeverRepeats)
{
    TempFolder home;
    const std::string state = names::stateFolder(home.path(), nullptr);
    EXPECT_EQ(state, home.file(".local/state/folyant"));
    EXPECT_EQ(names::stateFolder(home.path(), "/run/state"), "/run/state/folyant");
    EXPECT_EQ(names::stateFolder(home.path(), "relative"), state);

    EXPECT_EQ(names::advanceCounter(state), 1);
    struct stat info { };
    ASSERT_EQ(::stat(state.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(names::advanceCounter(state), 2);

    // Two jobs at once: every number once.
    constexpr int kEach = 40;
    const auto count = [&state](int pipe) {
        for (int i = 0; i < kEach; ++i) {
            const long long got = names::advanceCounter(state).value_or(-1);
            (void)!::write(pipe, &got, sizeof got);
        }
    };
    int pipes[2];
    ASSERT_EQ(::pipe(pipes), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        count(pipes[1]);
        ::_exit(0);
    }
    count(pipes[1]);
    int status = 0;
    ::waitpid(other, &status, 0);
    ::close(pipes[1]);
    std::vector<long long> numbers;
    long long got = 0;
    while (::read(pipes[0], &got, sizeof got) == sizeof got)
        numbers.push_back(got);
    ::close(pipes[0]);
    std::sort(numbers.begin(), numbers.end());
    ASSERT_EQ(numbers.size(), 2u * kEach);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(numbers[i], static_cast<long long>(i) + 3);

    // Rubbish in the file starts it again; a link there is replaced, not followed.
    test::writeFile(state + "/counter", "many");
    EXPECT_EQ(names::advanceCounter(state), 1);
    test::writeFile(home.file("target"), "41\n");
    std::filesystem::remove(state + "/counter");
    std::filesystem::create_symlink(home.file("target"), state + "/counter");
    EXPECT_FALSE(names::advanceCounter(state)) << "the value behind a link is not taken";
    EXPECT_EQ(test::readFile(home.file("target")), "41\n");

    // A lock held by someone else is waited on a while, then given up.
    std::filesystem::remove(state + "/counter");
    const int lock = ::open((state + "/counter.lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    EXPECT_FALSE(names::advanceCounter(state));
    ::close(lock);
    EXPECT_EQ(names::advanceCounter(state), 1);

    // A folder that cannot be made.
    test::writeFile(home.file("file"), "");
    EXPECT_FALSE(names::advanceCounter(home.file("file/folyant")));
}

TEST(OutputNames, TheUsersTemplate)
{
    TempFolder config;
    EXPECT_FALSE(names::userTemplate(config.path()));
    std::filesystem::create_directories(config.file("Quorvale"));
    test::writeFile(config.file("Quorvale/Folyant Velmo.conf"), "[Settings]\nOutputName=<Date:%Y> <Title>\n");
    EXPECT_EQ(names::userTemplate(config.path()), "<Date:%Y> <Title>");
    test::writeFile(config.file("Quorvale/Folyant Velmo.conf"), "[Settings]\nOutputName=\n");
    EXPECT_FALSE(names::userTemplate(config.path())) << "an empty one leaves the machine's";
    std::filesystem::remove(config.file("Quorvale/Folyant Velmo.conf"));
    ASSERT_EQ(::mkfifo(config.file("Quorvale/Folyant Velmo.conf").c_str(), 0600), 0);
    EXPECT_FALSE(names::userTemplate(config.path())) << "a FIFO is not waited on";
}

TEST(JobOptions, QualityChoices)
{
    EXPECT_EQ(backend::qualityFromOptions("FolyantQuality=Prepress"), 0);
    EXPECT_EQ(backend::qualityFromOptions("media=A4 FolyantQuality=screen"), 2);
    EXPECT_EQ(backend::qualityFromOptions("FolyantQuality=Printer"), 1);
    EXPECT_EQ(backend::qualityFromOptions("FolyantQuality=Best"), std::nullopt);
    EXPECT_EQ(backend::qualityFromOptions(""), std::nullopt);
}

// Whose folder a job may reach: a name only the client wrote never counts
// for a job from another machine.
TEST(JobOwner, WhoVouchesForTheName)
{
    using backend::Ownership;
    struct Case {
        backend::JobOrigin origin;
        Ownership expected;
    };
    const Case cases[] = {
        // Peer credentials over the local socket, and a password over the network.
        {{"alice", "alice", "none", "localhost"}, Ownership::Authenticated},
        {{"alice", "alice", "", "192.0.2.7"}, Ownership::Authenticated},
        {{"alice", "bob", "none", "192.0.2.7"}, Ownership::Mismatch},
        // Nobody authenticated it: this machine's jobs go by the queue's policy.
        {{"alice", "", "", "localhost"}, Ownership::Local},
        {{"alice", "", "", "127.0.0.1"}, Ownership::Local},
        {{"alice", "", "", "[::1]"}, Ownership::Local},
        {{"alice", "", "", ""}, Ownership::Local},
        {{"root", "", "", "192.0.2.7"}, Ownership::RemoteUnauthenticated},
        {{"alice", "", "", "client.example"}, Ownership::RemoteUnauthenticated},
        {{"alice", "", "", "localhost.example"}, Ownership::RemoteUnauthenticated},
        {{"alice", "", "", "[2001:db8::1]"}, Ownership::RemoteUnauthenticated},
        // A queue that asks clients for auth-info hands on whatever name they sent.
        {{"alice", "alice", "username,password", "192.0.2.7"}, Ownership::RemoteUnauthenticated},
    };
    for (const Case& each : cases)
        EXPECT_EQ(backend::judgeOwnership(each.origin), each.expected)
            << each.origin.user << " / " << each.origin.authenticatedUser << " from " << each.origin.host;
}

bool neverCancelled()
{
    return false;
}

// A place is held only while its holder lives, and a full machine makes the
// next job wait, not run.
TEST(ConversionSlots, PlacesAreCountedAndFreed)
{
    TempFolder folder;
    backend::ConversionSlot first;
    backend::ConversionSlot second;
    backend::ConversionSlot third;
    ASSERT_EQ(backend::takeSlot(folder.path(), 2, 0, neverCancelled, first), backend::SlotWait::Taken);
    ASSERT_EQ(backend::takeSlot(folder.path(), 2, 0, neverCancelled, second), backend::SlotWait::Taken);
    EXPECT_EQ(backend::takeSlot(folder.path(), 2, 0, neverCancelled, third), backend::SlotWait::TimedOut);
    EXPECT_FALSE(third.held());
    first = backend::ConversionSlot();
    EXPECT_EQ(backend::takeSlot(folder.path(), 2, 0, neverCancelled, third), backend::SlotWait::Taken);
    EXPECT_EQ(
        backend::takeSlot(folder.file("missing"), 2, 0, neverCancelled, first), backend::SlotWait::Unusable);
}

// Only a folder no user can enter holds the places: anything a user could
// create or lock there would hold up every job.
TEST(ConversionSlots, FolderMustBeRootsAlone)
{
    TempFolder folder;
    std::string reason;
    const std::string places = folder.file("places");
    const bool asRoot = ::geteuid() == 0;
    EXPECT_EQ(backend::prepareSlotFolder(places, reason), asRoot) << reason;
    if (asRoot) {
        struct stat info { };
        ASSERT_EQ(::stat(places.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700U);
        ASSERT_EQ(::chmod(places.c_str(), 0755), 0);
        EXPECT_FALSE(backend::prepareSlotFolder(places, reason));
        ASSERT_EQ(::chmod(places.c_str(), 0700), 0);
        ASSERT_EQ(::chown(places.c_str(), 1, 1), 0);
        EXPECT_FALSE(backend::prepareSlotFolder(places, reason));
    }
    ASSERT_EQ(::symlink(folder.path().c_str(), folder.file("link").c_str()), 0);
    EXPECT_FALSE(backend::prepareSlotFolder(folder.file("link"), reason));
}

TEST(JobOptions, TheHostAJobCameFrom)
{
    // As cupsd passes them: a job of this machine says localhost.
    const std::string seen = "finishings=3 job-uuid=urn:uuid:5de6 job-originating-host-name=localhost "
                             "date-time-at-creation= time-at-creation=1796786819";
    const std::pair<std::string, std::string> cases[] = {
        {seen, "here"},
        {"job-originating-host-name=pc-12.example.org", "pc-12.example.org"},
        {"job-originating-host-name=192.0.2.7 copies=2", "192.0.2.7"},
        {"job-originating-host-name=127.0.0.1", "here"},
        {"job-originating-host-name=::1", "here"},
        {"job-originating-host-name=[::1]", "here"},
        {"job-originating-host-name=/run/cups/cups.sock", "here"},
        {"copies=1", "here"},
        {"", "here"},
    };
    for (const auto& [options, host] : cases)
        EXPECT_EQ(backend::originatingHost(options, "here"), host) << options;
}

TEST(Spooler, NamesAndFamilies)
{
    EXPECT_EQ(spooler::queueName("Folyant Velmo"), "Folyant_Velmo");
    EXPECT_EQ(spooler::deviceUriOf("Folyant Velmo Port Monitor", "PPD:"), "folyant:/PPD");
    EXPECT_EQ(spooler::deviceUriOf("folyant velmo port monitor", "Folyant Velmo Port:"),
        "folyant:/Folyant_Velmo_Port");
    EXPECT_FALSE(spooler::IsWin9x(0x00000004u));
    EXPECT_FALSE(spooler::IsWin9x(0x80000003u)) << "high bit with major 3 is the NT family";
    EXPECT_TRUE(spooler::IsWin9x(0x80000004u));
    EXPECT_FALSE(spooler::IsWin9x(spooler::GetVersion()));
}

} // namespace
