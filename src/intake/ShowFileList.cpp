#include "ShowFileList.h"

#include "Texts.h"

namespace intake {

std::string FolderRefusalText(const std::string& path) {
    std::string text = path;
    text += kNewLine;
    text += kNewLine;
    text += text::Tr(kFolderRefusal);
    return text;
}

std::string RenderFileList(const FileList& list) {
    const std::string prefix = text::Tr(kCountPrefix);
    std::size_t size = prefix.size() + 8;
    for (const auto& name : list.sLongNames) size += name.size() + kNewLine.size();
    std::string text;
    text.reserve(size);
    for (std::int16_t i = 0; i < list.iFileCount; ++i) {
        text += list.sLongNames[i];
        text += kNewLine;
    }
    text += prefix;
    text += std::to_string(list.iFileCount);
    return text;
}

void ShowFileList(const FileList& list, IntakeView& view) {
    view.SetLogText(RenderFileList(list));
    view.MoveCaretToEnd();
}

}  // namespace intake
