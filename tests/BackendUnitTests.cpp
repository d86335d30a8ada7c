// The backend's and the spooler layer's own rules, without a print system.
#include "backend/JobOptions.h"
#include "backend/OutputName.h"
#include "platform/Spooler.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

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
