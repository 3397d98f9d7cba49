#pragma once
#include <string>

namespace intake {

// What the intake needs of the main window: the log box, message boxes and
// the START button.
class IntakeView {
public:
    virtual ~IntakeView() = default;
    virtual std::string LogText() = 0;
    virtual void SetLogText(const std::string& text) = 0;
    // Puts the caret after the last character, so the box shows its end.
    virtual void MoveCaretToEnd() = 0;
    // A modal message box with one OK button, captioned with the program's title.
    virtual void ShowMessage(const std::string& text) = 0;
    // The START button's state, named by its English caption (kStart,
    // kConverting or kFinish); the window shows it in the user's language.
    virtual void SetCommand1(const std::string& caption, bool enabled) = 0;
};

}  // namespace intake
