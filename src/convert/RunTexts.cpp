#include "RunTexts.h"

#include "ConverterProgress.h"

namespace convert {

using text::Fill;
using text::Tr;

std::string TransferringStatus(std::uint64_t bytes) {
    return text::Tr(kTransferringStatus) + " (" + text::DataSize(bytes) + ")";
}

std::string JoinedToText(int number) { return text::Fill(text::Tr(kJoinedTo), {std::to_string(number)}); }

std::string LogLine(int number, const std::string& path) {
    return text::Fill(text::Tr(kLogLine), {std::to_string(number), path});
}

std::string ConvertingTitle(const std::string& fileName) { return Fill(Tr("Converting %1"), {fileName}); }

std::string PlaceText(int number, int count) {
    return Fill(Tr("%1 of %2"), {std::to_string(number), std::to_string(count)});
}

std::string ElapsedText(std::chrono::milliseconds spent) {
    return Fill(Tr("Elapsed %1"), {ClockText(std::chrono::duration_cast<std::chrono::seconds>(spent))});
}

std::string TimeLeftText(std::optional<std::chrono::seconds> left) {
    return left ? Fill(Tr("About %1 left"), {ClockText(*left)}) : std::string();
}

std::string RunEndTitle() { return Tr("Clipvane has finished"); }

std::string RunEndText(int converted, int failed) {
    const std::string files =
        Fill(text::TrN("%1 file converted", "%1 files converted", static_cast<unsigned long>(converted)),
             {std::to_string(converted)});
    return Fill(Tr("%1, %2 failed."), {files, std::to_string(failed)});
}

}  // namespace convert
