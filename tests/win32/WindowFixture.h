#pragma once
// The real Win32 main window over temporary folders: its own Desktop, Send
// To, temporary and program folders, the stand-in converter in the latter.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Form1.h"
#include "support/FakeEnvironment.h"
#include "support/FixedFolders.h"
#include "windows/WindowsTestSupport.h"

namespace win32_test {

// A control's rectangle in its window's client area.
RECT ClientRect(HWND control);
// Explorer's drop of these paths: a DROPFILES block in global memory.
HDROP MakeDrop(const std::vector<std::string>& paths);
// A key pressed where the focus is, through the window's pump.
void Press(app::Form1& form, WPARAM key);
inline void PressTab(app::Form1& form) { Press(form, VK_TAB); }
// The lines of the log box.
std::vector<std::string> Lines(app::Form1& form);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window, runs its load event with this argument string and shows it.
    void Load(const std::string& commandLine);
    void UseFakeConverter(const std::string& mode);
    std::string MakeFile(const std::string& name, const std::string& content = "clip");

    wintest::TestFolder root;
    std::string desktop, sendTo, temp, program;
    platform::Platform platform;
    testing_support::FakeEnvironment* environment = nullptr;
    std::unique_ptr<app::Form1> form;
    std::vector<std::string> messages;
    std::unique_ptr<wintest::ScopedVariable> tempVariable, mode;
};

}  // namespace win32_test
