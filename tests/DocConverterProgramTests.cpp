// zevConverter as a user runs it: real LibreOffice, a private cupsd with the
// virtual printer and our backend, and a throw-away user whose default
// destination, hand-off and files the jobs use.
#include "docconverter/core/ExitCodes.h"
#include "tests/support/CupsDaemon.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

const std::string kCorpus = std::string(FOLYANT_TEST_DATA) + "/office/";

// At least 95% of the words of LibreOffice's own PDF are in ours.
void expectWordsKept(const std::set<std::string>& theirs, const std::string& pdf)
{
    const auto ours = test::wordsOf(test::pdfText(pdf));
    ASSERT_GE(theirs.size(), 5u) << "a document with text";
    std::size_t kept = 0;
    std::string missing;
    for (const std::string& word : theirs) {
        if (ours.count(word))
            ++kept;
        else
            missing += word + " ";
    }
    EXPECT_GE(kept * 100, theirs.size() * 95) << kept << " of " << theirs.size() << "; missing: " << missing;
}

// An HWP 5 import extension installed for all users (by unopkg --shared, or a
// distribution's package among the bundled ones): every office profile sees
// it, the suite's own included.
bool hwpImportForAllUsers()
{
    for (const char* folder : {"/usr/lib/libreoffice/share/uno_packages/cache/uno_packages",
             "/usr/lib/libreoffice/share/extensions"}) {
        std::error_code error;
        for (std::filesystem::recursive_directory_iterator entry(folder, error), end; !error && entry != end;
             entry.increment(error)) {
            std::string name = entry->path().filename().string();
            std::transform(
                name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
            if (name.find("h2orestart") != std::string::npos)
                return true;
        }
    }
    return false;
}

TEST(DocConverterProgram, UsageAndRefusalsWithoutAPrintSystem)
{
    TempFolder folder;
    auto result = test::runProgram(FOLYANT_ZEVCONVERTER, {folder.file("missing.doc"), folder.file("x.pdf")});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_EQ(result.err,
        "Folyant Error: '" + folder.file("missing.doc") + "' 파일이 열려있거나, 올바르지 않는 파일입니다.\n");

    result = test::runProgram(FOLYANT_ZEVCONVERTER, {"--help"});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess);
    EXPECT_NE(result.out.find("zevConverter DOCUMENT PDF"), std::string::npos);
    result = test::runProgram(FOLYANT_ZEVCONVERTER, {"one"});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kUsage);
    EXPECT_NE(result.err.find("Usage:"), std::string::npos);
    result = test::runProgram(FOLYANT_ZEVCONVERTER, {"  ", folder.file("x.pdf")});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kUsage) << "empty names do nothing";
}

