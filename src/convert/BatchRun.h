#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>

#include "RunView.h"
#include "Supervision.h"
#include "intake/FileList.h"
#include "platform/FileAccess.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"
#include "platform/Process.h"
#include "platform/SleepInhibitor.h"
#include "platform/SpecialFolders.h"

namespace convert {

// The system services a run uses.
struct RunServices {
    platform::FileSystem& files;
    platform::SpecialFolders& folders;
    platform::ProcessLauncher& processes;
    // True when the temporary folder is the program's own per-user folder
    // (no TEMP given): the run creates it privately and checks it first.
    bool privateTempFolder = false;
    platform::PathStyle style = platform::kNativePaths;
    // Dates the results and moves them; without it they are copied, undated.
    platform::FileAccess* access = nullptr;
    // Keeps the system awake from START to the end of the run; optional.
    platform::SleepInhibitor* awake = nullptr;
    // How many converters may run at once (see ConvertersAtOnce).
    int convertersAtOnce = 1;
};

// How many converters make a batch fastest on a machine with `cores`.
int ConvertersAtOnce(unsigned cores);

// The START button: converts every file listed when the run starts into the
// temporary folder, and puts each result on the Desktop. The log reads as if
// the files were converted one after another; beside the file at hand, the
// next ones may already be converting.
class BatchRun {
public:
    BatchRun(intake::FileList& list, RunView& view, Supervisor& supervisor, RunServices services)
        : list_(list), view_(view), supervisor_(supervisor), services_(services) {}

    void Command1_Click();

    // The converter's arguments: overwrite, the input, the video and the
    // sound made for the iPhone, MP4, the output.
    static std::vector<std::string> ConverterArguments(const std::string& input,
                                                       const std::string& output);
    // The input for the pieces of one recording, read as one stream through
    // the list of them at `listPath`, which holds PieceList(pieces): one
    // quoted name a line, so that any name works.
    static std::string JoinedInput(const std::string& listPath);
    static std::string PieceList(const std::vector<std::string>& pieces);

private:
    // One recording's conversion, from its preparation to its result.
    struct Job {
        std::int16_t first = 0;  // its first file's index in the list
        int span = 1;            // how many files make it
        std::string temporary;   // the result in the temporary folder
        std::string pieceList;   // the list of its pieces, when joined
        std::string input;       // what the converter reads
        bool replacesInput = false;
        std::int32_t converter = 0;  // 0 until started
        // Why it could not start: the list could not be written, or the
        // converter not be started.
        std::string listError, startError;
        bool startFailed = false;
    };

    void Run();
    // Converts file i and the `span` - 1 files joined to it as one recording.
    void ConvertOne(std::int16_t i, int span);
    // The converter has ended: fails the recording or delivers its result.
    void Conclude(const Job& job);
    // A job for file i's recording: its temporary names, the check that its
    // result replaces none of its inputs, and a stale result removed.
    Job Prepared(std::int16_t i, const std::vector<std::pair<std::string, std::string>>& pieces);
    // A name in the temporary folder that no other job and no other file of
    // the run has.
    std::string FreeTemporary(const std::string& shortName, std::int16_t first, int span) const;
    // Writes the job's list and starts its converter, beside the one shown.
    void Launch(Job& job, const std::vector<std::pair<std::string, std::string>>& pieces);
    // The files of the recording from `first` on, as listed (long, short).
    std::vector<std::pair<std::string, std::string>> PiecesAt(int first, int span) const;
    // The file name the user knows piece k of the recording at hand by.
    const std::string& PieceName(std::size_t k) const;
    // Starts the next recordings' converters while there is room for them.
    void TopUp();
    // Removes what a job left in the temporary folder: its list, and its
    // result unless the run goes on (where one could not take its place).
    void Drop(const Job& job, bool keepResult);
    // " SUCCESS" or " FAIL" on the recording's line, then a line for each
    // file joined to it, with the same word.
    void EndLines(bool succeeded);
    // "" when the run can go on; otherwise the reason, shown once per run,
    // and in `runFailure_` what each clip's failure is then put down to.
    std::string PrepareRun();
    // The system's reason when the clip cannot be opened; "" when it can.
    std::string ClipProblem(const std::string& clip);
    std::string OutputPath(const std::string& folder, const std::string& source) const;
    std::string DesktopTarget(const std::string& wanted);
    // Puts the result on the Desktop; what went wrong, if anything.
    std::optional<Failure> Deliver(const std::string& clip, const std::string& result, const std::string& wanted);
    // Puts the result at `staging`, by a rename where it can; `moved` tells
    // which. "" or the reason.
    std::string Stage(const std::string& result, const std::string& staging, bool& moved);
    std::string CopyKeepingAlive(const std::string& result, const std::string& staging);
    void Fail(const std::string& status, Failure why);
    void AppendLog(const std::string& text);

    intake::FileList& list_;
    RunView& view_;
    Supervisor& supervisor_;
    RunServices services_;

    bool prepared_ = false;
    std::string runProblem_;
    Failure runFailure_{FailureKind::kCannotStart, {}};
    std::string clipName_;  // of the file at hand, for its failure
    // The files of the recording at hand, as listed (long, short); the
    // first is the file at hand.
    std::vector<std::pair<std::string, std::string>> pieces_;
    std::vector<std::string> joinedNames_;  // the file names of all but the first
    std::vector<FailedClip> failures_;
    RunProgress runProgress_{&view_};
    std::string converter_;
    std::string desktop_;
    std::set<std::string> produced_;
    int converted_ = 0;
    int failed_ = 0;
    // The file being converted (1 to count) and the run's count.
    int number_ = 0, count_ = 0;
    // For each listed file, how many files make the recording it starts (0
    // when it is joined to an earlier one); and the recording's place among
    // the run's recordings, as the progress window shows it.
    std::vector<int> spans_;
    int place_ = 0, places_ = 0;
    // The recording at hand, and those prepared before their turn, by index.
    std::optional<Job> current_;
    std::map<int, Job> ahead_;
    int nextAhead_ = 0;          // the first recording not prepared yet
    bool aheadStopped_ = false;  // a converter could not be started
};

}  // namespace convert
