#pragma once
#include <string>

// Small path helpers shared by the Linux services. Paths are bytes: nothing
// here decodes, normalises or resolves links.
namespace platform::posix_detail {

// The current folder, or "" when it cannot be read (it may have been deleted).
std::string CurrentFolder();

// The path itself when it starts with '/', otherwise the current folder, a '/'
// and the path; ".." and links stay as written.
std::string MakeAbsolute(const std::string& path);

// The folder part of a path: "/" for "/x", "." for a bare name.
std::string FolderOf(const std::string& path);

// The part after the last '/'.
std::string LastComponent(const std::string& path);

// The text of errno `error` in plain words.
std::string Reason(int error);

}  // namespace platform::posix_detail