class Routes : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!account.exists())
            GTEST_SKIP() << "the print system and a second user need root; run these tests as root";
        if (!daemon.running())
            GTEST_SKIP() << "cupsd could not be started";
        if (!test::fileExists("/usr/bin/soffice"))
            GTEST_SKIP() << "LibreOffice is not installed";
        ASSERT_EQ(test::runProgram(FOLYANT_PRNINSTALL, {}, {}, daemon.environment()).exitCode, 0);
        out = account.home() + "/out";
        std::filesystem::create_directories(out);
        account.own(out);
    }

    // zevConverter as the user, with the private print system; HOME is the
    // account's unless given, and the working folder the user's home.
    test::ProcessResult convert(const std::string& document, const std::string& pdf,
        const std::string& path = "/usr/local/bin:/usr/bin:/bin", const std::string& home = {},
        const std::string& workingFolder = {})
    {
        return test::runProgram("/usr/sbin/runuser",
            {"-u", account.name(), "--", "/usr/bin/env", "-C",
                workingFolder.empty() ? account.home() : workingFolder,
                "HOME=" + (home.empty() ? account.home() : home), "PATH=" + path,
                "CUPS_SERVER=" + daemon.socket(), "FOLYANT_SYSCONFDIR=" FOLYANT_DEV_SYSCONF, "LANG=C.UTF-8",
                "TMPDIR=/tmp", FOLYANT_ZEVCONVERTER, document, pdf});
    }
    std::string lpoptions() const { return test::readFile(account.home() + "/.cups/lpoptions"); }
    bool hasLpoptions() const { return test::fileExists(account.home() + "/.cups/lpoptions"); }
    std::string state() const { return account.home() + "/.local/state/folyant"; }
    // LibreOffice's own PDF export of the document, in pdfs; empty when it made none.
    static std::string officePdf(const std::string& document, const TempFolder& pdfs)
    {
        TempFolder profile;
        test::runProgram("/usr/bin/soffice",
            {"--headless", "-env:UserInstallation=file://" + profile.path(), "--convert-to", "pdf",
                "--outdir", pdfs.path(), document});
        const auto made = test::filesBelow(pdfs.path());
        return made.empty() ? std::string() : pdfs.file(made.front());
    }
    int officePages(const std::string& document)
    {
        TempFolder pdfs;
        const std::string pdf = officePdf(document, pdfs);
        return pdf.empty() ? -1 : test::pdfPageCount(pdf);
    }
    std::string officeText(const std::string& document)
    {
        TempFolder pdfs;
        const std::string pdf = officePdf(document, pdfs);
        return pdf.empty() ? std::string() : test::pdfText(pdf);
    }
    // Nothing of a job is left: no temporary file beside a PDF, no armed
    // record, no spool file.
    void expectNothingLeft()
    {
        for (const std::string& file : test::filesBelow(out))
            EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
        const std::string record = test::readFile(state() + "/handoff.conf");
        EXPECT_EQ(record.find("Ask%20Name=0"), std::string::npos) << record;
        EXPECT_FALSE(test::fileExists(state() + "/temp.ps"));
    }

    test::ThrowAwayUser account;
    test::CupsDaemon daemon;
    std::string out;
};

TEST_F(Routes, EachRouteGivesAStampedPdfAndPutsTheDefaultBack)
{
    bool withDefault = false;
    for (const char* name : {"poi-SampleDoc.doc", "tika-testRTF-word2003.rtf", "poi-Employee.xls",
             "poi-15556-korean.xls", "poi-SampleShow.ppt", "tika-testHWP_3.0.hwp"}) {
        // Half the jobs with a default destination of the user's own, half without.
        if (withDefault)
            test::runProgram("/usr/sbin/runuser",
                {"-u", account.name(), "--", "/usr/bin/env", "HOME=" + account.home(),
                    "CUPS_SERVER=" + daemon.socket(), "lpoptions", "-d", "Folyant_Velmo", "-o", "media=A4"});
        const std::string before = lpoptions();
        const bool hadChoices = hasLpoptions();

        SCOPED_TRACE(name);
        const std::string document = kCorpus + name;
        const std::string pdf = out + "/" + name + ".pdf";
        const auto result = convert(document, pdf);
        EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << name << result.err;
        EXPECT_NE(result.err.find("변환이 성공적으로 완료되었습니다."), std::string::npos) << result.err;
        const int pages = test::pdfPageCount(pdf);
        // LibreOffice prints two of the four pages its PDF export makes of the
        // Korean sheet (its print ranges), as its own print to a file does.
        EXPECT_EQ(pages, std::string(name) == "poi-15556-korean.xls" ? 2 : officePages(document)) << name;
        EXPECT_EQ(test::pagesWithStamp(pdf, pages), pages) << name;
        EXPECT_EQ(hasLpoptions(), hadChoices) << name;
        EXPECT_EQ(lpoptions(), before) << name << ": the default destination is as it was";
        expectNothingLeft();
        withDefault = !withDefault;
    }
    EXPECT_TRUE(test::filesBelow(daemon.outputFolder()).empty())
        << "handed-off jobs make no PDF of their own";
}

