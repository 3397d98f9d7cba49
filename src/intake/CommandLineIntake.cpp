#include "CommandLineIntake.h"

#include <iterator>

#include "PathForms.h"
#include "ShowFileList.h"
#include "Texts.h"
#include "Tokenizer.h"

namespace intake {

namespace {
bool IsQuoted(const std::string& token) { return !token.empty() && token.front() == '"'; }
}  // namespace

std::string UsageText(platform::FileMenu menu) {
    std::string text;
    for (auto line : kUsageLines) {
        if (line == kUsageLines[std::size(kUsageLines) - 1] && menu == platform::FileMenu::kOpenWith)
            line = kOpenWithUsageLine;
        text += text::Tr(line);
        text += kNewLine;
    }
    return text;
}

void LoadFromCommandLine(FileList& list, platform::Environment& environment,
                         platform::NameForms& names, platform::FileSystem& files,
                         IntakeView& view, platform::PathStyle style) {
    list.sTempFolder = environment.TemporaryFolder();
    platform::ProgramArguments arguments = environment.Arguments();
    if (arguments.Empty()) {
        view.SetLogText(UsageText());
        view.MoveCaretToEnd();
        return;
    }

    list.Clear();
    std::vector<std::string> tokens =
        arguments.rawTokens ? std::move(*arguments.rawTokens) : Tokenize(arguments.sCommandLine);
    const bool overflow = tokens.size() > static_cast<std::size_t>(kMaxFiles);
    if (overflow) tokens.resize(kMaxFiles);

    // Display forms: a quoted token as written, without its two quotes; any
    // other through the long-name look-up. One look-up object per intake, so
    // each folder is read once however many of its files are given.
    auto lookup = names.NewLookup();
    for (const auto& token : tokens) {
        std::string display = IsQuoted(token) ? token : GetLongFilename(token, *lookup, style);
        if (IsQuoted(display)) display = display.size() >= 2 ? display.substr(1, display.size() - 2) : "";
        std::string conversion = GetShortFilename(display, names);
        list.Append(std::move(display), std::move(conversion));
    }
    lookup.reset();

    if (overflow) view.ShowMessage(text::Tr(kListFull));

    for (std::int16_t i = 0; i < list.iFileCount; ++i) {
        if (files.FolderExists(list.sShortNames[i])) {
            view.ShowMessage(FolderRefusalText(list.sLongNames[i]));
            view.SetCommand1(std::string(kFinish), true);
        }
    }
    ShowFileList(list, view);
}

}  // namespace intake
