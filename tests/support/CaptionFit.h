#pragma once
// What both faces' fit tests check, each measuring in its own toolkit:
// every caption of the windows, in the catalogue in use, within its
// control in the window's font. Some English captions of fixed controls are
// already a few pixels wider than their control in a face's font, so a
// translation there may be as wide as the English, never wider: the first
// (English) pass records the English widths.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "forms/FormLayouts.h"

namespace testing_support {

// Whether two rectangles share any point.
inline bool Overlap(const forms::Rect& a, const forms::Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// textWidth(utf8) and pixels(twips) in the face's own terms; fitted(layout)
// is the layout as the face shows it. A control that grows to its caption
// must fit it whole; none may then overlap another that it did not overlap
// as designed, nor leave its container.
template <typename TextWidth, typename Pixels, typename Fitted>
void ExpectCaptionsFit(TextWidth textWidth, Pixels pixels, std::map<std::string_view, int>& english, Fitted fitted) {
    for (const forms::Layout* designed : {&forms::kForm1, &forms::kForm2, &forms::kForm3, &forms::kSummary}) {
        const forms::FittedLayout shown = fitted(*designed);
        const forms::Layout& layout = shown.layout();
        for (std::size_t i = 0; i < layout.controls.size(); ++i) {
            const forms::Control& c = layout.controls[i];
            const int room = c.container.empty() ? layout.clientWidth : forms::Find(layout, c.container).twips.width;
            EXPECT_TRUE(c.twips.left >= 0 && c.twips.left + c.twips.width <= room) << c.name;
            for (std::size_t j = 0; j < i; ++j) {
                const bool apart = !Overlap(designed->controls[i].twips, designed->controls[j].twips);
                if (layout.controls[j].container == c.container && apart) {
                    EXPECT_FALSE(Overlap(c.twips, layout.controls[j].twips))
                        << c.name << " " << layout.controls[j].name;
                }
            }
            const bool grows = std::any_of(layout.fit.begin(), layout.fit.end(), [&](const forms::FitRule& r) {
                return r.name == c.name && r.fit != forms::Fit::kMove;
            });
            // Labels and the log box wrap.
            if (c.kind != forms::Kind::Button && c.kind != forms::Kind::Option && c.kind != forms::Kind::Frame)
                continue;
            const int needed = textWidth(forms::Shown(c.caption)) + pixels(forms::CaptionMargin(c.kind));
            if (english.find(c.caption) == english.end()) english[c.caption] = needed;
            EXPECT_LE(needed, grows ? pixels(c.twips.width) : std::max(pixels(c.twips.width), english[c.caption]))
                << c.name << " \"" << forms::Shown(c.caption) << "\"";
        }
    }
}

}  // namespace testing_support
