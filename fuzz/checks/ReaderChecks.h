#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "IntakeChecks.h"

// What must hold for the readers of the clip, the converter's output and the
// converted file, whatever the bytes. Same contract as the intake checks: ""
// when everything held, otherwise what did not.
namespace fuzzcheck {

// Input: the start of a clip.
std::string CheckRecordingDate(std::string_view input);
// Input: 8 bytes of the time to write (native order), then the converted file.
std::string CheckMp4Times(std::string_view input);
// Input: a byte that chooses the chunk lengths, then the converter's output.
std::string CheckProgress(std::string_view input);
// Input: a byte that chooses where the bytes are cut in two, then the bytes:
// does the second file continue the first?
std::string CheckStreamContinuation(std::string_view input);

const std::vector<NamedCheck>& ReaderChecks();

}  // namespace fuzzcheck
