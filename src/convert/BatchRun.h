#pragma once
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
};

// The START button: converts every file listed when the run starts, one after
// another, into the temporary folder, and puts each result on the Desktop.
class BatchRun {
public:
    BatchRun(intake::FileList& list, RunView& view, Supervisor& supervisor, RunServices services)
        : list_(list), view_(view), supervisor_(supervisor), services_(services) {}

    void Command1_Click();

    // The converter's arguments: overwrite, the input, the video made for the
    // iPhone, MP4, the output.
    static std::vector<std::string> ConverterArguments(const std::string& input,
                                                       const std::string& output);

private:
    void Run();
    void ConvertOne(std::int16_t i, std::int16_t count);
    // "" when the run can go on; otherwise the reason, shown once per run,
    // and in `runFailure_` what each clip's failure is then put down to.
    std::string PrepareRun();
    // The system's reason when the clip cannot be opened; "" when it can.
    std::string ClipProblem(const std::string& clip);
    std::string OutputPath(const std::string& folder, const std::string& source) const;
    std::string DesktopTarget(const std::string& wanted);
    std::string Deliver(const std::string& clip, const std::string& result,
                        const std::string& wanted);
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
    std::vector<FailedClip> failures_;
    std::string converter_;
    std::string desktop_;
    std::set<std::string> produced_;
    int converted_ = 0;
    int failed_ = 0;
    // The file being converted (1 to count) and the run's count.
    int number_ = 0, count_ = 0;
};

}  // namespace convert
