#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/Process.h"

namespace convert {

// Why a clip ended in " FAIL", as the user can act on it.
enum class FailureKind {
    kMissing,          // the clip is gone or cannot be read
    kDamaged,          // the converter could not read it as a video
    kDiskFull,         // the disk or the temporary folder is full
    kCannotStart,      // the converter could not be started (or found)
    kCrashed,          // the converter stopped or crashed
    kNotDelivered,     // the result could not be put on the Desktop
    kNotSafe,          // the result is on the Desktop, but not known to be on the disk
    kTempFolder,       // the temporary folder cannot be used
    kReplacesInput,    // skipped: the result would replace the clip itself
    kConverterFailed,  // none of the above: the converter's own last word
};

struct Failure {
    FailureKind kind;
    // The words behind the reason: the converter's last error line, its exit
    // status or the system's message; may be empty.
    std::string detail;
};

// A failed clip as the summary at the end of the run lists it.
struct FailedClip {
    std::string name;  // the clip's file name, without its folder
    Failure failure;
    // The files joined to it as pieces of one recording, by name.
    std::vector<std::string> joined = {};
};

// What the run knows once the converter has ended without a result: the
// last of its output, how it ended and, when the clip could not be opened,
// the system's reason.
Failure ConverterFailure(std::string_view outputTail, const platform::ExitStatus& ended, std::string_view clipProblem);

// True when the process crashed or was stopped rather than ending by itself:
// a signal, our own termination, or a Windows exception code (0xC...).
bool Crashed(const platform::ExitStatus& ended);

// How a process ended, in the user's language: "exit code 1",
// "killed by signal 9 (SIGKILL)", "terminated".
std::string EndText(const platform::ExitStatus& ended);

// The reason in plain words, in the user's language.
std::string ReasonText(FailureKind kind);

// "2 of 10 clips could not be converted", in the user's language.
std::string SummaryHeading(int failed, int count);
// The same, counting each listed file of the failed ones.
std::string SummaryHeading(const std::vector<FailedClip>& failed, int count);

// The summary's list, the same on every face: each clip's name, its reason,
// then the detail (in smaller print) when there is one.
struct SummaryLine {
    enum class Style { kClip, kReason, kDetail } style;
    std::string text;
};
std::vector<SummaryLine> SummaryLines(const std::vector<FailedClip>& failed);

}  // namespace convert
