#include "SummaryWindow.h"

#include <richedit.h>

namespace app {

namespace {

// Appends one paragraph in the window's face at `twips` high (20 to the point).
void AppendParagraph(HWND edit, const std::string& text, bool bold, LONG twips, LONG spaceBefore, bool first) {
    LOGFONTW font{};
    GetObjectW(WindowFont(), sizeof font, &font);
    CHARFORMAT2W chars{};
    chars.cbSize = sizeof chars;
    chars.dwMask = CFM_BOLD | CFM_SIZE | CFM_CHARSET | (font.lfFaceName[0] ? CFM_FACE : 0);
    chars.dwEffects = bold ? CFE_BOLD : 0;
    chars.yHeight = twips;
    chars.bCharSet = font.lfCharSet;
    wcsncpy(chars.szFaceName, font.lfFaceName, LF_FACESIZE - 1);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    if (!first) SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r\n"));
    PARAFORMAT2 paragraph{};
    paragraph.cbSize = sizeof paragraph;
    paragraph.dwMask = PFM_SPACEBEFORE;
    paragraph.dySpaceBefore = spaceBefore;
    SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&chars));
    const std::wstring wide = Wide(text);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace

SummaryWindow::SummaryWindow(const std::vector<convert::FailedClip>& failed, int count) {
    Create(forms::kSummary);
    Label1 = Control("Label1");
    Text1 = Control("Text1");
    Command1 = Control("Command1");
    SetText(Label1, convert::SummaryHeading(failed, count));

    LOGFONTW font{};
    GetObjectW(WindowFont(), sizeof font, &font);
    const LONG size = MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 1440, ScreenDpi());
    bool first = true;
    for (const convert::SummaryLine& line : convert::SummaryLines(failed)) {
        using Style = convert::SummaryLine::Style;
        const bool clip = line.style == Style::kClip;
        AppendParagraph(Text1, line.text, clip, line.style == Style::kDetail ? size * 4 / 5 : size,
                        clip && !first ? size * 4 / 5 : 0, first);
        first = false;
    }
    SendMessageW(Text1, EM_SETSEL, 0, 0);
}

void SummaryWindow::Clicked(std::string_view name) {
    if (name == "Command1") CloseRequested();
}

void SummaryWindow::ShowBeside(HWND avoid) {
    PlaceBeside(avoid, Pixels(forms::kSummary.clientHeight));
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
}

}  // namespace app
