#include "RunTexts.h"

namespace convert {

std::string TransferringStatus(std::uint64_t bytes) {
    return text::Tr(kTransferringStatus) + " (" + text::DataSize(bytes) + ")";
}

std::string JoinedToText(int number) { return text::Fill(text::Tr(kJoinedTo), {std::to_string(number)}); }

std::string LogLine(int number, const std::string& path) {
    return text::Fill(text::Tr(kLogLine), {std::to_string(number), path});
}

}  // namespace convert
