// Every program of the suite asked for its usage, as a user who does not know
// it yet would ask: the usage on standard output, success, and nothing else
// done (no map written, no dialog, no conversion, no printer touched).
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace folyant;
using folyant::test::TempFolder;

namespace {

// Every file and folder under the folder, for telling whether a run made any.
std::set<std::string> treeOf(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.insert(entry.path().string());
    return names;
}

TEST(ProgramHelp, EveryProgramAnswersWithItsUsageAndDoesNothingElse)
{
    struct Program {
        const char* path;
        const char* name;
    };
    const Program programs[] = {
        {FOLYANT_CONVERTER, "Folyant_Standard"},
        {FOLYANT_ZEVCONVERTER, "zevConverter"},
        {FOLYANT_PRNINSTALL, "prninstall"},
        {FOLYANT_PRNREMOVE, "prnremove"},
        {FOLYANT_CIDFMAPGEN, "cidfmapgen"},
        {FOLYANT_BACKEND, "folyant"},
        {FOLYANT_SESSION, "folyant-session"},
    };
    // Settings and folders a run that went on would use, all inside one
    // folder; a print system that cannot be reached.
    TempFolder world;
    for (const char* folder : {"etc/Quorvale", "lib", "home", "config", "out"})
        std::filesystem::create_directories(world.file(folder));
    test::writeFile(world.file("etc/Quorvale/Folyant Velmo.conf"),
        "[General]\nGSLibPath=\"" + world.file("lib") + "\"\nGSFontPath=\"" + world.file("lib")
            + "\"\nOutputFolder=\"" + world.file("out") + "\"\n");
    const test::Environment environment{{"FOLYANT_SYSCONFDIR", world.file("etc")},
        {"HOME", world.file("home")}, {"XDG_CONFIG_HOME", world.file("config")},
        {"CUPS_SERVER", world.file("no-cupsd.sock")}, {"FOLYANT_UNATTENDED", "1"}};
    const std::set<std::string> before = treeOf(world.path());

    for (const Program& program : programs) {
        for (const char* word : {"--help", "-h"}) {
            SCOPED_TRACE(std::string(program.name) + " " + word);
            const auto result = test::runProgram(program.path, {word}, {}, environment);
            EXPECT_EQ(result.exitCode, 0) << result.err;
            EXPECT_EQ(result.out.rfind("Usage: ", 0), 0u) << result.out;
            EXPECT_NE(result.out.find(program.name), std::string::npos) << result.out;
            EXPECT_EQ(result.err, "");
            EXPECT_EQ(treeOf(world.path()), before) << "the run made or removed files";
        }
    }
}

} // namespace
