#include "FailureReason.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "RunTexts.h"
#include "text/Translate.h"

namespace convert {

namespace {

using text::Tr;

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

// The converter's lines that say something: not its progress lines (which it
// redraws after a carriage return) nor its closing "Conversion failed!".
std::vector<std::string_view> ErrorLines(std::string_view tail) {
    std::vector<std::string_view> lines;
    while (!tail.empty()) {
        const std::size_t end = std::min(tail.find_first_of("\r\n"), tail.size());
        std::string_view line = tail.substr(0, end);
        tail.remove_prefix(std::min(end + 1, tail.size()));
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        if (line.empty() || StartsWith(line, "frame=") || StartsWith(line, "size=") || line == "Conversion failed!")
            continue;
        lines.push_back(line);
    }
    return lines;
}

// The last line that holds one of the phrases, or "".
std::string_view LastWith(const std::vector<std::string_view>& lines, std::initializer_list<std::string_view> phrases) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        for (std::string_view phrase : phrases)
            if (Contains(*line, phrase)) return *line;
    return {};
}

// Windows ends a crashed process with its exception code, 0xC0000005 and the like.
constexpr std::uint32_t kExceptionCodes = 0xC0000000u;

}  // namespace

bool Crashed(const platform::ExitStatus& ended) {
    using How = platform::ExitStatus::How;
    return ended.how == How::kSignalled || ended.how == How::kTerminated ||
           (ended.how == How::kExited && ended.code >= kExceptionCodes);
}

std::string EndText(const platform::ExitStatus& ended) {
    using How = platform::ExitStatus::How;
    switch (ended.how) {
        case How::kExited: {
            // An exception code reads better in hexadecimal.
            char code[16];
            std::snprintf(code, sizeof code, ended.code >= kExceptionCodes ? "0x%08lX" : "%lu",
                          static_cast<unsigned long>(ended.code));
            return text::Fill(Tr("exit code %1"), {code});
        }
        case How::kSignalled:
            // TRANSLATORS: %1 is the signal's number, %2 its name (SIGKILL).
            return text::Fill(Tr("killed by signal %1 (%2)"), {std::to_string(ended.signal), ended.signalName});
        case How::kTerminated: return Tr("terminated");
        case How::kRunning:
        case How::kUnknown: break;
    }
    return Tr("unknown exit");
}

Failure ConverterFailure(std::string_view outputTail, const platform::ExitStatus& ended, std::string_view clipProblem) {
    const std::vector<std::string_view> lines = ErrorLines(outputTail);
    if (!clipProblem.empty()) return {FailureKind::kMissing, std::string(clipProblem)};
    if (Crashed(ended)) return {FailureKind::kCrashed, EndText(ended)};
    // ffmpeg stops by itself when it is sent a signal to end.
    if (auto line = LastWith(lines, {"received signal"}); !line.empty())
        return {FailureKind::kCrashed, std::string(line)};
    if (auto line = LastWith(lines, {"No space left on device", "Disk quota exceeded"}); !line.empty())
        return {FailureKind::kDiskFull, std::string(line)};
    if (auto line = LastWith(
            lines, {"Invalid data found when processing input", "does not contain any stream", "moov atom not found"});
        !line.empty())
        return {FailureKind::kDamaged, std::string(line)};
    return {FailureKind::kConverterFailed, lines.empty() ? EndText(ended) : std::string(lines.back())};
}

std::string ReasonText(FailureKind kind) {
    switch (kind) {
        case FailureKind::kMissing: return Tr("The clip is missing or cannot be read.");
        case FailureKind::kDamaged:
            return Tr("The clip is damaged or is not a video: the converter could not read it.");
        case FailureKind::kDiskFull: return Tr("The disk or the temporary folder is full.");
        case FailureKind::kCannotStart: return Tr("The converter could not be started.");
        case FailureKind::kCrashed: return Tr("The converter stopped or crashed.");
        case FailureKind::kNotDelivered: return Tr("The converted file could not be put on the Desktop.");
        case FailureKind::kNotSafe:
            return Tr("The converted file is on the Desktop, but it may not survive a power cut.");
        case FailureKind::kTempFolder: return Tr("The temporary folder cannot be used.");
        case FailureKind::kReplacesInput: return Tr(kWouldReplaceInput);
        case FailureKind::kConverterFailed: break;
    }
    return Tr("The converter failed.");
}

std::string SummaryHeading(int failed, int count) {
    if (count == 1) return Tr("The clip could not be converted");
    // TRANSLATORS: the form goes by the first number, the clips that failed.
    return text::Fill(text::TrN("%1 of %2 clips could not be converted", "%1 of %2 clips could not be converted",
                                static_cast<unsigned long>(failed)),
                      {std::to_string(failed), std::to_string(count)});
}

std::string SummaryHeading(const std::vector<FailedClip>& failed, int count) {
    std::size_t files = 0;
    for (const FailedClip& clip : failed) files += 1 + clip.joined.size();
    return SummaryHeading(static_cast<int>(files), count);
}

std::vector<SummaryLine> SummaryLines(const std::vector<FailedClip>& failed) {
    using Style = SummaryLine::Style;
    std::vector<SummaryLine> lines;
    for (const FailedClip& clip : failed) {
        std::string joined;
        for (const std::string& name : clip.joined) joined += (joined.empty() ? "" : ", ") + name;
        std::string shown = clip.name;
        // TRANSLATORS: %1 is the first file of one recording, %2 the files that continue it.
        if (!joined.empty()) shown = text::Fill(Tr("%1 (joined with %2)"), {clip.name, joined});
        lines.push_back({Style::kClip, shown});
        lines.push_back({Style::kReason, ReasonText(clip.failure.kind)});
        if (!clip.failure.detail.empty()) lines.push_back({Style::kDetail, clip.failure.detail});
    }
    return lines;
}

}  // namespace convert
