#pragma once
// What both faces' fit tests check, each measuring in its own toolkit:
// every caption of the windows, in the catalogue in use, within its
// control in the window's font. Some English captions are already a few
// pixels wider than their control in a face's font, so a translation may
// be as wide as the English, never wider: the first (English) pass records
// the English widths.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "forms/FormLayouts.h"

namespace testing_support {

struct Margins {
    int button, option, frame;  // what each kind of control needs beside its text
};

// textWidth(utf8) and pixels(twips) in the face's own terms.
template <typename TextWidth, typename Pixels>
void ExpectCaptionsFit(TextWidth textWidth, Pixels pixels, Margins margins, std::map<std::string_view, int>& english) {
    for (const forms::Layout* layout : {&forms::kForm1, &forms::kForm2, &forms::kForm3, &forms::kSummary}) {
        for (const auto& c : layout->controls) {
            const std::string shown = forms::Shown(c.caption);
            int needed = textWidth(shown);
            if (c.kind == forms::Kind::Button)
                needed += margins.button;
            else if (c.kind == forms::Kind::Option)
                needed += margins.option;
            else if (c.kind == forms::Kind::Frame)
                needed += margins.frame;
            else
                continue;  // labels and the log box wrap
            if (english.find(c.caption) == english.end()) english[c.caption] = needed;
            EXPECT_LE(needed, std::max(pixels(c.twips.width), english[c.caption])) << c.name << " \"" << shown << "\"";
        }
    }
}

}  // namespace testing_support
