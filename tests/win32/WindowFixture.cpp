#include "WindowFixture.h"

#include "platform/windows/WindowsPlatform.h"

namespace win32_test {

using wintest::Wide;

RECT ClientRect(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HDROP MakeDrop(const std::vector<std::string>& paths) {
    std::wstring list;
    for (const std::string& p : paths) list += Wide(p) + L'\0';
    list += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void Press(app::Form1& form, WPARAM key) {
    MSG msg{GetFocus(), WM_KEYDOWN, key, 0x00000001, static_cast<DWORD>(GetMessageTime()), {}};
    app::Window::Dispatch(msg);
    form.PumpEvents();
}

std::vector<std::string> Lines(app::Form1& form) {
    std::vector<std::string> lines;
    const std::string text = form.LogText();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

void WindowTest::SetUp() {
    desktop = root / "Desktop";
    sendTo = root / "SendTo";
    temp = root / "Temp";
    program = root / "Pr\u00f6gram";
    for (const std::string& f : {desktop, sendTo, temp, program}) wintest::MakeFolder(f);
    tempVariable = std::make_unique<wintest::ScopedVariable>(L"TEMP", Wide(temp).c_str());

    platform = platform::MakeNativePlatform(0, nullptr);
    auto env = std::make_unique<testing_support::FakeEnvironment>();
    env->temp = temp;
    env->programFolder = program;
    environment = env.get();
    platform.environment = std::move(env);
    auto folders = std::make_unique<testing_support::FixedFolders>();
    folders->desktop = desktop;
    folders->sendTo = sendTo;
    platform.folders = std::move(folders);
    platform.processes = platform::windows::MakeProcessLauncher(program);
}

void WindowTest::TearDown() {
    form.reset();
    // Form1's unload asks the program's loop to end; not the next test's.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void WindowTest::Load(const std::string& commandLine) {
    environment->arguments.sCommandLine = commandLine;
    form = std::make_unique<app::Form1>(platform);
    form->messageBoxHook = [this](const std::string& text) { messages.push_back(text); };
    form->Form_Load();
    form->ShowCentred();
    form->PumpEvents();
}

void WindowTest::UseFakeConverter(const std::string& name) {
    CopyFileW(Wide(FAKE_FFMPEG_PATH).c_str(), Wide(program + "\\ffmpeg.exe").c_str(), FALSE);
    mode = std::make_unique<wintest::ScopedVariable>(L"FAKE_FFMPEG_MODE", Wide(name).c_str());
}

std::string WindowTest::MakeFile(const std::string& name, const std::string& content) {
    const std::string path = root / name;
    wintest::WriteFile(path, content);
    return path;
}

}  // namespace win32_test
