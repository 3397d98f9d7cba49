#include "BatchRun.h"

#include <algorithm>
#include <chrono>
#include <exception>

#include "Recordings.h"
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

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

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
// progressive clip, passes through untouched. The sound is AAC-LC in stereo
// at 160 kbit/s, as Apple's devices take it: a camcorder's 5.1 (AC-3 or
// LPCM) would otherwise come out as six channels with no standard channel
// configuration, which they refuse.
constexpr const char* kProgressive = "idet=analyze_interlaced_flag=10,bwdif=mode=send_frame:deint=interlaced";

std::vector<std::string> BatchRun::ConverterArguments(const std::string& input,
                                                      const std::string& output) {
    return {"-y",  "-i", input,  "-vf",  kProgressive, "-pix_fmt", "yuv420p",
            "-ac", "2",  "-b:a", "160k", "-f",         "mp4",      output};
}

// ffmpeg's "concatf" reads the files of a list as one stream. The list, not
// "concat:a|b", since "|" may stand in a file name.
std::string BatchRun::JoinedInput(const std::string& listPath) { return "concatf:file:" + listPath; }

std::string BatchRun::PieceList(const std::vector<std::string>& pieces) {
    // Each line is one token: inside single quotes every byte stands for
    // itself (line breaks too), and a quote is closed, escaped and reopened.
    // "file:" keeps a name with a colon from reading as another protocol.
    std::string list;
    for (const std::string& piece : pieces) {
        list += "'file:";
        for (char c : piece) list += c == '\'' ? std::string("'\\''") : std::string(1, c);
        list += "'\n";
    }
    return list;
}

int ConvertersAtOnce(unsigned cores) {
    // One ffmpeg already encodes on every core, but its demuxing, filters,
    // muxing and start-up run on one thread each, and a second converter
    // fills the gaps they leave: on 2 cores two at once take 0.8 to 0.9 of
    // the time, three no less. More cores leave more such gaps; one more
    // converter per 3 cores, up to 4, keeps within the memory that 4K
    // clips' decoders and encoders need (about 1 to 2 GiB each).
    if (cores <= 1) return 1;
    return std::clamp(static_cast<int>(cores) / 3 + 1, 2, 4);
}

void BatchRun::Command1_Click() {
    if (view_.Command1Caption() == intake::kFinish) {
        view_.UnloadMainWindow();
        return;
    }
    supervisor_.lConverterPid = 0;
    view_.SetCommand1(std::string(intake::kConverting), false);
    KeptAwake awake(services_.awake);
    supervisor_.onEnded = [this] { TopUp(); };
    try {
        Run();
    } catch (const RunAborted&) {
        // The main window was closed inside a pump: the program is ending,
        // and takes with it what the run had in the temporary folder.
        for (const auto& [first, job] : ahead_) Drop(job, false);
        ahead_.clear();
    }
    supervisor_.onEnded = nullptr;
}

