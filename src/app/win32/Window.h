#pragma once
// What the three windows share: the window class, the one font and icon, the
// layout tables turned into controls at the screen's density, and the pump.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/FormLayouts.h"
#include "platform/windows/Win32.h"

namespace app {

using platform::windows::Utf8;
using platform::windows::Wide;

// The core's line breaks are "\n"; Windows controls want "\r\n".
std::wstring ToControlText(std::string_view utf8);
std::string FromControlText(std::wstring_view text);

std::wstring TextOf(HWND control);
void SetText(HWND control, std::string_view utf8);

// The screen's dots per inch (the program is dpi aware: no scaling by the system).
int ScreenDpi();
int Pixels(int twips);

// The face every window uses: "System" in the character set it was designed
// for where the system has it, otherwise the system's own message face.
// The windows' font, for the language the program speaks: its face ("" when
// the font mapper chooses by character set alone) and the font itself.
std::wstring FontFace();
HFONT WindowFont();
HICON WindowIcon(bool small);

// The work area of the monitor `window` is on, in screen pixels.
forms::Rect WorkArea(HWND window);
// The width in twips of a text in the windows' font.
int TextTwips(const std::string& text);

// A top-level window over one of the layouts: a close box and no maximize or
// minimize button, its client area as designed. Hidden until shown.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd = nullptr;
    // The control with the layout's name.
    HWND Control(std::string_view name) const;
    // True from WM_DESTROY on; a closed window is never shown again.
    bool Closed() const { return closed_; }
    // Moves the window clear of `avoid` (the main window) on its monitor,
    // with a client area `clientHeight` pixels high, or less where the screen
    // is short of room: the layout's stretch control gives it up.
    void PlaceBeside(HWND avoid, int clientHeight);

    // Passes one message through the dialog manager of its window (Tab,
    // arrows, Enter) or on to its window procedure.
    static void Dispatch(MSG& msg);

protected:
    // Creates the window and its controls, in tab order so that Tab follows it;
    // the layout as fitted to its captions in the user's language.
    void Create(const forms::Layout& layout, DWORD exStyle = 0);
    virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // A click on one of the window's buttons.
    virtual void Clicked(std::string_view name) = 0;
    // The close box or a close of our own.
    virtual void CloseRequested() = 0;

    // A client area `clientHeight` pixels high, at most as designed: the
    // controls shortened to it (forms::Shortened).
    void Shorten(int clientHeight);

    const forms::Layout* layout_ = nullptr;

private:
    // The window's outer size around a client area `clientHeight` pixels high.
    SIZE FrameSize(int clientHeight) const;
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<const forms::FittedLayout> fitted_;
    std::vector<std::pair<std::string_view, HWND>> controls_;
    HWND focus_ = nullptr;
    bool closed_ = false;
};

}  // namespace app
