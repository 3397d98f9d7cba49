#include "BatchRun.h"

#include <algorithm>
#include <chrono>

#include "ResultDate.h"
#include "RunTexts.h"
#include "intake/Texts.h"

namespace convert {

namespace {
using intake::kNewLine;
using text::Tr;

// A copy that takes longer than this says so in the status, with its size.
constexpr std::chrono::milliseconds kTellCopyAfter{400};

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += kNewLine;
    }
    return text;
}

// A failure's detail is one line; a runaway one is cut, at a character.
constexpr std::size_t kLongestDetail = 500;

std::string Shortened(std::string detail) {
    if (detail.size() <= kLongestDetail) return detail;
    std::size_t end = kLongestDetail;
    while (end > 0 && (static_cast<unsigned char>(detail[end]) & 0xC0) == 0x80) --end;
    detail.resize(end);
    return detail + "...";
}

// Holds the system awake for as long as it lives, however the run ends.
class KeptAwake {
public:
    KeptAwake(platform::SleepInhibitor* awake) : awake_(awake) {
        if (awake_) awake_->Inhibit(Tr("Converting video files"));
    }
    ~KeptAwake() {
        if (awake_) awake_->Release();
    }
    KeptAwake(const KeptAwake&) = delete;
    KeptAwake& operator=(const KeptAwake&) = delete;

private:
    platform::SleepInhibitor* awake_;
};
}  // namespace

// H.264 in 8-bit 4:2:0 and AAC, which every iPhone, iPad and iPod plays,
// whatever the camera recorded (DV and Motion-JPEG are 4:2:2, today's cameras
// 10-bit). Interlaced frames (AVCHD 50i/60i, HDV, DV, DVD) are deinterlaced,
// one frame per frame; idet first clears the interlaced flag of progressive
// footage stored as interlaced (25p/30p cameras), so that it, like every
// progressive clip, passes through untouched.
constexpr const char* kProgressive = "idet=analyze_interlaced_flag=10,bwdif=mode=send_frame:deint=interlaced";

std::vector<std::string> BatchRun::ConverterArguments(const std::string& input,
                                                      const std::string& output) {
    return {"-y", "-i", input, "-vf", kProgressive, "-pix_fmt", "yuv420p", "-f", "mp4", output};
}

void BatchRun::Command1_Click() {
    if (view_.Command1Caption() == intake::kFinish) {
        view_.UnloadMainWindow();
        return;
    }
    supervisor_.lConverterPid = 0;
    view_.SetCommand1(std::string(intake::kConverting), false);
    KeptAwake awake(services_.awake);
    try {
        Run();
    } catch (const RunAborted&) {
        // The main window was closed inside a pump: the program is ending.
    }
}

void BatchRun::Run() {
    // Files dropped during the run join the list but are not converted by it.
    const std::int16_t count = list_.iFileCount;
    for (std::int16_t i = 0; i < count; ++i) ConvertOne(i, count);
    AppendLog(std::string(kNewLine) + Tr(kFinishedLine));
    view_.SetLabel2(Tr(kFinishedStatus));
    view_.SetCommand1(std::string(intake::kFinish), true);
    view_.RunEnded(converted_, failed_);
    if (!failures_.empty()) view_.ShowFailures(failures_, count);
}

std::string BatchRun::OutputPath(const std::string& folder, const std::string& source) const {
    return folder + services_.style.separator + services_.files.BaseName(source) + ".mp4";
}

std::string BatchRun::PrepareRun() {
    auto& files = services_.files;
    if (services_.privateTempFolder) {
        std::string reason = files.PrepareFolder(list_.sTempFolder, true);
        runFailure_ = {FailureKind::kTempFolder, reason};
        if (!reason.empty())
            return Tr("I'm sorry. The temporary folder cannot be used, so nothing can be converted.") +
                   std::string(kNewLine) + std::string(kNewLine) + reason;
    }
    std::vector<std::string> searched;
    converter_ = services_.processes.FindConverter(searched);
    std::string places;
    for (const auto& place : searched) places += (places.empty() ? "" : ", ") + place;
    runFailure_ = {FailureKind::kCannotStart, Tr("Looked in:") + " " + places};
    if (converter_.empty())
        return Tr("I'm sorry. The converter program ffmpeg cannot be found, so nothing can be "
                  "converted.") +
               std::string(kNewLine) + std::string(kNewLine) + Tr("Looked in:") + std::string(kNewLine) +
               Join(searched) + std::string(kNewLine) + Tr("Please install ffmpeg, or place it beside Clipvane.");
    desktop_ = services_.folders.Desktop();
    std::string reason =
        desktop_.empty() ? Tr("The Desktop folder cannot be found.") : files.PrepareFolder(desktop_, false);
    runFailure_ = {FailureKind::kNotDelivered, reason};
    if (!reason.empty())
        return Tr("I'm sorry. The converted files cannot be put on the Desktop, so nothing is "
                  "converted.") +
               std::string(kNewLine) + std::string(kNewLine) + reason;
    return {};
}

