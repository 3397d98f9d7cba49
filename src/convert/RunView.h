#pragma once
#include <string>

#include "intake/IntakeView.h"

namespace convert {

// What a conversion run needs of the main window, beyond what the intake uses.
class RunView : public intake::IntakeView {
public:
    virtual std::string Command1Caption() = 0;
    virtual void AppendLogText(const std::string& text) = 0;
    virtual void SetLabel1(const std::string& caption) = 0;
    virtual void SetLabel2(const std::string& caption) = 0;
    // Paints the window and its progress elements now, not later.
    virtual void Repaint() = 0;
    // Handles every pending event (clicks, drops, the window being closed).
    virtual void PumpEvents() = 0;
    // True once the main window has been unloaded: the program is ending.
    virtual bool Unloaded() = 0;
    virtual void UnloadMainWindow() = 0;

    // The converter's own window: shows its live output, never takes the focus.
    virtual void ConverterStarted(const std::string& title) = 0;
    virtual void ConverterOutput(const std::string& text) = 0;
    virtual void ConverterEnded() = 0;
};

}  // namespace convert
