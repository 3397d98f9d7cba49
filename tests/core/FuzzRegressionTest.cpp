#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "checks/IntakeChecks.h"
#include "checks/ReaderChecks.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every input a fuzz target once failed on, and every seed, still passes the
// target's checks.
TEST(FuzzRegressions, KeptInputsPassTheirChecks) {
    if (!fs::is_directory(CLIPVANE_FUZZ_FOLDER))
        GTEST_SKIP() << CLIPVANE_FUZZ_FOLDER << " cannot be seen from here (a foreign system's paths)";
    std::vector<fuzzcheck::NamedCheck> checks = fuzzcheck::IntakeChecks();
    for (const auto& reader : fuzzcheck::ReaderChecks()) checks.push_back(reader);
    int replayed = 0;
    std::set<std::string> seen;
    for (const auto& [name, check] : checks) {
        for (const char* kind : {"regressions", "corpus"}) {
            const fs::path folder = fs::path(CLIPVANE_FUZZ_FOLDER) / kind / name;
            if (!fs::is_directory(folder)) continue;
            for (const auto& entry : fs::directory_iterator(folder)) {
                EXPECT_EQ(check(Bytes(entry.path())), "") << entry.path();
                ++replayed;
                seen.insert(name);
            }
        }
    }
    // A target whose seeds went missing would otherwise pass unnoticed.
    EXPECT_EQ(seen.size(), checks.size());
    EXPECT_GT(replayed, 0);
}

// Inputs of every shape the checks know, also where the seeds may not reach.
TEST(FuzzRegressions, TheChecksHoldForPlainInputs) {
    const auto CheckCommandLine = [](std::string_view in) { return fuzzcheck::CheckCommandLine(in, true); };
    const auto CheckDrop = [](std::string_view in) { return fuzzcheck::CheckDrop(in, true); };
    using fuzzcheck::CheckLongName;
    const std::string posix(1, '\0'), windows(1, '\1'), raw(1, '\2');
    const std::string tree = "Videos|VIDEOS~1/Birthday party.MTS|BIRTHD~1.MTS\nCard/\n";
    struct Case {
        std::string (*check)(std::string_view);
        std::string input;
    };
    const Case cases[] = {
        {CheckCommandLine, posix + tree + '\0' + "/videos~1/birthd~1.mts \"/Card\" x \"open"},
        {CheckCommandLine, windows + tree + '\0' + "C:\\VIDEOS~1\\BIRTHD~1.MTS C:\\Card\\ \"\"x"},
        {CheckCommandLine, raw + tree + '\0' + "/Videos\n\n\"/Card\""},
        {CheckCommandLine, posix},
        {CheckLongName, windows + tree + '\0' + "c:\\videos~1\\BIRTHD~1.mts"},
        {CheckLongName, posix + tree + '\0' + "//Videos//birthday party.mts/"},
        {CheckDrop, posix + '\3' + tree + '\0' + "/Videos/BIRTHD~1.MTS\n/gone\n/Card\n/Videos"},
        {CheckDrop, posix + '\xFF' + tree + '\0' + "/a"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.check(c.input), "") << c.input;
}

}  // namespace