TEST_F(Routes, FailuresAreToldAndLeaveNothing)
{
    // No office program on PATH: the route's own message, then the failure.
    auto result = convert(kCorpus + "poi-SampleDoc.doc", out + "/missing-office.pdf", "/nonexistent");
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_NE(result.err.find("MS Word가 시스템에 설치 되어야 합니다."), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("변환에 실패하였습니다."), std::string::npos) << result.err;
    result = convert(kCorpus + "poi-Employee.xls", out + "/missing-office.pdf", "/nonexistent");
    EXPECT_NE(result.err.find("MS Excel이 시스템에 설치 되어야 합니다."), std::string::npos) << result.err;

    // A document LibreOffice cannot open: a compound file without Word's
    // streams (LibreOffice would print any plain bytes as text).
    const std::string garbage = out + "/broken.doc";
    test::writeFile(garbage, test::readFile(kCorpus + "pyhwp-sample-5017.hwp"));
    account.own(garbage);
    result = convert(garbage, out + "/broken.pdf");
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_EQ(result.err.find("변환이 성공"), std::string::npos);

    EXPECT_FALSE(test::fileExists(out + "/broken.pdf"));

    // HWP 5 without an import extension: the failure, and why.
    if (!hwpImportForAllUsers()) {
        result = convert(kCorpus + "pyhwp-sample-5017.hwp", out + "/hwp5.pdf");
        EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
        EXPECT_NE(result.err.find("HWP import extension"), std::string::npos) << result.err;
    }

    // A type of no route: printed as usual by the printer, which makes its own
    // PDF, and the job fails.
    const std::string text = out + "/notes.txt";
    test::writeFile(text, "Plain notes\n");
    account.own(text);
    result = convert(text, out + "/notes.pdf");
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_FALSE(test::fileExists(out + "/notes.pdf"));
    EXPECT_FALSE(hasLpoptions()) << "no choice of the user's own before, none after";
    expectNothingLeft();
}

TEST_F(Routes, TheDocumentsTextIsKept)
{
    // Latin through the print-to-file route, CJK through the hand-off: the
    // words LibreOffice's own export finds are in our PDF too.
    for (const char* name : {"poi-SampleDoc.doc", "tika-testRTF-word2003.rtf", "poi-54880_chinese.ppt"}) {
        SCOPED_TRACE(name);
        const std::string pdf = out + "/" + name + ".pdf";
        const auto result = convert(kCorpus + name, pdf);
        ASSERT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
        expectWordsKept(test::wordsOf(officeText(kCorpus + name)), pdf);
    }
}

TEST_F(Routes, AnHwp5DocumentKeepsItsTextWhereAnImportExtensionIsInstalled)
{
    if (!test::fileExists("/usr/bin/java")
        || !test::fileExists("/usr/lib/libreoffice/program/classes/libreoffice.jar"))
        GTEST_SKIP() << "the HWP 5 import extension needs Java and LibreOffice's Java support "
                        "(default-jre-headless, libreoffice-java-common)";
    const std::string document = kCorpus + "hwpjs-noori.hwp";
    const auto asUser = [this](const std::vector<std::string>& command) {
        std::vector<std::string> arguments{"-u", account.name(), "--", "/usr/bin/env",
            "HOME=" + account.home(), "PATH=/usr/local/bin:/usr/bin:/bin", "LANG=C.UTF-8"};
        arguments.insert(arguments.end(), command.begin(), command.end());
        return test::runProgram("/usr/sbin/runuser", arguments);
    };
    // Without one for all users on this machine, the extension goes into the
    // profile of the user's office alone, the way unopkg installs it for one
    // profile, and LibreOffice's own export uses that profile too.
    std::string profile = out + "/export-profile";
    if (!hwpImportForAllUsers()) {
        const std::string office = state() + "/office";
        profile = office + "/profile-hwp5";
        std::filesystem::create_directories(profile);
        account.own(account.home() + "/.local");
        for (const std::string& folder : {state(), office, profile})
            ::chmod(folder.c_str(), 0700);
        const auto added
            = asUser({"/usr/lib/libreoffice/program/unopkg", "add", "-env:UserInstallation=file://" + profile,
                std::string(FOLYANT_TEST_DATA) + "/extensions/H2Orestart.oxt"});
        ASSERT_EQ(added.exitCode, 0) << added.err;
    }
    // LibreOffice's own PDF first: the warm office keeps the profile while it runs.
    const std::string theirs = out + "/theirs";
    std::filesystem::create_directories(theirs);
    account.own(theirs);
    asUser({"/usr/bin/soffice", "--headless", "-env:UserInstallation=file://" + profile, "--convert-to",
        "pdf", "--outdir", theirs, document});
    const auto words = test::wordsOf(test::pdfText(theirs + "/hwpjs-noori.pdf"));
    ASSERT_GE(words.size(), 50u) << "LibreOffice opened the document with the extension";

    const auto result = convert(document, out + "/hwp5.pdf");
    ASSERT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
    expectWordsKept(words, out + "/hwp5.pdf");
    test::endOffice(state() + "/office");
}

