// zevConverter as a user or a script runs it.
#include "docconverter/core/ExitCodes.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

TEST(DocConverterProgram, CommandLineConvertsAndSaysWhyItDidNot)
{
    TempFolder folder;
    auto result = test::runProgram(
        FOLYANT_ZEVCONVERTER, {test::dataFile("acrobat6-win-word-12p.ps"), folder.file("out")});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess) << result.err;
    EXPECT_EQ(result.err, "Folyant: 변환이 성공적으로 완료되었습니다.\n");
    EXPECT_EQ(test::pagesWithStamp(folder.file("out.pdf"), 12), 12);
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"out.pdf"})
        << "no temporary file left";

    result = test::runProgram(FOLYANT_ZEVCONVERTER, {folder.file("missing.doc"), folder.file("x.pdf")});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_EQ(result.err,
        "Folyant Error: '" + folder.file("missing.doc") + "' 파일이 열려있거나, 올바르지 않는 파일입니다.\n");

    test::writeFile(folder.file("letter.doc"), "not printable here");
    result = test::runProgram(FOLYANT_ZEVCONVERTER, {folder.file("letter.doc"), folder.file("letter.pdf")});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kFailed);
    EXPECT_EQ(result.err, "Folyant: 변환에 실패하였습니다.\n");

    result = test::runProgram(FOLYANT_ZEVCONVERTER, {"--help"});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kSuccess);
    EXPECT_NE(result.out.find("zevConverter DOCUMENT PDF"), std::string::npos);
    result = test::runProgram(FOLYANT_ZEVCONVERTER, {"one"});
    EXPECT_EQ(result.exitCode, docconverter::exitcode::kUsage);
    EXPECT_NE(result.err.find("Usage:"), std::string::npos);
}

TEST(DocConverterProgram, TerminationLeavesNoPartialPdfAndNoTemporaryFile)
{
    TempFolder folder;
    // Pages that take long enough to be caught mid-feed.
    std::string job = "%!PS\n";
    for (int page = 0; page < 4000; ++page)
        job += "/Helvetica findfont 12 scalefont setfont 0 1 60 { 72 exch 12 mul moveto (line) show } for "
               "showpage\n";
    job += "%%EOF\n";
    test::writeFile(folder.file("long.ps"), job);
    QProcess process;
    ASSERT_TRUE(
        test::startProgram(process, FOLYANT_ZEVCONVERTER, {folder.file("long.ps"), folder.file("long.pdf")}));
    for (int i = 0; i < 500 && !test::fileExists(folder.file("long.pdf")); ++i)
        QThread::msleep(10);
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), docconverter::exitcode::kTerminated);
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"long.ps"});
}

} // namespace
