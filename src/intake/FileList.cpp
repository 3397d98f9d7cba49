#include "FileList.h"

namespace intake {

bool FileList::Append(std::string longName, std::string shortName) {
    if (Full()) return false;
    sLongNames.push_back(std::move(longName));
    sShortNames.push_back(std::move(shortName));
    ++iFileCount;
    return true;
}

void FileList::Clear() {
    iFileCount = 0;
    sLongNames.clear();
    sShortNames.clear();
}

}  // namespace intake