void BatchRun::ConvertOne(std::int16_t i, std::int16_t count) {
    auto& files = services_.files;
    // Copies: a drop inside a pump may grow (and move) the list.
    const std::string longName = list_.sLongNames[i];
    const std::string shortName = list_.sShortNames[i];
    number_ = i + 1;
    count_ = count;
    const char* separators = services_.style.separator == '\\' ? "\\/" : "/";
    clipName_ = (longName.empty() ? shortName : longName);
    clipName_.erase(0, clipName_.find_last_of(separators) + 1);

    view_.SetLabel1(longName);
    supervisor_.RefreshScreen();

    // Checked before anything in the temporary folder is touched.
    if (!prepared_) {
        prepared_ = true;
        runProblem_ = PrepareRun();
        if (!runProblem_.empty()) view_.ShowMessage(runProblem_);
    }

    const std::string temporary = OutputPath(list_.sTempFolder, shortName);
    const bool replacesInput = files.SameFile(temporary, shortName)
                               || (!desktop_.empty()
                                   && files.SameFile(OutputPath(desktop_, longName), shortName));
    if (runProblem_.empty() && !replacesInput && files.FileExists(temporary))
        files.DeleteFileForce(temporary);

    AppendLog(std::string(kNewLine) + LogLine(i + 1, longName));
    if (!runProblem_.empty()) return Fail(Tr(kFailedStatus), runFailure_);
    if (replacesInput) return Fail(Tr(kWouldReplaceInput), {FailureKind::kReplacesInput, {}});

    view_.SetLabel2(Tr(kConvertingStatus));
    supervisor_.RefreshScreen();

    std::string error;
    auto child = services_.processes.Start(converter_, ConverterArguments(shortName, temporary), error);
    if (!child) {
        // Once per run: every later file would meet the same wall.
        runProblem_ = Tr("I'm sorry. The converter program cannot be started, so nothing can be "
                         "converted.") +
                      std::string(kNewLine) + std::string(kNewLine) + error;
        runFailure_ = {FailureKind::kCannotStart, error};
        view_.ShowMessage(runProblem_);
        return Fail(Tr(kFailedStatus), runFailure_);
    }
    view_.ConverterStarted(longName, i + 1, count);
    supervisor_.lConverterPid = supervisor_.Adopt(std::move(child));
    supervisor_.WaitForExitProcess(supervisor_.lConverterPid);
    supervisor_.lConverterPid = 0;
    view_.ConverterEnded();

    // A result counts only when the converter says it finished well and the
    // file is really there; a crash can leave a partial file behind.
    platform::ChildProcess& converter = *supervisor_.Converter();
    if (!converter.Succeeded() || !files.IsNonEmptyFile(temporary)) {
        if (files.FileExists(temporary)) files.DeleteFileForce(temporary);
        return Fail(Tr(kFailedStatus),
                    ConverterFailure(supervisor_.ConverterTail(), converter.Outcome(), ClipProblem(shortName)));
    }

    view_.SetLabel2(Tr(kTransferringStatus));
    supervisor_.RefreshScreen();
    std::string reason = Deliver(shortName, temporary, OutputPath(desktop_, longName));
    if (!reason.empty()) return Fail(Tr(kCopyFailedStatus) + reason, {FailureKind::kNotDelivered, reason});
    AppendLog(Tr(kSuccessWord));
    view_.FileFinished(number_, count_, true);
    ++converted_;
}