void BatchRun::Run() {
    // Files dropped during the run join the list but are not converted by it.
    count_ = list_.iFileCount;
    // The pieces of one recording are told by their bytes; the window is
    // answered between the files.
    const std::vector<std::string> paths(list_.sShortNames.begin(), list_.sShortNames.begin() + count_);
    spans_ = services_.access ? RecordingSpans(paths, *services_.access, [&] { supervisor_.KeepAlive(); })
                              : std::vector<int>(paths.size(), 1);
    places_ = static_cast<int>(std::count_if(spans_.begin(), spans_.end(), [](int span) { return span > 0; }));
    for (std::int16_t i = 0; i < count_; i = static_cast<std::int16_t>(i + spans_[i])) ConvertOne(i, spans_[i]);
    AppendLog(std::string(kNewLine) + Tr(kFinishedLine));
    view_.SetLabel2(Tr(kFinishedStatus));
    view_.SetCommand1(std::string(intake::kFinish), true);
    view_.RunEnded(converted_, failed_);
    if (!failures_.empty()) view_.ShowFailures(failures_, count_);
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

BatchRun::Job BatchRun::Prepared(std::int16_t i, const std::vector<std::pair<std::string, std::string>>& pieces) {
    auto& files = services_.files;
    Job job;
    job.first = i;
    job.span = static_cast<int>(pieces.size());
    job.temporary = FreeTemporary(pieces[0].second, i, job.span);
    // The list of a recording's pieces, for the converter, while it runs.
    if (job.span > 1)
        job.pieceList =
            list_.sTempFolder + services_.style.separator + ".Clipvane-pieces-" + std::to_string(i + 1) + ".txt";
    for (const auto& piece : pieces)
        job.replacesInput =
            job.replacesInput || files.SameFile(job.temporary, piece.second) ||
            (!desktop_.empty() && files.SameFile(OutputPath(desktop_, pieces[0].first), piece.second)) ||
            (!job.pieceList.empty() && files.SameFile(job.pieceList, piece.second));
    if (runProblem_.empty() && !job.replacesInput && files.FileExists(job.temporary))
        files.DeleteFileForce(job.temporary);
    return job;
}

std::string BatchRun::FreeTemporary(const std::string& shortName, std::int16_t first, int span) const {
    auto& files = services_.files;
    // Names are told apart regardless of case, as some file systems do.
    auto folded = [](std::string name) {
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return name;
    };
    auto taken = [&](const std::string& path) {
        auto isThis = [&](const Job& job) { return folded(job.temporary) == folded(path); };
        if ((current_ && isThis(*current_)) ||
            std::any_of(ahead_.begin(), ahead_.end(), [&](const auto& j) { return isThis(j.second); }))
            return true;
        // Another file of the run (its own are checked by the caller).
        if (!files.FileExists(path)) return false;
        for (int k = 0; k < count_; ++k)
            if ((k < first || k >= first + span) && files.SameFile(path, list_.sShortNames[k])) return true;
        return false;
    };
    const std::string wanted = OutputPath(list_.sTempFolder, shortName);
    if (!taken(wanted)) return wanted;
    const std::string stem = wanted.substr(0, wanted.size() - 4);  // without ".mp4"
    for (int n = 2;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ").mp4";
        if (!taken(candidate)) return candidate;
    }
}

void BatchRun::Launch(Job& job, const std::vector<std::pair<std::string, std::string>>& pieces) {
    job.input = pieces[0].second;
    if (!job.pieceList.empty()) {
        std::vector<std::string> shortNames;
        for (const auto& piece : pieces) shortNames.push_back(piece.second);
        job.listError = services_.access->WriteSmallFile(job.pieceList, PieceList(shortNames));
        if (!job.listError.empty()) return;
        job.input = JoinedInput(job.pieceList);
    }
    auto child = services_.processes.Start(converter_, ConverterArguments(job.input, job.temporary), job.startError);
    if (!child) {
        job.startFailed = true;
        return;
    }
    runProgress_.FileStarted(job.first + 1, count_, job.span);
    job.converter = supervisor_.Watch(std::move(child), &runProgress_, job.first + 1);
}

void BatchRun::TopUp() {
    const int atOnce = std::max(1, services_.convertersAtOnce);
    // Results wait in the temporary folder for their turn; a few at most.
    while (!aheadStopped_ && runProblem_.empty() && nextAhead_ < count_ && supervisor_.Running() < atOnce &&
           static_cast<int>(ahead_.size()) < 2 * atOnce) {
        const auto j = static_cast<std::int16_t>(nextAhead_);
        nextAhead_ += spans_[j];
        const auto pieces = PiecesAt(j, spans_[j]);
        Job job = Prepared(j, pieces);
        // One whose result would replace an input fails at its turn, unstarted.
        if (!job.replacesInput) Launch(job, pieces);
        // Every later one would meet the same wall: it is met at its turn.
        if (job.startFailed) aheadStopped_ = true;
        ahead_.emplace(j, std::move(job));
    }
}

std::vector<std::pair<std::string, std::string>> BatchRun::PiecesAt(int first, int span) const {
    std::vector<std::pair<std::string, std::string>> pieces;
    for (int k = first; k < first + span; ++k) pieces.emplace_back(list_.sLongNames[k], list_.sShortNames[k]);
    return pieces;
}

const std::string& BatchRun::PieceName(std::size_t k) const { return k == 0 ? clipName_ : joinedNames_[k - 1]; }

void BatchRun::Drop(const Job& job, bool keepResult) {
    auto& files = services_.files;
    // When the window closes, the converters were stopped with it, and stay
    // for the program's end to inspect.
    if (keepResult)
        supervisor_.Release(job.converter);
    else
        supervisor_.Form_Unload();
    if (!job.pieceList.empty() && files.FileExists(job.pieceList)) files.DeleteFileForce(job.pieceList);
    if (!keepResult && !job.replacesInput && files.FileExists(job.temporary)) files.DeleteFileForce(job.temporary);
}

void BatchRun::ConvertOne(std::int16_t i, int span) {
    // Copies: a drop inside a pump may grow (and move) the list.
    pieces_ = PiecesAt(i, span);
    joinedNames_.clear();
    const std::string longName = pieces_[0].first;
    number_ = i + 1;
    ++place_;
    nextAhead_ = std::max(nextAhead_, i + span);
    auto fileName = [&](const std::pair<std::string, std::string>& piece) {
        return std::string(services_.style.FileName(piece.first.empty() ? piece.second : piece.first));
    };
    clipName_ = fileName(pieces_[0]);
    for (std::size_t k = 1; k < pieces_.size(); ++k) joinedNames_.push_back(fileName(pieces_[k]));

    view_.SetLabel1(longName);
    supervisor_.RefreshScreen();

    // Checked before anything in the temporary folder is touched.
    if (!prepared_) {
        prepared_ = true;
        runProblem_ = PrepareRun();
        if (!runProblem_.empty()) view_.ShowMessage(runProblem_);
    }

    if (auto it = ahead_.find(i); it != ahead_.end()) {
        current_ = std::move(it->second);
        ahead_.erase(it);
    } else {
        current_ = Prepared(i, pieces_);
    }
    // Its converter and list go with it, however it ends; its result stays
    // only when the run goes on (one that could not take its place).
    struct Done {
        BatchRun& run;
        ~Done() {
            run.Drop(*run.current_, std::uncaught_exceptions() == 0);
            run.current_.reset();
        }
    } done{*this};
    Job& job = *current_;

    AppendLog(std::string(kNewLine) + LogLine(i + 1, longName));
    if (!runProblem_.empty()) return Fail(Tr(kFailedStatus), runFailure_);
    if (job.replacesInput) return Fail(Tr(kWouldReplaceInput), {FailureKind::kReplacesInput, {}});

    view_.SetLabel2(Tr(kConvertingStatus));
    supervisor_.RefreshScreen();

    if (job.converter == 0 && job.listError.empty() && !job.startFailed) Launch(job, pieces_);
    if (!job.listError.empty()) return Fail(Tr(kFailedStatus), {FailureKind::kTempFolder, job.listError});
    if (job.startFailed) {
        // Once per run: every later file would meet the same wall.
        runProblem_ = Tr("I'm sorry. The converter program cannot be started, so nothing can be "
                         "converted.") +
                      std::string(kNewLine) + std::string(kNewLine) + job.startError;
        runFailure_ = {FailureKind::kCannotStart, job.startError};
        view_.ShowMessage(runProblem_);
        return Fail(Tr(kFailedStatus), runFailure_);
    }
    view_.ConverterStarted(clipName_, longName, place_, places_);
    supervisor_.Show(job.converter);
    supervisor_.lConverterPid = job.converter;
    TopUp();
    supervisor_.WaitForExitProcess(supervisor_.lConverterPid);
    supervisor_.lConverterPid = 0;
    // Its place is taken before its result is delivered.
    TopUp();
    view_.ConverterEnded();
    Conclude(job);
}

void BatchRun::Conclude(const Job& job) {
    auto& files = services_.files;
    // A result counts only when the converter says it finished well and the
    // file is really there; a crash can leave a partial file behind.
    platform::ChildProcess& converter = *supervisor_.Converter(job.converter);
    if (!converter.Succeeded() || !files.IsNonEmptyFile(job.temporary)) {
        if (files.FileExists(job.temporary)) files.DeleteFileForce(job.temporary);
        std::string problem;
        for (std::size_t k = 0; k < pieces_.size() && problem.empty(); ++k) {
            problem = ClipProblem(pieces_[k].second);
            if (!problem.empty() && job.span > 1) problem = PieceName(k) + ": " + problem;
        }
        Failure why = ConverterFailure(supervisor_.ConverterTail(job.converter), converter.Status(), problem);
        // The converter names the path it was given; the user knows the clip by its own name.
        ReplaceAll(why.detail, job.input, clipName_);
        // Also as spelled with any separator the system reads ("C:/...").
        for (std::size_t k = 0; k < pieces_.size(); ++k)
            for (const char* s = services_.style.separators; *s; ++s) {
                std::string spelled = pieces_[k].second;
                std::replace(spelled.begin(), spelled.end(), services_.style.separator, *s);
                ReplaceAll(why.detail, spelled, PieceName(k));
            }
        return Fail(Tr(kFailedStatus), std::move(why));
    }

    view_.SetLabel2(Tr(kTransferringStatus));
    supervisor_.RefreshScreen();
    if (auto failure = Deliver(pieces_[0].second, job.temporary, OutputPath(desktop_, pieces_[0].first)))
        return Fail(Tr(kCopyFailedStatus) + failure->detail, *failure);
    EndLines(true);
    runProgress_.FileFinished(number_, count_, true, job.span);
    converted_ += job.span;
}

void BatchRun::EndLines(bool succeeded) {
    const std::string word = Tr(succeeded ? kSuccessWord : kFailWord);
    AppendLog(word);
    for (std::size_t k = 1; k < pieces_.size(); ++k)
        AppendLog(std::string(kNewLine) + LogLine(number_ + static_cast<int>(k), pieces_[k].first) +
                  JoinedToText(number_) + word);
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

std::optional<Failure> BatchRun::Deliver(const std::string& clip, const std::string& result,
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
    if (!reason.empty()) return Failure{FailureKind::kNotDelivered, reason};
    if (recorded) access->SetModificationTime(staging, *recorded);
    // On the disk, its time included, before it takes its name, and the name
    // on the disk before " SUCCESS": users format the camera's card once
    // they read it. The window is answered while the flush goes on.
    auto keepAlive = [&](std::uint64_t, std::uint64_t) { supervisor_.KeepAlive(); };
    // Nothing stays under the staging name: the temporary result goes back
    // where it was, or the copy goes.
    auto unstage = [&] {
        std::string ignored;
        if (!moved || access->Rename(staging, result, ignored) != platform::RenameOutcome::kRenamed)
            files.DeleteFileForce(staging);
    };
    try {
        if (access) reason = access->FlushToDisk(staging, keepAlive);
    } catch (const RunAborted&) {
        unstage();  // the window was closed during the flush
        throw;
    }
    std::string target;
    if (reason.empty()) {
        target = DesktopTarget(wanted);
        reason = files.MoveReplacing(staging, target);
    }
    if (!reason.empty()) {
        unstage();
        return Failure{FailureKind::kNotDelivered, reason};
    }
    produced_.insert(target);
    // The result stands under its name already and may well be good, so it
    // stays; but unless its name is on the disk it is no SUCCESS, and a copy
    // left in the temporary folder stays there too.
    if (access) reason = access->FlushFolder(desktop_, keepAlive);
    if (!reason.empty()) return Failure{FailureKind::kNotSafe, target + ": " + reason};
    // Nothing of a delivered result is left in the temporary folder.
    if (!moved && access)
        access->DeleteInPieces(result, keepAlive);
    else if (!moved)
        files.DeleteFileForce(result);
    return std::nullopt;
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
        if (!services_.access->Open(clip, false, error)) return error.empty() ? Tr("cannot be opened") : error;
    }
    if (!services_.files.FileExists(clip)) return Tr("not found");
    return {};
}

void BatchRun::Fail(const std::string& status, Failure why) {
    failed_ += static_cast<int>(pieces_.size());
    why.detail = Shortened(std::move(why.detail));
    failures_.push_back({clipName_, std::move(why), joinedNames_});
    view_.SetLabel2(status);
    supervisor_.RefreshScreen();
    EndLines(false);
    runProgress_.FileFinished(number_, count_, false, static_cast<int>(pieces_.size()));
}

void BatchRun::AppendLog(const std::string& text) {
    view_.AppendLogText(text);
    view_.MoveCaretToEnd();
}

}  // namespace convert
