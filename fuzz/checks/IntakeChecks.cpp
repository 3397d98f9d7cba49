#include "IntakeChecks.h"

#include <algorithm>
#include <cstdint>

#include "FakeTree.h"
#include "intake/CommandLineIntake.h"
#include "intake/DropIntake.h"
#include "intake/PathForms.h"
#include "intake/ShowFileList.h"
#include "intake/Texts.h"
#include "intake/Tokenizer.h"
#include "platform/Environment.h"

namespace fuzzcheck {

namespace {

using platform::PathStyle;

// One fuzzer input taken apart: flags, listing and the rest.
struct Parts {
    std::uint8_t flags = 0;
    std::uint8_t extra = 0;
    std::string_view listing, rest;
    PathStyle style() const { return flags & 1 ? platform::kWindowsPaths : platform::kPosixPaths; }
};

Parts Split(std::string_view input, bool withExtra) {
    Parts parts;
    if (!input.empty()) {
        parts.flags = static_cast<std::uint8_t>(input[0]);
        input.remove_prefix(1);
    }
    if (withExtra && !input.empty()) {
        parts.extra = static_cast<std::uint8_t>(input[0]);
        input.remove_prefix(1);
    }
    const std::size_t nul = input.find('\0');
    parts.listing = input.substr(0, nul);
    if (nul != std::string_view::npos) parts.rest = input.substr(nul + 1);
    return parts;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return lines;
        start = end + 1;
    }
}

// The main window as far as the intake sees it.
struct View : intake::IntakeView {
    std::string text = "an earlier log";
    std::size_t caret = 0;
    std::string caption = "START";
    bool enabled = true;
    std::vector<std::string> messages;