TEST_F(Routes, DocumentsThatCannotPrintFailAtOnceWithTheReason)
{
    const std::string noise = out + "/random.doc";
    std::string bytes(20000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    test::writeFile(noise, bytes);
    account.own(noise);
    const std::pair<std::string, const char*> cases[] = {
        {kCorpus + "made-password-poi-SampleDoc.doc", "is protected by a password"},
        {kCorpus + "made-password-poi-Employee.xls", "is protected by a password"},
        {kCorpus + "derived-encrypted-token-poi-SampleShow.ppt", "is protected by a password"},
        {kCorpus + "derived-password-pyhwp-sample-5017.hwp", "is protected by a password"},
        {noise, "cannot be opened"},
    };
    for (const auto& [document, reason] : cases) {
        SCOPED_TRACE(document);
        const auto result = convert(document, out + "/refused.pdf");
        EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("변환에 실패하였습니다."), std::string::npos) << result.err;
        EXPECT_FALSE(test::fileExists(out + "/refused.pdf"));
        EXPECT_FALSE(hasLpoptions()) << "refused before the default printer changed";
        expectNothingLeft();
    }
    EXPECT_TRUE(test::filesBelow(daemon.outputFolder()).empty()) << "nothing was printed";
}

TEST_F(Routes, TheHandOffIsFoundWhateverHomeSaysAndNamesMayBeRelative)
{
    // Another HOME than the account's: the backend, acting as the user, only
    // knows the account's home, and the hand-off must be found there.
    const std::string otherHome = "/tmp/folyant-other-home-" + account.name();
    std::filesystem::create_directories(otherHome);
    account.own(otherHome);
    auto result = convert(
        kCorpus + "poi-SampleShow.ppt", out + "/show.pdf", "/usr/local/bin:/usr/bin:/bin", otherHome);
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
    EXPECT_EQ(test::pdfPageCount(out + "/show.pdf"), officePages(kCorpus + "poi-SampleShow.ppt"));
    EXPECT_TRUE(test::filesBelow(daemon.outputFolder()).empty()) << "the job was handed over, not printed";
    test::endOffice(otherHome + "/.local/state/folyant/office");
    std::filesystem::remove_all(otherHome);

    // The README's own example, in the folder of the document.
    const std::string notes = out + "/notes.doc";
    test::writeFile(notes, test::readFile(kCorpus + "poi-SampleDoc.doc"));
    account.own(notes);
    result = convert("notes.doc", "notes-out.pdf", "/usr/local/bin:/usr/bin:/bin", {}, out);
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
    EXPECT_EQ(test::pagesWithStamp(out + "/notes-out.pdf", 1), 1);
    expectNothingLeft();
}

