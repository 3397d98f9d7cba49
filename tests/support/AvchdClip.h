#pragma once
// Transport-stream bytes as a camcorder writes them, made in memory: an
// H.264 video stream whose SEI carries the recording-date entries.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes MdpmEntry(std::uint8_t tag, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                       std::uint8_t d) {
    return {tag, a, b, c, d};
}

// The SEI payload: the camcorder's UUID, "MDPM", the count and the entries.
inline Bytes MdpmPayload(const std::vector<Bytes>& entries) {
    Bytes p = {0x17, 0xee, 0x8c, 0x60, 0xf8, 0x4d, 0x11, 0xd9,
               0x8c, 0xd6, 0x08, 0x00, 0x20, 0x0c, 0x9a, 0x66, 'M', 'D', 'P', 'M'};
    p.push_back(static_cast<std::uint8_t>(entries.size()));
    for (const auto& e : entries) p.insert(p.end(), e.begin(), e.end());
    return p;
}

// A NAL unit with its start code, emulation-prevention bytes put in.
inline Bytes Nal(std::uint8_t header, const Bytes& rbsp) {
    Bytes n = {0, 0, 0, 1, header};
    int zeros = 0;
    for (std::uint8_t b : rbsp) {
        if (zeros >= 2 && b <= 3) {
            n.push_back(3);
            zeros = 0;
        }
        n.push_back(b);
        zeros = b == 0 ? zeros + 1 : 0;
    }
    return n;
}

// An SEI NAL unit with one user-data-unregistered message.
inline Bytes SeiNal(const Bytes& payload) {
    Bytes rbsp = {5};
    std::size_t size = payload.size();
    for (; size >= 255; size -= 255) rbsp.push_back(0xff);
    rbsp.push_back(static_cast<std::uint8_t>(size));
    rbsp.insert(rbsp.end(), payload.begin(), payload.end());
    rbsp.push_back(0x80);
    return Nal(6, rbsp);
}

// Filler data (NAL type 12) of the given length: pushes what follows along.
inline Bytes FillerNal(std::size_t length) { return Nal(12, Bytes(length, 0xff)); }

// The stream in one PES packet of `pid`, cut into transport packets; with
// `prefix` each packet gains the 4-byte time stamp of 192-byte packets.
inline Bytes TransportStream(const Bytes& stream, bool prefix, std::uint16_t pid = 0x1011,
                             std::uint8_t streamId = 0xe0) {
    Bytes pes = {0, 0, 1, streamId, 0, 0, 0x80, 0x80, 5, 0x21, 0, 1, 0, 1};
    pes.insert(pes.end(), stream.begin(), stream.end());
    Bytes out;
    for (std::size_t at = 0; at < pes.size();) {
        const std::size_t room = 184;
        const std::size_t n = std::min(room, pes.size() - at);
        if (prefix) out.insert(out.end(), {0x00, 0x01, 0x02, 0x03});
        out.push_back(0x47);
        out.push_back(static_cast<std::uint8_t>((at == 0 ? 0x40 : 0) | (pid >> 8)));
        out.push_back(static_cast<std::uint8_t>(pid));
        if (n == room) {
            out.push_back(0x10);
        } else {  // the last piece: stuffing in the adaptation field
            out.push_back(0x30);
            const std::size_t length = 183 - n;
            out.push_back(static_cast<std::uint8_t>(length));
            if (length > 0) {
                out.push_back(0);
                out.insert(out.end(), length - 1, 0xff);
            }
        }
        out.insert(out.end(), pes.begin() + at, pes.begin() + at + n);
        at += n;
    }
    return out;
}

}  // namespace testing_support
