#pragma once
#include <memory>

#include "Catalog.h"
#include "Environment.h"
#include "FileAccess.h"
#include "FileSystem.h"
#include "NameForms.h"
#include "PathStyle.h"
#include "Process.h"
#include "Shortcuts.h"
#include "SleepInhibitor.h"
#include "SpecialFolders.h"

namespace platform {

// Every service the program uses from the system, one interface each.
struct Platform {
    std::unique_ptr<Environment> environment;
    std::unique_ptr<FileSystem> files;
    std::unique_ptr<FileAccess> access;
    std::unique_ptr<NameForms> names;
    std::unique_ptr<SpecialFolders> folders;
    std::unique_ptr<ProcessLauncher> processes;
    std::unique_ptr<Shortcuts> shortcuts;
    std::unique_ptr<SleepInhibitor> awake;
    // Null in English (and in tests that want English).
    std::unique_ptr<Catalog> catalog;
};

// The implementation for the system the program was built for.
Platform MakeNativePlatform(int argc, char** argv);

}  // namespace platform
