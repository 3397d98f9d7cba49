#include "FormLayouts.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace forms {

std::string Shown(std::string_view caption) {
    if (caption == kAboutText) return text::Fill(text::Tr(kAboutPattern), {CLIPVANE_VERSION});
    // Empty labels and the log box's placeholder are not texts to translate.
    if (caption.empty() || caption == "Text1") return std::string(caption);
    return text::Tr(caption);
}

const Control& Find(const Layout& layout, std::string_view name) {
    for (const Control& c : layout.controls)
        if (c.name == name) return c;
    throw std::out_of_range("no control " + std::string(name) + " in " + std::string(layout.caption));
}

Rect InWindow(const Layout& layout, const Control& control) {
    Rect r = control.twips;
    if (!control.container.empty()) {
        const Rect frame = InWindow(layout, Find(layout, control.container));
        r.left += frame.left;
        r.top += frame.top;
    }
    return r;
}

Rect Shortened(const Layout& layout, const Control& control, int clientHeight) {
    Rect r = InWindow(layout, control);
    if (layout.stretch.empty()) return r;
    const Rect stretch = InWindow(layout, Find(layout, layout.stretch));
    const int less = layout.clientHeight - clientHeight;
    if (control.name == layout.stretch)
        r.height = std::max(0, r.height - less);
    else if (r.top >= stretch.top + stretch.height)
        r.top -= less;
    return r;
}

std::vector<const Control*> ByTabIndex(const Layout& layout) {
    std::vector<const Control*> order;
    for (const Control& c : layout.controls) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

std::vector<std::string_view> FocusOrder(const Layout& layout) {
    std::vector<std::string_view> names;
    for (const Control* c : ByTabIndex(layout))
        if (TakesFocus(c->kind)) names.push_back(c->name);
    return names;
}

int ToPixels(int twips, int dpi) {
    // Exact at 96 dpi (every designed value is a multiple of 15).
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long per = static_cast<long long>(kTwipsPerPixel) * 96;
    return static_cast<int>((scaled + (scaled >= 0 ? per / 2 : -per / 2)) / per);
}

}  // namespace forms
namespace forms {

namespace {
// Whole pixels at 96 dpi.
int ToWholePixels(int twips) { return (twips + kTwipsPerPixel - 1) / kTwipsPerPixel * kTwipsPerPixel; }
}  // namespace

Control& FittedLayout::At(std::string_view name) {
    return controls_[static_cast<std::size_t>(&Find(layout_, name) - controls_.data())];
}

void FittedLayout::MakeRoom(const FitRule& rule, int neededWidth) {
    Control& c = At(rule.name);
    const int extra = ToWholePixels(std::max(0, neededWidth - c.twips.width));
    switch (rule.fit) {
        case Fit::kGrowLeft: {
            // The nearest control on its left that shares its rows.
            int free = c.twips.left - kFitGap;
            for (const Control& other : controls_)
                if (&other != &c && other.container == c.container && other.twips.top < c.twips.top + c.twips.height &&
                    c.twips.top < other.twips.top + other.twips.height &&
                    other.twips.left + other.twips.width <= c.twips.left)
                    free = std::min(free, c.twips.left - other.twips.left - other.twips.width - kFitGap);
            const int into = std::clamp(extra, 0, std::max(0, free / kTwipsPerPixel * kTwipsPerPixel));
            c.twips.left -= into;
            c.twips.width += extra;
            widen_ = std::max(widen_, extra - into);
            break;
        }
        case Fit::kStretch: widen_ = std::max(widen_, extra); break;
        case Fit::kMove: break;
        case Fit::kCentre:
            c.twips.left -= ToWholePixels(extra / 2);
            c.twips.width += extra;
            break;
    }
}

void FittedLayout::Widen() {
    if (widen_ == 0) return;
    layout_.clientWidth += widen_;
    for (const FitRule& rule : layout_.fit) {
        Control& c = At(rule.name);
        if (rule.fit == Fit::kStretch) c.twips.width += widen_;
        if (rule.fit == Fit::kMove) c.twips.left += widen_;
        if (rule.fit == Fit::kCentre) c.twips.left += ToWholePixels(widen_ / 2);
    }
}

}  // namespace forms
