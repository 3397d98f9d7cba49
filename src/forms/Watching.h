#pragma once

namespace forms {

// Whether the user sees a run end in the main window, and so needs no notice
// of it, from what a face can tell: the main window is active at the end, or
// the progress window had the focus when it closed (some window systems give
// it one) and handed it back, which the window system may not have carried
// out yet. That hand-back counts only until a run or another converter
// starts, or the window system tells where the focus went.
class Watching {
public:
    void Started() { handedBack_ = false; }
    void ActivationChanged() { handedBack_ = false; }
    // The progress window closes; true when the focus it had goes back to the
    // main window (only a shown one takes it).
    bool ProgressClosed(bool hadFocus, bool mainShown) { return handedBack_ = hadFocus && mainShown; }
    bool AtRunEnd(bool mainActive) const { return mainActive || handedBack_; }

private:
    bool handedBack_ = false;
};

}  // namespace forms
