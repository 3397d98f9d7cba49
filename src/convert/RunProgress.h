#pragma once
#include <chrono>
#include <map>
#include <optional>
#include "RunView.h"

namespace convert {

// How far the whole run has got, for the task bar: file i of N at p percent
// is (i - 1 + p / 100) / N of the run, and the files converting beyond it add
// their own shares. Tells the view at each visible step.
class RunProgress {
public:
    explicit RunProgress(RunView* view = nullptr) : view_(view) {}
    // A recording of `span` files, from file `number` on, counts as that many.
    void FileStarted(int number, int count, int span = 1);
    // The converter's percent for file `number`; none while unknown.
    void FilePercent(int number, std::optional<int> percent);
    void FileFinished(int number, int count, bool succeeded, int span = 1);

    // 0 to 1.
    double Fraction() const;
    // True once a file of this run has failed.
    bool Failed() const { return failed_; }

private:
    void Tell();

    RunView* view_;
    int count_ = 0;
    int done_ = 0;  // the files before the first one converting
    // The files converting, by number: their span and share done, 0 to 1.
    std::map<int, std::pair<int, double>> converting_;
    bool failed_ = false;
    int toldPercent_ = -1;  // none yet
    bool toldFailed_ = false;
};

}  // namespace convert
