#pragma once
#include <string>

#include "platform/NameForms.h"
#include "platform/PathStyle.h"

namespace intake {

// The long form of a path: every component after the root replaced by its
// name as stored on disk, looked up from the root down; "" as soon as one
// component is missing. A drive prefix ("C:") stays exactly as given.
std::string GetLongFilename(const std::string& sShortName, platform::DirectoryLookup& lookup,
                            platform::PathStyle style = platform::kNativePaths);

// The form handed to the converter; "" for a path that does not exist.
std::string GetShortFilename(const std::string& sPath, platform::NameForms& names);

}  // namespace intake
