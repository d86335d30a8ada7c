// The backend's and the spooler layer's own rules, without a print system.
#include "backend/ConversionSlots.h"
#include "backend/JobOptions.h"
#include "backend/JobOwner.h"
#include "backend/OutputName.h"
#include "platform/Spooler.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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
        EXPECT_EQ(backend::baseNameForTitle(title), base) << title;
    const std::string longTitle(150, 'x');
    EXPECT_LE(backend::baseNameForTitle(
                  longTitle + "한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글한글")
                  .size(),
        200u);
}

TEST(OutputNames, NeverOverwrite)
{
    TempFolder folder;
    test::writeFile(folder.file("report.pdf"), "precious");
    EXPECT_EQ(backend::reserveUniquePdf(folder.path(), "report"), folder.file("report (2).pdf"));
    EXPECT_EQ(backend::reserveUniquePdf(folder.path(), "report"), folder.file("report (3).pdf"));
    EXPECT_EQ(test::readFile(folder.file("report.pdf")), "precious");
    EXPECT_EQ(backend::reserveUniquePdf(folder.file("missing"), "x"), "");
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