TEST_F(Routes, ADefaultThatCannotBeSwitchedStopsTheJobAndAKilledRunIsPutRight)
{
    const std::string cups = account.home() + "/.cups";
    std::filesystem::create_directories(cups);
    account.own(cups);
    const std::string choices = "Dest Folyant_Velmo media=A4\n";
    // Printed by a program that knows only the default destination.
    const std::string notes = out + "/notes.txt";
    test::writeFile(notes, "Plain notes\n");
    account.own(notes);

    // A choices folder the user cannot write.
    test::writeFile(cups + "/lpoptions", choices);
    account.own(cups + "/lpoptions");
    ::chmod(cups.c_str(), 0500);
    auto result = convert(notes, out + "/readonly.pdf");
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_NE(result.err.find("could not be switched"), std::string::npos) << result.err;
    EXPECT_EQ(lpoptions(), choices);
    EXPECT_FALSE(test::fileExists(out + "/readonly.pdf"));
    // A route that names the printer leaves the default alone: it needs no switch.
    result = convert(kCorpus + "poi-SampleDoc.doc", out + "/named.pdf");
    ::chmod(cups.c_str(), 0700);
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
    EXPECT_EQ(test::pagesWithStamp(out + "/named.pdf", 1), 1);
    EXPECT_EQ(lpoptions(), choices);

    // A choices file that is a link: neither written through nor replaced.
    std::filesystem::remove(cups + "/lpoptions");
    test::writeFile(account.home() + "/elsewhere", choices);
    account.own(account.home() + "/elsewhere");
    std::filesystem::create_symlink(account.home() + "/elsewhere", cups + "/lpoptions");
    result = convert(notes, out + "/linked.pdf");
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_NE(result.err.find("could not be switched"), std::string::npos) << result.err;
    EXPECT_TRUE(std::filesystem::is_symlink(cups + "/lpoptions"));
    EXPECT_EQ(test::readFile(account.home() + "/elsewhere"), choices);
    EXPECT_TRUE(test::filesBelow(daemon.outputFolder()).empty()) << "nothing was printed anywhere";
    std::filesystem::remove(cups + "/lpoptions");

    // A full disk: a small file system of its own on the choices folder,
    // filled up, in a mount namespace of the test's own.
    const char* fillUp
        = "mount -t tmpfs -o size=16k,mode=0700 tmpfs \"$1\" && chown \"$2\" \"$1\""
          " && printf 'Dest Folyant_Velmo media=A4\\n' > \"$1/lpoptions\" && chown \"$2\" \"$1/lpoptions\""
          " && { head -c 1M /dev/zero > \"$1/fill\"; shift 2; exec \"$@\"; }";
    result = test::runProgram("/usr/bin/unshare",
        {"--mount", "--propagation", "private", "/bin/sh", "-c", fillUp, "sh", cups, account.name(),
            "/usr/sbin/runuser", "-u", account.name(), "--", "/usr/bin/env", "HOME=" + account.home(),
            "CUPS_SERVER=" + daemon.socket(), "FOLYANT_SYSCONFDIR=" FOLYANT_DEV_SYSCONF, "LANG=C.UTF-8",
            "TMPDIR=/tmp", FOLYANT_ZEVCONVERTER, notes, out + "/full.pdf"});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed) << result.err;
    EXPECT_NE(result.err.find("could not be switched"), std::string::npos) << result.err;
    EXPECT_FALSE(test::fileExists(out + "/full.pdf"));
    EXPECT_TRUE(test::filesBelow(daemon.outputFolder()).empty()) << "nothing was printed on a full disk";

    // What a run killed mid-job leaves: the switched default, its record,
    // an office profile. The next job, even one that fails, puts all right.
    test::writeFile(cups + "/lpoptions", "Default Folyant_Velmo\n");
    test::writeFile(cups + "/lpoptions.folyant-saved",
        "folyant saved printer choices\n" + cups + "/lpoptions\npresent\n" + choices);
    const std::string profile = "/tmp/folyant-office-killed-" + account.name();
    std::filesystem::create_directories(profile + "/user");
    for (const std::string& path :
        {cups + "/lpoptions", cups + "/lpoptions.folyant-saved", profile, profile + "/user"})
        account.own(path);
    const std::string empty = out + "/empty.doc";
    test::writeFile(empty, "");
    account.own(empty);
    result = convert(empty, out + "/empty.pdf");
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_EQ(lpoptions(), choices) << "the default of before the killed run";
    EXPECT_FALSE(test::fileExists(cups + "/lpoptions.folyant-saved"));
    EXPECT_FALSE(test::fileExists(profile));
}

