#include "Catalog.h"
#include "WindowsPlatform.h"

namespace platform {

Platform MakeNativePlatform(int /*argc*/, char** /*argv*/) {
    // Windows keeps the unsplit command line for the program itself.
    Platform p;
    p.environment = windows::MakeEnvironment();
    p.files = windows::MakeFileSystem();
    p.access = windows::MakeFileAccess();
    p.names = windows::MakeNameForms();
    p.folders = windows::MakeSpecialFolders();
    p.processes = windows::MakeProcessLauncher(p.environment->ProgramFolder());
    p.shortcuts = windows::MakeShortcuts();
    p.awake = windows::MakeSleepInhibitor();
    p.catalog = std::make_unique<windows::ResourceCatalog>();
    return p;
}

}  // namespace platform
