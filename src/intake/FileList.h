#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace intake {

// The count is a 16-bit signed integer, so the list holds at most this many.
inline constexpr std::int16_t kMaxFiles = 32767;

// The files the next press of START converts, each in two forms: the display
// form shown to the user and the conversion form handed to the converter.
// Entries are only appended; the same file given twice is listed twice.
struct FileList {
    std::string sTempFolder;
    std::int16_t iFileCount = 0;
    std::vector<std::string> sLongNames;
    std::vector<std::string> sShortNames;

    bool Full() const { return iFileCount >= kMaxFiles; }
    // Appends one entry; false (and nothing changed) when the list is full.
    bool Append(std::string longName, std::string shortName);
    void Clear();
};

}  // namespace intake