TEST_F(Routes, WithoutTheVirtualPrinterNothingChanges)
{
    ASSERT_EQ(test::runProgram(FOLYANT_PRNREMOVE, {}, {}, daemon.environment()).exitCode, 0);
    const auto result = convert(kCorpus + "poi-SampleDoc.doc", out + "/x.pdf");
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_EQ(result.err, "Folyant Error: Invalid installation : Folyant Driver\n");
    EXPECT_FALSE(hasLpoptions());
}

TEST_F(Routes, TwoJobsAtOnceKeepTheirOwnPostScript)
{
    std::thread first([&] {
        const auto result = convert(kCorpus + "poi-SampleShow.ppt", out + "/show.pdf");
        EXPECT_EQ(result.exitCode, 0) << result.err;
    });
    const auto second = convert(kCorpus + "poi-bullets.ppt", out + "/bullets.pdf");
    first.join();
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(test::pdfPageCount(out + "/show.pdf"), officePages(kCorpus + "poi-SampleShow.ppt"));
    EXPECT_EQ(test::pdfPageCount(out + "/bullets.pdf"), officePages(kCorpus + "poi-bullets.ppt"));
    EXPECT_FALSE(hasLpoptions());
}

// Folders other users write in: a PostScript file another user planted under
// the job's temporary name is never converted (a sticky share like /tmp), and a
// symbolic link planted at the PDF's name is replaced, never written through
// (a share without the sticky bit, where the system does not refuse links).
TEST_F(Routes, WhatAnotherUserPlantsInASharedFolderIsNeitherConvertedNorWrittenThrough)
{
    test::ThrowAwayUser hostile;
    ASSERT_TRUE(hostile.exists());
    const std::string planted
        = "%!PS\n/Helvetica findfont 24 scalefont setfont 72 700 moveto (PLANTED BY ANOTHER USER) show "
          "showpage\n%%EOF\n";
    const std::string keep = account.home() + "/keep.txt";
    test::writeFile(keep, "the victim's own file\n");
    account.own(keep);
    for (const auto mode :
        {std::filesystem::perms::all | std::filesystem::perms::sticky_bit, std::filesystem::perms::all}) {
        TempFolder share;
        std::filesystem::permissions(share.path(), mode);
        test::writeFile(share.file("report.tmp"), planted);
        std::filesystem::create_symlink(keep, share.file("link.pdf"));
        hostile.own(share.file("report.tmp"));
        hostile.own(share.file("link.pdf"));

        const auto result = convert(kCorpus + "poi-SampleDoc.doc", share.file("report.pdf"));
        EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
        const std::string text = test::pdfText(share.file("report.pdf"));
        EXPECT_EQ(text.find("PLANTED"), std::string::npos) << "another user's PostScript became the PDF";
        EXPECT_NE(text.find("Folyant Velmo"), std::string::npos) << text.substr(0, 400);
        EXPECT_EQ(test::readFile(share.file("report.tmp")), planted) << "not ours to touch";

        if ((mode & std::filesystem::perms::sticky_bit) == std::filesystem::perms::none) {
            const auto linked = convert(kCorpus + "poi-SampleDoc.doc", share.file("link.pdf"));
            EXPECT_EQ(linked.exitCode, docconverter::exitcode::kSuccess) << linked.err;
            EXPECT_EQ(test::readFile(keep), "the victim's own file\n") << "written through the link";
            EXPECT_FALSE(std::filesystem::is_symlink(share.file("link.pdf")));
            EXPECT_GT(test::pdfPageCount(share.file("link.pdf")), 0);
        }
        for (const auto& entry : std::filesystem::directory_iterator(share.path())) {
            const std::string file = entry.path().filename().string();
            EXPECT_TRUE(file == "report.tmp" || file == "report.pdf" || file == "link.pdf") << file;
        }
    }
}