    std::string LogText() override { return text; }
    void SetLogText(const std::string& t) override { text = t; }
    void MoveCaretToEnd() override { caret = text.size(); }
    void ShowMessage(const std::string& m) override { messages.push_back(m); }
    void SetCommand1(const std::string& c, bool e) override {
        caption = c;
        enabled = e;
    }
};

struct Environment : platform::Environment {
    platform::ProgramArguments arguments;
    std::string TemporaryFolder() override { return "/tmp"; }
    platform::ProgramArguments Arguments() override { return arguments; }
    std::string ProgramFolder() override { return "/opt"; }
};

std::string Failure(const std::string& what, const std::string& detail = {}) {
    return detail.empty() ? what : what + ": " + detail;
}

std::string CheckList(const intake::FileList& list) {
    if (list.iFileCount < 0 || list.iFileCount > intake::kMaxFiles)
        return Failure("count out of range", std::to_string(list.iFileCount));
    if (list.sLongNames.size() != static_cast<std::size_t>(list.iFileCount) ||
        list.sShortNames.size() != static_cast<std::size_t>(list.iFileCount))
        return Failure("not both forms for every entry", std::to_string(list.iFileCount) + " counted, " +
                                                              std::to_string(list.sLongNames.size()) + " and " +
                                                              std::to_string(list.sShortNames.size()) + " held");
    return {};
}

std::string CheckRendered(const intake::FileList& list, const View& view) {
    if (view.text != intake::RenderFileList(list)) return "the log box does not show the list";
    const std::string count = std::string(intake::kCountPrefix) + std::to_string(list.iFileCount);
    if (view.text.size() < count.size() || view.text.compare(view.text.size() - count.size(), count.size(), count))
        return "the rendering does not end with the count";
    if (view.caret != view.text.size()) return "the caret is not at the end";
    return {};
}

// Whether `part` can be had from `whole` by leaving characters out.
bool IsSubsequence(std::string_view part, std::string_view whole) {
    std::size_t at = 0;
    for (const char c : part) {
        at = whole.find(c, at);
        if (at == std::string_view::npos) return false;
        ++at;
    }
    return true;
}

std::string CheckTokens(std::string_view line, const std::vector<std::string>& tokens) {
    std::string joined;
    for (const auto& token : tokens) {
        if (token.empty()) return "an empty token";
        if (token.front() == '"') {
            if (token.size() < 2 || token.back() != '"') return Failure("a quoted token without its closing quote", token);
        } else if (token.find(' ') != std::string::npos) {
            return Failure("an unquoted token holds a space", token);
        }
        joined += token;
    }
    // Tokens only ever keep characters of the line, in order.
    if (!IsSubsequence(joined, line)) return "the tokens hold characters the line does not";
    return {};
}

// The components of a path, empty ones left out.
std::vector<std::string_view> Components(std::string_view path, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(separator, start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string CheckLongForm(const std::string& argument, const std::string& result, FakeNameForms& names,
                          const FakeTree& tree) {
    const PathStyle style = tree.style();
    if (result.empty()) return {};
    auto lookup = names.NewLookup();
    if (intake::GetLongFilename(result, *lookup, style) != result) return Failure("the long form is not stable", result);
    if (style.keptPrefix > 0) {
        // The drive is the first characters of the argument with its closing separator.
        const std::string s = argument + style.separator;
        if (result.compare(0, style.keptPrefix, s, 0, style.keptPrefix)) return Failure("the drive changed", result);
        const std::size_t wanted = s.size() >= style.firstSearch
                                       ? static_cast<std::size_t>(std::count(s.begin() + style.firstSearch - 1,
                                                                             s.end(), style.separator))
                                       : 0;
        if (static_cast<std::size_t>(std::count(result.begin() + std::min(result.size(), style.keptPrefix),
                                                result.end(), style.separator)) != wanted)
            return Failure("a component was gained or lost", result);
    } else {
        if (Components(result, style.separator).size() != Components(argument, style.separator).size())
            return Failure("a component was gained or lost", result);
    }
    // Every component is a name as stored, found by the look-up.
    const std::string kept = result.substr(0, std::min(result.size(), style.keptPrefix));
    std::string prefix = kept;
    for (std::string_view component : Components(std::string_view(result).substr(kept.size()), style.separator)) {
        prefix += style.separator;
        prefix += component;
        const FakeTree::Node* node = tree.Find(prefix);
        if (!node || node->name != component) return Failure("a component is not its stored name", result);
    }
    return {};
}

bool Quoted(const std::string& token) { return !token.empty() && token.front() == '"'; }

}  // namespace

std::string CheckCommandLine(std::string_view input, bool capacityRuns) {
    const Parts parts = Split(input, false);
    const FakeTree tree(parts.listing, parts.style());
    FakeNameForms names(tree);
    FakeFileSystem files(tree);
    Environment environment;
    const bool raw = parts.flags & 2;
    std::vector<std::string> tokens;
    if (raw) {
        tokens = Lines(parts.rest);
        environment.arguments.rawTokens = tokens;
    } else {
        environment.arguments.sCommandLine = std::string(parts.rest);
        tokens = intake::Tokenize(parts.rest);
        if (std::string failure = CheckTokens(parts.rest, tokens); !failure.empty()) return failure;
    }
    // A flag repeats the tokens past the list's capacity; the copies are
    // checked against the first round only, which keeps such runs short.
    const std::size_t distinct = tokens.size();
    if (capacityRuns && (parts.flags & 0xFE) == 0xFC && !tokens.empty()) {
        std::vector<std::string> many;
        while (many.size() <= static_cast<std::size_t>(intake::kMaxFiles))
            many.insert(many.end(), tokens.begin(), tokens.end());
        tokens = std::move(many);
        environment.arguments.rawTokens = tokens;
    }

    intake::FileList list;
    list.Append("stale", "stale");
    View view;
    intake::LoadFromCommandLine(list, environment, names, files, view, parts.style());
    if (list.sTempFolder != "/tmp") return "the temporary folder was not read";
    if (environment.arguments.Empty()) {
        if (view.text != intake::UsageText() || view.caret != view.text.size()) return "no usage text";
        if (list.iFileCount != 1) return "the list changed without arguments";
        return {};
    }
    if (std::string failure = CheckList(list); !failure.empty()) return failure;
    const std::size_t expected = std::min(tokens.size(), static_cast<std::size_t>(intake::kMaxFiles));
    if (static_cast<std::size_t>(list.iFileCount) != expected)
        return Failure("entries lost or gained", std::to_string(list.iFileCount) + " for " +
                                                      std::to_string(tokens.size()) + " tokens");
    std::size_t folders = 0;
    for (std::size_t i = 0; i < expected; ++i) {
        const std::string& token = tokens[i];
        const std::string& display = list.sLongNames[i];
        if (i >= distinct) {
            const std::size_t first = i % distinct;
            if (display != list.sLongNames[first] || list.sShortNames[i] != list.sShortNames[first])
                return Failure("the same token gave another entry", token);
            if (files.FolderExists(list.sShortNames[i])) ++folders;
            continue;
        }
        if (Quoted(token)) {
            const std::string inner = token.size() >= 2 ? token.substr(1, token.size() - 2) : "";
            if (display != inner) return Failure("a quoted token is not shown as written", token);
        } else {
            auto lookup = names.NewLookup();
            if (display != intake::GetLongFilename(token, *lookup, parts.style()))
                return Failure("an unquoted token is not shown in its long form", token);
            if (std::string failure = CheckLongForm(token, display, names, tree); !failure.empty()) return failure;
        }
        if (list.sShortNames[i] != tree.ShortForm(display)) return Failure("a wrong conversion form", display);
        if (files.FolderExists(list.sShortNames[i])) ++folders;
    }
    const std::size_t overflow = tokens.size() > expected ? 1 : 0;
    if (view.messages.size() != folders + overflow)
        return Failure("one message per folder", std::to_string(view.messages.size()) + " messages, " +
                                                     std::to_string(folders) + " folders");
    if ((folders > 0) != (view.caption == intake::kFinish)) return "START and FINISH do not follow the folders";
    if (!view.enabled) return "the button was disabled";
    return CheckRendered(list, view);
}

std::string CheckLongName(std::string_view input) {
    const Parts parts = Split(input, false);
    const FakeTree tree(parts.listing, parts.style());
    FakeNameForms names(tree);
    const std::string argument(parts.rest);
    auto lookup = names.NewLookup();
    const std::string result = intake::GetLongFilename(argument, *lookup, parts.style());
    if (!result.empty() && parts.style().keptPrefix == 0 && result.front() != '/' && argument.front() == '/')
        return Failure("an absolute path lost its root", result);
    return CheckLongForm(argument, result, names, tree);
}

std::string CheckDrop(std::string_view input, bool capacityRuns) {
    const Parts parts = Split(input, true);
    const FakeTree tree(parts.listing, parts.style());
    FakeNameForms names(tree);
    FakeFileSystem files(tree);
    const std::vector<std::string> paths = Lines(parts.rest);

    // Entries already listed: a few, or the list nearly or quite full.
    intake::FileList list;
    const int before =
        parts.extra < 250 || !capacityRuns ? parts.extra : intake::kMaxFiles - (255 - parts.extra);
    for (int i = 0; i < before; ++i) list.Append("earlier", "EARLIER");
    View view;
    view.caption = "Converting";
    view.enabled = false;
    intake::DropFiles(list, paths, names, files, view);
    if (std::string failure = CheckList(list); !failure.empty()) return failure;

    std::size_t wanted = 0;
    bool stopped = false;
    for (const auto& path : paths) {
        if (files.FolderExists(path) || before + wanted >= static_cast<std::size_t>(intake::kMaxFiles)) {
            stopped = true;
            break;
        }
        ++wanted;
    }
    if (static_cast<std::size_t>(list.iFileCount) != before + wanted)
        return Failure("entries lost or gained", std::to_string(list.iFileCount - before) + " added of " +
                                                      std::to_string(paths.size()));
    for (std::size_t i = 0; i < wanted; ++i) {
        if (list.sLongNames[before + i] != paths[i]) return Failure("a dropped path is not kept as delivered", paths[i]);
        if (list.sShortNames[before + i] != tree.ShortForm(paths[i])) return Failure("a wrong conversion form", paths[i]);
    }
    if (view.messages.size() != (stopped ? 1u : 0u)) return "one message for the drop that stopped, none otherwise";
    if (view.caption != "Converting" || view.enabled) return "a drop touched the button";
    return CheckRendered(list, view);
}

const std::vector<NamedCheck>& IntakeChecks() {
    static const std::vector<NamedCheck> checks = {
        {"command_line", [](std::string_view input) { return CheckCommandLine(input, true); }},
        {"long_name", CheckLongName},
        {"drop", [](std::string_view input) { return CheckDrop(input, true); }},
    };
    return checks;
}

}  // namespace fuzzcheck
