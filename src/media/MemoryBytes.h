#pragma once
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/FileAccess.h"

namespace media {

// Bytes in memory read and overwritten as a file would be; never grows.
class MemoryBytes : public platform::OpenFile {
public:
    explicit MemoryBytes(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::uint64_t Size() override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - offset));
        std::memcpy(data, bytes_.data() + offset, n);
        return n;
    }
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override {
        if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
        std::memcpy(bytes_.data() + offset, data, size);
        return true;
    }

private:
    std::vector<std::uint8_t>& bytes_;
};

}  // namespace media
