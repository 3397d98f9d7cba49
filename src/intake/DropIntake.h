#pragma once
#include <string>
#include <vector>

#include "FileList.h"
#include "IntakeView.h"
#include "platform/FileSystem.h"
#include "platform/NameForms.h"

namespace intake {

// Files dropped on the log box: each path joins the list as delivered, until
// the first folder, which is refused with a message and ends the drop. The
// list is rendered after every drop, even one that added nothing.
void DropFiles(FileList& list, const std::vector<std::string>& paths, platform::NameForms& names,
               platform::FileSystem& files, IntakeView& view);

}  // namespace intake
