#pragma once
#include <string>

namespace platform::posix_detail {

// Marks a desktop launcher as one the user allowed to run, in the GIO file
// metadata that GNOME's desktop icons ("metadata::trusted") and Xfce's desktop
// ("metadata::xfce-exe-checksum", the SHA-256 of `content`) look at. Where
// that store is not running nothing is marked and nothing is reported: the
// desktop then asks before it runs the launcher.
void MarkLauncherTrusted(const std::string& path, const std::string& content);

// The SHA-256 of `bytes` in lower-case hex.
std::string Sha256Hex(const std::string& bytes);

}  // namespace platform::posix_detail
