// The user's warm office on its own, without a print system of the test's:
// what it refuses to load or to print, and that it ends itself when idle.
#include "docconverter/office/WarmOffice.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <signal.h>
#include <thread>

using namespace folyant;
using namespace folyant::docconverter;
using folyant::test::TempFolder;

extern char** environ;

namespace {

class WarmOfficeAlone : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::fileExists("/usr/bin/soffice"))
            GTEST_SKIP() << "LibreOffice is not installed";
        const char* before = std::getenv("XDG_STATE_HOME");
        m_before = before ? std::optional<std::string>(before) : std::nullopt;
        ::setenv("XDG_STATE_HOME", m_state.path().c_str(), 1);
    }
    void TearDown() override
    {
        WarmOffice::end();
        if (m_before)
            ::setenv("XDG_STATE_HOME", m_before->c_str(), 1);
        else
            ::unsetenv("XDG_STATE_HOME");
    }
    static std::vector<std::string> environment()
    {
        std::vector<std::string> entries;
        for (char** entry = environ; *entry; ++entry)
            entries.emplace_back(*entry);
        return entries;
    }

    TempFolder m_state;
    TempFolder m_files;
    std::optional<std::string> m_before;
};

TEST_F(WarmOfficeAlone, RefusesWhatTheRouteCannotPrintAndEndsItselfWhenIdle)
{
    OfficeLimits limits;
    limits.idleSeconds = 2;
    WarmOffice office("/usr/bin/soffice", environment(), limits);
    const auto never = [] { return false; };

    // Random bytes named .doc: the office itself would take them for text
    // and print pages of garbage; loaded as Word, they are refused.
    std::string bytes(20000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    test::writeFile(m_files.file("random.doc"), bytes);
    const std::string printed = m_files.file("printed.pdf");
    auto result = office.print(
        {m_files.file("random.doc"), {"MS Word 97", "MS Word 95"}, "Folyant_No_Such_Queue", printed}, never);
    EXPECT_EQ(result.outcome, OfficeOutcome::Refused) << result.message;
    EXPECT_FALSE(test::fileExists(printed));
    const auto first = WarmOffice::running();
    ASSERT_TRUE(first.has_value()) << "the office stays warm after a refusal";

    // A printer the office does not know is not silently replaced by its
    // default printer: the office is started afresh once, then it is refused.
    result = office.print({std::string(FOLYANT_TEST_DATA) + "/office/poi-SampleDoc.doc", {"MS Word 97"},
                              "Folyant_No_Such_Queue", printed},
        never);
    EXPECT_EQ(result.outcome, OfficeOutcome::UnknownPrinter) << result.message;
    EXPECT_FALSE(test::fileExists(printed));

    // Nothing to do for longer than the idle time: the office ends itself.
    ASSERT_TRUE(WarmOffice::running().has_value());
    const pid_t pid = *WarmOffice::running();
    for (int i = 0; i < 600 && ::kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_NE(::kill(pid, 0), 0) << "the idle office is still running";
    EXPECT_FALSE(WarmOffice::running().has_value());
}

} // namespace
