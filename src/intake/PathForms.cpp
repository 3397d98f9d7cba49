#include "PathForms.h"

namespace intake {

std::string GetLongFilename(const std::string& sShortName, platform::DirectoryLookup& lookup,
                            platform::PathStyle style) {
    if (sShortName.empty()) return {};
    const char sep = style.separator;
    // Windows reads "/" as a separator too ("Z:/clips/a.MTS"); the result uses its own.
    const char* seps = style.separators;
    // The added separator ends the last component like all the others.
    const std::string s = sShortName + sep;
    const bool rootOnly = style.keptPrefix == 0;  // a POSIX path: "/" is the whole root
    std::string tail;
    std::size_t previous = 0;
    std::size_t p = s.find_first_of(seps, style.firstSearch - 1);
    while (p != std::string::npos) {
        // A POSIX path may repeat its separator ("/a//b"); such empty
        // components name nothing and are passed over.
        if (!(rootOnly && p == previous + 1 && s[previous] == sep)) {
            std::string name = lookup.EntryName(s.substr(0, p));
            if (name.empty()) return {};
            tail += sep;
            tail += name;
        }
        previous = p;
        p = s.find_first_of(seps, p + 1);
    }
    if (rootOnly && tail.empty()) return s[0] == sep ? std::string(1, sep) : std::string();
    return s.substr(0, style.keptPrefix) + tail;
}

std::string GetShortFilename(const std::string& sPath, platform::NameForms& names) {
    return names.ShortPath(sPath);
}

}  // namespace intake
