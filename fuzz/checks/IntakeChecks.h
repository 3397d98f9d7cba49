#pragma once
#include <string>
#include <string_view>
#include <vector>

// What must hold for the readers of outside bytes in the intake, whatever the
// bytes. Each check takes one input as a fuzzer delivers it and returns "" when
// everything held, otherwise what did not. The fuzz targets and the replay of
// kept inputs in the ordinary tests call the same checks.
namespace fuzzcheck {

// Input: flags byte, a listing for the fake file system (see FakeTree), a NUL,
// then the argument string (or, by a flag, one raw token per line). With
// `capacityRuns`, flags 0xFC and 0xFD repeat the tokens past the list's
// capacity; such runs take a good part of a second, too slow for fuzzing.
std::string CheckCommandLine(std::string_view input, bool capacityRuns);
// Input: flags byte, listing, NUL, then the path to look up.
std::string CheckLongName(std::string_view input);
// Input: flags byte, entries already listed byte, listing, NUL, then the
// dropped paths, one per line. With `capacityRuns`, 250 to 255 entries
// already listed stand for a list 5 to 0 entries short of full.
std::string CheckDrop(std::string_view input, bool capacityRuns);

struct NamedCheck {
    const char* name;  // the folder name of its seeds and kept inputs
    std::string (*check)(std::string_view);
};
const std::vector<NamedCheck>& IntakeChecks();

}  // namespace fuzzcheck
