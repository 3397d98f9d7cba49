#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/NameForms.h"
#include "platform/PathStyle.h"

namespace fuzzcheck {

// A file system held in memory, made from a listing: one path per line,
// components separated by '/', a trailing '/' for a folder; "Long name|ALIAS"
// gives a component a short alias. Names match without regard to ASCII case,
// as on Windows, so a look-up returns the name as stored whatever spelling
// it was asked with.
class FakeTree {
public:
    struct Node {
        std::string name, alias;
        bool folder = true;
        std::vector<Node> children;
    };

    FakeTree(std::string_view listing, platform::PathStyle style);

    // The node a path names, or nullptr. The style's kept prefix (a drive) is
    // passed over; an empty component past the root finds nothing on Windows
    // and is skipped on POSIX.
    const Node* Find(std::string_view path) const;
    // The path with every component in its short form; "" when missing.
    std::string ShortForm(std::string_view path) const;
    platform::PathStyle style() const { return style_; }

private:
    Node root_;
    platform::PathStyle style_;
};

bool SameName(std::string_view a, std::string_view b);

class FakeNameForms : public platform::NameForms {
public:
    explicit FakeNameForms(const FakeTree& tree) : tree_(tree) {}
    std::unique_ptr<platform::DirectoryLookup> NewLookup() override;
    std::string ShortPath(const std::string& path) override { return tree_.ShortForm(path); }

private:
    const FakeTree& tree_;
};

// Only the folder test is asked of it by the intake.
class FakeFileSystem : public platform::FileSystem {
public:
    explicit FakeFileSystem(const FakeTree& tree) : tree_(tree) {}
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool IsNonEmptyFile(const std::string& path) override { return FileExists(path); }
    bool SameFile(const std::string& a, const std::string& b) override;
    std::string BaseName(const std::string& path) override;
    std::string DeleteFileForce(const std::string&) override { return "read-only"; }
    std::string CopyFileReplacing(const std::string&, const std::string&) override { return "read-only"; }
    std::string MoveReplacing(const std::string&, const std::string&) override { return "read-only"; }
    std::string MoveToTrash(const std::string&) override { return "read-only"; }
    std::string PrepareFolder(const std::string&, bool) override { return "read-only"; }

private:
    const FakeTree& tree_;
};

}  // namespace fuzzcheck
