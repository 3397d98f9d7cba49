#pragma once
#include <functional>
#include <string>
#include <vector>

#include "convert/RunView.h"

namespace testing_support {

// A main window without a window: records what the program shows.
class FakeView : public convert::RunView {
public:
    std::string text = "Text1";
    std::size_t caret = 0;
    std::string caption = "START";
    bool enabled = true;
    std::string label1, label2;
    std::vector<std::string> messages;
    std::vector<std::string> statuses;  // every Label2 caption, in order
    int repaints = 0;
    bool unloaded = false;
    int unloadRequests = 0;
    std::vector<std::string> converterTitles, converterNames;  // each clip's path and name
    std::vector<std::pair<int, int>> converterPlaces;  // number, count
    std::vector<std::pair<int, int>> runEnds;          // converted, failed
    std::vector<convert::FailedClip> failures;         // as the end of the run told them
    int failuresOutOf = 0, failureSummaries = 0;
    std::string converterOutput;  // the console's whole lines, as they came
    // What each file's window was shown, with the file's place in the run.
    std::vector<std::pair<int, convert::FileProgress>> fileProgress;
    std::vector<std::pair<double, bool>> runProgress;  // fraction, failed
    int convertersEnded = 0;
    // Runs inside every event pump, as a user's action would.
    std::function<void()> onPump;

    std::string LogText() override { return text; }
    void SetLogText(const std::string& t) override { text = t; }
    void MoveCaretToEnd() override { caret = text.size(); }
    void ShowMessage(const std::string& m) override { messages.push_back(m); }
    void SetCommand1(const std::string& c, bool e) override {
        caption = c;
        enabled = e;
    }
    std::string Command1Caption() override { return caption; }
    void AppendLogText(const std::string& t) override { text += t; }
    void SetLabel1(const std::string& c) override { label1 = c; }
    void SetLabel2(const std::string& c) override {
        label2 = c;
        statuses.push_back(c);
    }
    void Repaint() override { ++repaints; }
    void PumpEvents() override {
        if (onPump) onPump();
    }
    bool Unloaded() override { return unloaded; }
    void UnloadMainWindow() override { ++unloadRequests; }
    void ConverterStarted(const std::string& name, const std::string& path, int number, int count) override {
        converterTitles.push_back(path);
        converterNames.push_back(name);
        converterPlaces.emplace_back(number, count);
    }
    void ShowFileProgress(const convert::FileProgress& p) override {
        converterOutput += p.newLines;
        fileProgress.emplace_back(converterPlaces.empty() ? 0 : converterPlaces.back().first, p);
    }
    void ShowRunProgress(double fraction, bool failed) override { runProgress.emplace_back(fraction, failed); }
    void ConverterEnded() override { ++convertersEnded; }
    void RunEnded(int converted, int failed) override { runEnds.emplace_back(converted, failed); }
    void ShowFailures(const std::vector<convert::FailedClip>& failed, int count) override {
        failures = failed;
        failuresOutOf = count;
        ++failureSummaries;
    }

    // The log box's lines, split at line breaks.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines(1);
        for (char c : text) {
            if (c == '\n')
                lines.emplace_back();
            else
                lines.back() += c;
        }
        return lines;
    }
};

}  // namespace testing_support