std::string BatchRun::DesktopTarget(const std::string& wanted) {
    auto& files = services_.files;
    // Another spelling of a result of this run (a case-insensitive Desktop)
    // can only be one when a file is there, so only then compare files.
    auto taken = [&](const std::string& path) {
        if (produced_.count(path)) return true;
        return files.FileExists(path)
               && std::any_of(produced_.begin(), produced_.end(),
                              [&](const std::string& p) { return files.SameFile(p, path); });
    };
    auto occupied = [&](const std::string& path) {
        return taken(path) || files.FileExists(path) || files.FolderExists(path);
    };
    // A result of this run is never replaced; a file from before the run goes
    // to the trash, where the user can get it back.
    bool free = !taken(wanted) && !files.FolderExists(wanted);
    if (free && files.FileExists(wanted)) free = files.MoveToTrash(wanted).empty();
    if (free) return wanted;
    const std::string stem = wanted.substr(0, wanted.size() - 4);  // without ".mp4"
    for (int n = 2;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ").mp4";
        if (!occupied(candidate)) return candidate;
    }
}

std::string BatchRun::Deliver(const std::string& clip, const std::string& result,
                              const std::string& wanted) {
    auto& files = services_.files;
    platform::FileAccess* access = services_.access;
    // Dated before it shows on the Desktop, so no one sees it undated; a
    // header that cannot be dated leaves the video as good as it was.
    std::optional<platform::UnixSeconds> recorded;
    if (access) recorded = RecordingTime(*access, clip);
    if (recorded) DateResult(*access, result, *recorded);

    // The result is made complete beside its place first, so a failure
    // leaves the Desktop as it was.
    const std::string staging =
        desktop_ + services_.style.separator + ".Clipvane-incoming.mp4";
    bool moved = false;
    std::string reason = Stage(result, staging, moved);
    if (!reason.empty()) return reason;
    if (recorded) access->SetModificationTime(staging, *recorded);
    // On the disk before it takes its name, and the name on the disk before
    // " SUCCESS": users format the camera's card once they read it.
    if (access) reason = access->FlushToDisk(staging);
    std::string target;
    if (reason.empty()) {
        target = DesktopTarget(wanted);
        reason = files.MoveReplacing(staging, target);
    }
    if (!reason.empty()) {
        // The temporary result stays where it was.
        std::string ignored;
        if (!moved || access->Rename(staging, result, ignored) != platform::RenameOutcome::kRenamed)
            files.DeleteFileForce(staging);
        return reason;
    }
    // The result stands under its name already; a folder that cannot be
    // synced leaves that to the system's own write-back.
    if (access) access->FlushFolder(desktop_);
    // Nothing of a delivered result is left in the temporary folder.
    if (!moved && access)
        access->DeleteInPieces(result, [&](std::uint64_t, std::uint64_t) { supervisor_.KeepAlive(); });
    else if (!moved)
        files.DeleteFileForce(result);
    produced_.insert(target);
    return {};
}

std::string BatchRun::Stage(const std::string& result, const std::string& staging, bool& moved) {
    platform::FileAccess* access = services_.access;
    if (!access) return services_.files.CopyFileReplacing(result, staging);
    std::string error;
    switch (access->Rename(result, staging, error)) {
    case platform::RenameOutcome::kRenamed:
        moved = true;
        return {};
    case platform::RenameOutcome::kFailed:
        return error;
    case platform::RenameOutcome::kOtherFileSystem:
        break;
    }
    return CopyKeepingAlive(result, staging);
}

std::string BatchRun::CopyKeepingAlive(const std::string& result, const std::string& staging) {
    // The window is answered between the pieces; closing it ends the copy
    // (and removes its half) by the RunAborted that the pump throws.
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    bool told = false;
    return services_.access->CopyInPieces(
        result, staging, [&](std::uint64_t, std::uint64_t total) {
            if (!told && Clock::now() - started >= kTellCopyAfter) {
                told = true;
                view_.SetLabel2(TransferringStatus(total));
                view_.Repaint();
            }
            supervisor_.KeepAlive();
        });
}

std::string BatchRun::ClipProblem(const std::string& clip) {
    if (services_.access) {
        std::string error;
        if (!services_.access->Open(clip, false, error)) return error.empty() ? "cannot be opened" : error;
    }
    if (!services_.files.FileExists(clip)) return "not found";
    return {};
}

void BatchRun::Fail(const std::string& status, Failure why) {
    ++failed_;
    why.detail = Shortened(std::move(why.detail));
    failures_.push_back({clipName_, std::move(why)});
    view_.SetLabel2(status);
    supervisor_.RefreshScreen();
    AppendLog(Tr(kFailWord));
    view_.FileFinished(number_, count_, false);
}

void BatchRun::AppendLog(const std::string& text) {
    view_.AppendLogText(text);
    view_.MoveCaretToEnd();
}

}  // namespace convert
