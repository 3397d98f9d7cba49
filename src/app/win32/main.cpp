#include "Form1.h"
#include "text/Translate.h"

int main(int argc, char** argv) {
    platform::Platform platform = platform::MakeNativePlatform(argc, argv);
    text::UseCatalog(platform.catalog.get());
    app::Form1 form1(platform);
    form1.Form_Load();
    form1.ShowCentred();
    MSG msg;
    while (!form1.Unloaded() && GetMessageW(&msg, nullptr, 0, 0) > 0) app::Window::Dispatch(msg);
    return 0;
}
