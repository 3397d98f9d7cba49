#pragma once
#include <string>

#include "FileList.h"
#include "IntakeView.h"

namespace intake {

// One line per display form, then the count line (no line break after it).
std::string RenderFileList(const FileList& list);

// Replaces the whole log box with the rendered list; built once and set once,
// so a long list costs time in proportion to its size.
void ShowFileList(const FileList& list, IntakeView& view);

}  // namespace intake
