#pragma once

namespace platform {

// The file manager's menu that the Setting window puts Clipvane into: Windows'
// "Send To" (a shortcut in the SendTo folder), or the desktop's "Open With"
// on Linux (a menu entry among the applications).
enum class FileMenu { kSendTo, kOpenWith };

#ifdef _WIN32
inline constexpr FileMenu kNativeFileMenu = FileMenu::kSendTo;
#else
inline constexpr FileMenu kNativeFileMenu = FileMenu::kOpenWith;
#endif

}  // namespace platform
