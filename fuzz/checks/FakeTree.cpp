#include "FakeTree.h"

namespace fuzzcheck {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

const FakeTree::Node* Child(const FakeTree::Node& node, std::string_view name) {
    for (const auto& child : node.children)
        if (SameName(child.name, name) || (!child.alias.empty() && SameName(child.alias, name))) return &child;
    return nullptr;
}

class FakeLookup : public platform::DirectoryLookup {
public:
    explicit FakeLookup(const FakeTree& tree) : tree_(tree) {}
    std::string EntryName(const std::string& path) override {
        const FakeTree::Node* node = tree_.Find(path);
        return node ? node->name : std::string();
    }

private:
    const FakeTree& tree_;
};

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

FakeTree::FakeTree(std::string_view listing, platform::PathStyle style) : style_(style) {
    for (std::string_view line : Split(listing, '\n')) {
        const bool folder = !line.empty() && line.back() == '/';
        const std::vector<std::string_view> components = Split(line, '/');
        Node* node = &root_;
        for (std::size_t i = 0; i < components.size(); ++i) {
            const std::string_view component = components[i];
            const std::size_t bar = component.find('|');
            const std::string_view name = component.substr(0, bar);
            // A name holding the path separator could never be looked up.
            if (name.empty() || name.find(style.separator) != std::string_view::npos) continue;
            Node* next = const_cast<Node*>(Child(*node, name));
            if (!next) {
                node->children.push_back(Node{std::string(name), {}, true, {}});
                next = &node->children.back();
                if (bar != std::string_view::npos) {
                    const std::string_view alias = component.substr(bar + 1);
                    if (alias.find(style.separator) == std::string_view::npos) next->alias = alias;
                }
                next->folder = folder || i + 1 < components.size();
            }
            node = next;
        }
    }
}

const FakeTree::Node* FakeTree::Find(std::string_view path) const {
    if (path.empty()) return nullptr;
    path.remove_prefix(std::min(path.size(), style_.keptPrefix));
    const Node* node = &root_;
    const std::vector<std::string_view> components = Split(path, style_.separator);
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string_view component = components[i];
        // Windows finds nothing for an empty component past the root
        // ("C:\a\" or "C:\a\\b"); POSIX reads "a//b" as "a/b".
        if (component.empty() && style_.keptPrefix > 0 && i > 0) return nullptr;
        if (component.empty()) continue;
        if (!node->folder || !(node = Child(*node, component))) return nullptr;
    }
    return node == &root_ ? nullptr : node;
}

std::string FakeTree::ShortForm(std::string_view path) const {
    if (!Find(path)) return {};
    std::string result(path.substr(0, std::min(path.size(), style_.keptPrefix)));
    path.remove_prefix(result.size());
    const Node* node = &root_;
    for (std::string_view component : Split(path, style_.separator)) {
        if (component.empty()) continue;
        node = Child(*node, component);
        result += style_.separator;
        result += node->alias.empty() ? node->name : node->alias;
    }
    return result;
}

std::unique_ptr<platform::DirectoryLookup> FakeNameForms::NewLookup() {
    return std::make_unique<FakeLookup>(tree_);
}

bool FakeFileSystem::FileExists(const std::string& path) {
    const FakeTree::Node* node = tree_.Find(path);
    return node && !node->folder;
}

bool FakeFileSystem::FolderExists(const std::string& path) {
    const FakeTree::Node* node = tree_.Find(path);
    return node && node->folder;
}

bool FakeFileSystem::SameFile(const std::string& a, const std::string& b) {
    const FakeTree::Node* node = tree_.Find(a);
    return node && node == tree_.Find(b);
}

std::string FakeFileSystem::BaseName(const std::string& path) {
    std::string name = path.substr(path.find_last_of(tree_.style().separator) + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace fuzzcheck
