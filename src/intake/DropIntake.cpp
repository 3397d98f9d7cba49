#include "DropIntake.h"

#include "PathForms.h"
#include "ShowFileList.h"
#include "Texts.h"

namespace intake {

void DropFiles(FileList& list, const std::vector<std::string>& paths, platform::NameForms& names,
               platform::FileSystem& files, IntakeView& view) {
    for (const auto& path : paths) {
        if (files.FolderExists(path)) {
            view.ShowMessage(FolderRefusalText(path));
            break;
        }
        if (list.Full()) {
            view.ShowMessage(text::Tr(kListFull));
            break;
        }
        list.Append(path, GetShortFilename(path, names));
    }
    ShowFileList(list, view);
}

}  // namespace intake
