#include "GettextCatalog.h"
#include "LinuxEnvironment.h"
#include "LinuxFileAccess.h"
#include "LinuxFileSystem.h"
#include "LinuxNameForms.h"
#include "LinuxProcess.h"
#include "LinuxShortcuts.h"
#include "LinuxSleepInhibitor.h"
#include "LinuxSpecialFolders.h"
#include "platform/Platform.h"

namespace platform {

Platform MakeNativePlatform(int argc, char** argv) {
    Platform native;
    auto environment = std::make_unique<LinuxEnvironment>(argc, argv);
    native.processes = std::make_unique<LinuxProcessLauncher>(environment->ProgramFolder());
    native.environment = std::move(environment);
    native.files = std::make_unique<LinuxFileSystem>();
    native.access = std::make_unique<LinuxFileAccess>();
    native.names = std::make_unique<LinuxNameForms>();
    native.folders = std::make_unique<LinuxSpecialFolders>();
    native.shortcuts = std::make_unique<LinuxShortcuts>();
    native.awake = std::make_unique<LinuxSleepInhibitor>();
    native.catalog = std::make_unique<GettextCatalog>(native.environment->ProgramFolder());
    return native;
}

}  // namespace platform