// A document named "-p.doc" given by its relative name, and a PDF named
// "--help.pdf": names, never switches of the programs they are passed to.
TEST_F(Routes, NamesThatBeginWithADashAreNamesNotSwitches)
{
    std::filesystem::copy_file(kCorpus + "poi-SampleDoc.doc", out + "/-p.doc");
    account.own(out);
    const auto result = test::runProgram("/usr/sbin/runuser",
        {"-u", account.name(), "--", "/usr/bin/env", "-C", out, "HOME=" + account.home(),
            "PATH=/usr/local/bin:/usr/bin:/bin", "CUPS_SERVER=" + daemon.socket(),
            "FOLYANT_SYSCONFDIR=" FOLYANT_DEV_SYSCONF, "LANG=C.UTF-8", "TMPDIR=/tmp", FOLYANT_ZEVCONVERTER,
            "-p.doc", out + "/--help.pdf"});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
    const int pages = test::pdfPageCount(out + "/--help.pdf");
    EXPECT_EQ(pages, officePages(kCorpus + "poi-SampleDoc.doc"));
    EXPECT_EQ(test::pagesWithStamp(out + "/--help.pdf", pages), pages);
    expectNothingLeft();
}

TEST_F(Routes, TerminationEndsTheJobAndPutsEverythingBack)
{
    QProcess process;
    ASSERT_TRUE(test::startProgram(process, "/usr/sbin/runuser",
        {"-u", account.name(), "--", "/usr/bin/env", "HOME=" + account.home(),
            "CUPS_SERVER=" + daemon.socket(), "FOLYANT_SYSCONFDIR=" FOLYANT_DEV_SYSCONF, "PATH=/usr/bin:/bin",
            FOLYANT_ZEVCONVERTER, kCorpus + "poi-SampleShow.ppt", out + "/show.pdf"}));
    // Once the hand-off is armed, the job is under way.
    for (int i = 0;
         i < 3000 && test::readFile(state() + "/handoff.conf").find("Ask%20Name=0") == std::string::npos; ++i)
        QThread::msleep(5);
    const auto pid = test::runProgram("/usr/bin/pgrep", {"-u", account.name(), "-x", "zevConverter"}).out;
    ASSERT_FALSE(pid.empty());
    ::kill(std::stoi(pid), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), docconverter::exitcode::kTerminated)
        << process.readAllStandardError().toStdString();
    EXPECT_FALSE(test::fileExists(out + "/show.pdf"));
    EXPECT_FALSE(test::fileExists(out + "/show.tmp"));
    EXPECT_FALSE(hasLpoptions());
    expectNothingLeft();
    bool officeGone = false;
    for (int i = 0; i < 100 && !officeGone; ++i, QThread::msleep(50))
        officeGone = test::runProgram("/usr/bin/pgrep", {"-u", account.name(), "soffice"}).out.empty();
    EXPECT_TRUE(officeGone) << "the printing program was ended with the job";
}

// The user's warm office, as its folder records it.
struct OfficeRecord {
    long pid = -1;
    std::string pipe;
    int documents = 0;
};

OfficeRecord officeOf(const test::ThrowAwayUser& user)
{
    OfficeRecord record;
    std::ifstream in(user.home() + "/.local/state/folyant/office/instance");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("pid=", 0) == 0)
            record.pid = std::stol(line.substr(4));
        else if (line.rfind("pipe=", 0) == 0)
            record.pipe = line.substr(5);
        else if (line.rfind("documents=", 0) == 0)
            record.documents = std::stoi(line.substr(10));
    }
    return record;
}

