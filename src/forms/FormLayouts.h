#pragma once
// The three windows as data, read by every front-end: captions, client sizes,
// and each control's kind, container, caption, rectangle and tab index.
// Geometry is in twips (15 to a pixel at 96 dpi); a control's rectangle is
// relative to its container, the window or a frame.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileMenu.h"
#include "text/Translate.h"

namespace forms {

using text::N_;

// RichText: read-only text in more than one size (the failure summary).
// Console: read-only lines as a console shows them, each whole on one line,
// scrolled sideways rather than wrapped (the converter's output).
enum class Kind { Button, Frame, Label, TextBox, Option, ProgressBar, RichText, Console };

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

struct Control {
    std::string_view name;
    Kind kind;
    std::string_view container;  // "" for the window itself
    std::string_view caption;
    Rect twips;
    int tabIndex;
};

// How a control makes room for a caption wider than designed, in the user's
// language. kGrowLeft: it grows to the left into the free space beside it,
// keeping a gap, and the window widens by what that space lacks. kStretch:
// it widens with the window. kMove: it moves right as the window widens.
// kCentre: it grows about its middle and keeps the window's middle.
enum class Fit { kGrowLeft, kStretch, kMove, kCentre };

// What kGrowLeft keeps free beside the control: 8 pixels.
inline constexpr int kFitGap = 120;

struct FitRule {
    std::string_view name;
    Fit fit;
};

struct Layout {
    std::string_view caption;
    int clientWidth, clientHeight;  // twips
    std::span<const Control> controls;  // in the order the window defines them
    std::span<const FitRule> fit;       // the controls that may make room for their caption
    // The control that gives up height when the window has less room than
    // designed (the controls below it move up); "" for none.
    std::string_view stretch = {};
};

inline constexpr int kTwipsPerPixel = 15;  // at 96 dpi

inline constexpr Control kForm1Controls[] = {
    // TRANSLATORS: the button that opens the Setting window, and that window's title.
    {"Command3", Kind::Button, "", N_("Setting"), {2400, 3960, 1095, 495}, 6},
    {"Command2", Kind::Button, "", N_("About this software"), {3840, 3960, 2655, 495}, 5},
    {"Frame2", Kind::Frame, "", N_("Message"), {120, 2280, 6375, 1095}, 2},
    {"Label2", Kind::Label, "Frame2", "", {120, 360, 6135, 615}, 4},
    {"Frame1", Kind::Frame, "", N_("File to transfer"), {120, 120, 6375, 2175}, 1},
    {"Text1", Kind::TextBox, "Frame1", "Text1", {120, 360, 6135, 1695}, 7},
    {"Label1", Kind::Label, "Frame1", "", {120, 360, 6135, 1695}, 3},
    {"Command1", Kind::Button, "", N_("START"), {120, 3600, 1935, 855}, 0},
};
// Setting grows towards START; when that is not room enough, the window
// widens, About moves with it and the frames and their contents stretch.
inline constexpr FitRule kForm1Fit[] = {
    {"Command3", Fit::kGrowLeft}, {"Command2", Fit::kMove},  {"Frame1", Fit::kStretch}, {"Frame2", Fit::kStretch},
    {"Text1", Fit::kStretch},     {"Label1", Fit::kStretch}, {"Label2", Fit::kStretch}};
inline constexpr Layout kForm1{"Clipvane", 6690, 4695, kForm1Controls, kForm1Fit};

// The About text's pattern ("%1" is the version), and the text in English.
inline constexpr std::string_view kAboutPattern = N_("Version %1\nThank you for using my application.");
inline constexpr std::string_view kAboutText =
    "Version " CLIPVANE_VERSION "\nThank you for using my application.";

inline constexpr Control kForm2Controls[] = {
    {"Label1", Kind::Label, "", kAboutText, {120, 0, 8175, 2055}, 0},
    {"Command1", Kind::Button, "", N_("Close"), {3240, 2160, 1695, 495}, 1},
};
inline constexpr Layout kForm2{N_("About this software"), 8430, 2730, kForm2Controls, {}};

// The Send To frame's caption, and the same on a desktop whose file manager
// has "Open With" instead.
inline constexpr std::string_view kSendToCaption = N_("Right click a file and send to");
inline constexpr std::string_view kOpenWithCaption = N_("Right click a file and open with");

inline constexpr Control kForm3Controls[] = {
    {"Frame2", Kind::Frame, "", kSendToCaption, {240, 1920, 4215, 1095}, 4},
    {"Option4", Kind::Option, "Frame2", N_("disabled"), {2160, 360, 1335, 495}, 6},
    {"Option3", Kind::Option, "Frame2", N_("enabled"), {360, 360, 1215, 495}, 5},
    {"Command1", Kind::Button, "", N_("Set"), {960, 3240, 2655, 495}, 3},
    {"Frame1", Kind::Frame, "", N_("Create a shortcut to the Desktop?"), {240, 240, 4215, 1095}, 0},
    // TRANSLATORS: the choice under "Create a shortcut to the Desktop?" that makes none (or removes it).
    {"Option2", Kind::Option, "Frame1", N_("No"), {2160, 480, 1575, 375}, 2},
    // TRANSLATORS: the choice under "Create a shortcut to the Desktop?" that makes it.
    {"Option1", Kind::Option, "Frame1", N_("Yes"), {360, 480, 1455, 375}, 1},
};
// The frames widen with the window; Set keeps the middle.
inline constexpr FitRule kForm3Fit[] = {
    {"Frame1", Fit::kStretch}, {"Frame2", Fit::kStretch}, {"Command1", Fit::kCentre}};
inline constexpr Layout kForm3{N_("Setting"), 4680, 3945, kForm3Controls, kForm3Fit};

// The summary after a run in which clips failed: how many (Label1), each
// failed clip with its reason (Text1), and its own button to close it.
inline constexpr Control kSummaryControls[] = {
    {"Label1", Kind::Label, "", "", {120, 120, 7200, 615}, 0},
    {"Text1", Kind::RichText, "", "", {120, 840, 7200, 3135}, 1},
    {"Command1", Kind::Button, "", N_("Close"), {5625, 4095, 1695, 495}, 2},
};
inline constexpr Layout kSummary{N_("Conversion problems"), 7440, 4710, kSummaryControls, {}, "Text1"};

// The converter's progress: the clip, its place in the run, the bar, the time
// spent and left, and the converter's output below, shown only with Details
// (the window is `kProgressCompactHeight` high without it).
inline constexpr Control kProgressControls[] = {
    {"Name", Kind::Label, "", "", {120, 120, 4800, 315}, 0},
    {"Place", Kind::Label, "", "", {5040, 120, 2040, 315}, 1},
    {"Bar", Kind::ProgressBar, "", "", {120, 510, 6960, 300}, 2},
    {"Elapsed", Kind::Label, "", "", {120, 930, 3420, 315}, 3},
    {"Left", Kind::Label, "", "", {3660, 930, 3420, 315}, 4},
    {"Details", Kind::Button, "", N_("Details"), {5520, 1365, 1560, 435}, 5},
    {"Output", Kind::Console, "", "", {120, 1920, 6960, 3300}, 6},
};
inline constexpr int kProgressCompactHeight = 1920;
inline constexpr Layout kProgress{"", 7200, 5340, kProgressControls, {}, "Output"};

// The details keep the converter's last lines, the one being written among
// them: a long run's output would otherwise fill the memory.
inline constexpr int kDetailsLines = 2000;
// They follow what arrives only while they show their end and nothing in
// them is selected: a user reading or copying further up keeps the place.
constexpr bool FollowsOutput(bool endShown, bool selected) { return endShown && !selected; }

// What a window or control with this caption shows, in the user's language.
std::string Shown(std::string_view caption);

// Frames, labels and bars only show; the rest take the focus.
inline constexpr bool TakesFocus(Kind kind) {
    return kind != Kind::Frame && kind != Kind::Label && kind != Kind::ProgressBar;
}

// The named control; throws std::out_of_range for a name the layout lacks.
const Control& Find(const Layout& layout, std::string_view name);

// The control's rectangle relative to the window's client area (a frame's
// controls sit inside the frame's rectangle).
Rect InWindow(const Layout& layout, const Control& control);

// The control's rectangle in a window shortened to a client area
// `clientHeight` twips high: the layout's stretch control gives up the
// difference, and the controls below it move up by as much.
Rect Shortened(const Layout& layout, const Control& control, int clientHeight);

// Every control, ordered by tab index.
std::vector<const Control*> ByTabIndex(const Layout& layout);

// The controls Tab moves through, in that order.
std::vector<std::string_view> FocusOrder(const Layout& layout);

// Twips to pixels at a given dpi, rounded to the nearest pixel.
int ToPixels(int twips, int dpi);

// What a control of this kind needs beside its caption's text to show it
// whole, in twips, in either face: a button's edges, an option's circle and
// the gap after it, a frame's indent at both ends; nothing for the rest.
constexpr int CaptionMargin(Kind kind) {
    switch (kind) {
        case Kind::Button: return 10 * kTwipsPerPixel;
        case Kind::Option: return 20 * kTwipsPerPixel;
        case Kind::Frame: return 16 * kTwipsPerPixel;
        default: return 0;
    }
}

// A layout as one face shows it: the captions of its file menu, and each
// control with a fit rule made as wide as its caption needs.
class FittedLayout {
public:
    // textWidth(shown) is the width in twips of the text `shown` in the
    // face's font; each control needs its CaptionMargin beside it.
    template <typename TextWidth>
    FittedLayout(const Layout& designed, platform::FileMenu menu, TextWidth textWidth)
        : controls_(designed.controls.begin(), designed.controls.end()) {
        if (menu == platform::FileMenu::kOpenWith)
            for (Control& c : controls_)
                if (c.caption == kSendToCaption) c.caption = kOpenWithCaption;
        // The designed layout, its stretch control included, over the controls made to fit.
        layout_ = designed;
        layout_.controls = controls_;
        for (const FitRule& rule : designed.fit) {
            const Control& c = forms::Find(layout_, rule.name);
            MakeRoom(rule, textWidth(Shown(c.caption)) + CaptionMargin(c.kind));
        }
        Widen();
    }
    FittedLayout(const FittedLayout&) = delete;
    FittedLayout& operator=(const FittedLayout&) = delete;

    const Layout& layout() const { return layout_; }

private:
    Control& At(std::string_view name);
    void MakeRoom(const FitRule& rule, int neededWidth);
    void Widen();

    std::vector<Control> controls_;
    Layout layout_{};
    int widen_ = 0;  // twips the window grows by
};

}  // namespace forms
