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

// Packets `first` to `first + count - 1` of an endless recording: video on
// PID 0x1011, audio on 0x1100 in every fourth packet, one packet a
// millisecond. Every tenth packet carries the clock (when `clock`), every
// twentieth starts a PES with its PTS; `shift` moves both (27 MHz ticks).
inline Bytes RecordedPackets(int first, int count, bool prefix, std::int64_t shift = 0, bool clock = true) {
    Bytes out;
    for (int n = first; n < first + count; ++n) {
        const bool audio = n % 4 == 3, start = n % 20 == (audio ? 3 : 0);
        const int pid = audio ? 0x1100 : 0x1011, counter = (audio ? n / 4 : n - n / 4) & 15;
        const std::uint64_t t = std::uint64_t(n) * 27000 + shift, base = t / 300;
        Bytes p = {0x47, std::uint8_t((start ? 0x40 : 0) | pid >> 8), std::uint8_t(pid), std::uint8_t(0x10 | counter)};
        if (clock && !audio && n % 10 == 0) {
            p[3] |= 0x20;
            p.insert(p.end(), {7, 0x10, std::uint8_t(base >> 25), std::uint8_t(base >> 17), std::uint8_t(base >> 9),
                               std::uint8_t(base >> 1), std::uint8_t(((base & 1) << 7) | 0x7e | ((t % 300) >> 8)),
                               std::uint8_t(t % 300)});
        }
        if (start)
            p.insert(p.end(), {0, 0, 1, std::uint8_t(audio ? 0xc0 : 0xe0), 0, 0, 0x80, 0x80, 5,
                               std::uint8_t(0x21 | ((base >> 29) & 0x0e)), std::uint8_t(base >> 22),
                               std::uint8_t((base >> 14) | 1), std::uint8_t(base >> 7), std::uint8_t((base << 1) | 1)});
        p.resize(188, 0xff);
        if (prefix) out.insert(out.end(), {0x00, 0x01, 0x02, 0x03});
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

}  // namespace testing_support