// Whether a process of the user's can connect to the socket: errno, or 0.
int connectAs(const test::ThrowAwayUser& user, const std::string& socketPath)
{
    const passwd* entry = ::getpwnam(user.name().c_str());
    if (!entry)
        return -1;
    const uid_t uid = entry->pw_uid;
    const gid_t gid = entry->pw_gid;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(200);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
        const int connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::_exit(connected == 0 ? 0 : (errno & 0x7f));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string socketOf(const test::ThrowAwayUser& user, const OfficeRecord& record)
{
    return "/tmp/OSL_PIPE_" + std::to_string(::getpwnam(user.name().c_str())->pw_uid) + "_" + record.pipe;
}

// Another local user's converter never reaches the first user's warm office:
// each user has an office of their own, whose pipe only its user may connect to.
TEST_F(Routes, EachUserHasAnOfficeOfTheirOwnThatNoOtherUserReaches)
{
    ASSERT_EQ(convert(kCorpus + "poi-SampleDoc.doc", out + "/first.pdf").exitCode, 0);
    const OfficeRecord first = officeOf(account);
    ASSERT_GT(first.pid, 1) << "the office stays warm after the job";
    ASSERT_EQ(first.documents, 1);
    const std::string socket = socketOf(account, first);
    struct stat info { };
    ASSERT_EQ(::lstat(socket.c_str(), &info), 0) << socket;
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u) << "the pipe is the user's alone";
    struct stat folder { };
    ASSERT_EQ(::stat((account.home() + "/.local/state/folyant/office").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 077, 0u) << "the profile and the records are the user's alone";

    test::ThrowAwayUser other;
    ASSERT_TRUE(other.exists());
    EXPECT_EQ(connectAs(other, socket), EACCES) << "another user connected to the office's pipe";
    EXPECT_EQ(connectAs(account, socket), 0) << "its own user may";

    const std::string otherOut = other.home() + "/out";
    std::filesystem::create_directories(otherOut);
    other.own(otherOut);
    const auto result = test::runProgram("/usr/sbin/runuser",
        {"-u", other.name(), "--", "/usr/bin/env", "-C", other.home(), "HOME=" + other.home(),
            "PATH=/usr/local/bin:/usr/bin:/bin", "CUPS_SERVER=" + daemon.socket(),
            "FOLYANT_SYSCONFDIR=" FOLYANT_DEV_SYSCONF, "LANG=C.UTF-8", "TMPDIR=/tmp", FOLYANT_ZEVCONVERTER,
            kCorpus + "poi-Employee.xls", otherOut + "/theirs.pdf"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const OfficeRecord second = officeOf(other);
    EXPECT_GT(second.pid, 1);
    EXPECT_NE(second.pid, first.pid);
    EXPECT_NE(second.pipe, first.pipe);
    EXPECT_EQ(officeOf(account).documents, 1) << "the first user's office printed the other's document";
    EXPECT_EQ(::kill(static_cast<pid_t>(first.pid), 0), 0) << "the first user's office is untouched";
    test::endOffice(other.home() + "/.local/state/folyant/office");
}

// A warm office that died (killed, crashed) is noticed and replaced; the
// next document is printed as if nothing happened.
TEST_F(Routes, ADeadOfficeIsStartedAfresh)
{
    ASSERT_EQ(convert(kCorpus + "poi-SampleDoc.doc", out + "/first.pdf").exitCode, 0);
    const OfficeRecord dead = officeOf(account);
    ASSERT_GT(dead.pid, 1);
    ASSERT_EQ(::kill(static_cast<pid_t>(-dead.pid), SIGKILL), 0);
    for (int i = 0; i < 100 && ::kill(static_cast<pid_t>(dead.pid), 0) == 0; ++i)
        QThread::msleep(50);

    const auto result = convert(kCorpus + "tika-testRTF-word2003.rtf", out + "/second.pdf");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_GT(test::pdfPageCount(out + "/second.pdf"), 0);
    const OfficeRecord fresh = officeOf(account);
    EXPECT_NE(fresh.pid, dead.pid);
    EXPECT_NE(fresh.pipe, dead.pipe) << "a new pipe name for every start";
    EXPECT_EQ(fresh.documents, 1);
    expectNothingLeft();
}

} // namespace
