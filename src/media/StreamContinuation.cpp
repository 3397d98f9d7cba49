#include "StreamContinuation.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace media {

namespace {

using Bytes = std::vector<std::uint8_t>;

// The first look at either side of the cut; it grows fourfold while nothing
// is decided (a high bit rate spreads the clocks over more bytes).
constexpr std::uint64_t kFirstLook = 64u << 10;
constexpr std::size_t kTsPacket = 188, kM2tsPacket = 192, kPack = 2048;
constexpr std::uint8_t kSync = 0x47;
constexpr int kNullPid = 0x1fff;
// Clock references (27 MHz) come at least every 100 ms, so the last one
// before the cut and the first after it are that close. Time stamps (90 kHz)
// of one stream at the cut are a few frames apart, even in decoding order.
constexpr std::int64_t kLongestClockStep = 27'000'000 / 4;
constexpr std::int64_t kLongestStampStep = 90'000 / 2;
constexpr std::int64_t kStampWrap = std::int64_t{1} << 33;
constexpr std::int64_t kClockWrap = kStampWrap * 300;

enum class Kind { kNone, kTs, kM2ts, kPs };

std::size_t UnitOf(Kind kind) { return kind == Kind::kTs ? kTsPacket : kind == Kind::kM2ts ? kM2tsPacket : kPack; }

Bytes Read(platform::ByteSource& source, std::uint64_t offset, std::uint64_t size) {
    Bytes bytes(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = source.ReadAt(offset + got, bytes.data() + got, bytes.size() - got);
        if (n == 0) break;
        got += std::min(n, bytes.size() - got);
    }
    bytes.resize(got);
    return bytes;
}

bool StartCode(const std::uint8_t* p, std::uint8_t id) { return p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == id; }

// What bytes that begin at a packet or pack are.
Kind KindOf(const Bytes& b) {
    auto synced = [&](std::size_t first, std::size_t step) {
        int seen = 0;
        for (std::size_t at = first; at < b.size() && seen < 3; at += step, ++seen)
            if (b[at] != kSync) return false;
        return seen > 0;
    };
    if (synced(kM2tsPacket - kTsPacket, kM2tsPacket)) return Kind::kM2ts;
    if (synced(0, kTsPacket)) return Kind::kTs;
    if (b.size() >= 4 && StartCode(b.data(), 0xba)) return Kind::kPs;
    return Kind::kNone;
}

// A PTS as a PES header holds it in 5 bytes, its marker bits set.
std::optional<std::int64_t> Stamp(const std::uint8_t* p) {
    if (!(p[0] & 1) || !(p[2] & 1) || !(p[4] & 1)) return std::nullopt;
    return (std::int64_t{(p[0] >> 1) & 7} << 30) | (std::int64_t{p[1]} << 22) | (std::int64_t{p[2] >> 1} << 15) |
           (std::int64_t{p[3]} << 7) | (p[4] >> 1);
}

// What a stream says of itself at one side of the cut: the continuity
// counter and the time stamp of each elementary stream, and the clock. The
// side before the cut keeps the last of each, the side after it the first.
struct Marks {
    explicit Marks(bool atEnd) : before(atEnd) {}
    bool before;
    std::map<int, int> counters;         // transport stream PID
    std::map<int, std::int64_t> stamps;  // PID, or a program stream's stream id
    std::optional<std::int64_t> clock;   // PCR or SCR, at 27 MHz

    void Counter(int pid, int value) { before ? void(counters[pid] = value) : void(counters.emplace(pid, value)); }
    void Stamped(int key, std::int64_t value) { before ? void(stamps[key] = value) : void(stamps.emplace(key, value)); }
    void Clock(std::int64_t value) {
        if (before || !clock) clock = value;
    }
};

// The PTS of a PES packet that starts at `p`, with `size` bytes there.
std::optional<std::int64_t> PesStamp(const std::uint8_t* p, std::size_t size) {
    if (size < 14 || p[0] != 0 || p[1] != 0 || p[2] != 1) return std::nullopt;
    if ((p[6] & 0xc0) == 0x80) return (p[7] & 0x80) ? Stamp(p + 9) : std::nullopt;  // MPEG-2
    // MPEG-1: stuffing, a buffer size, then the time stamps.
    std::size_t at = 6;
    while (at < size && at < 6 + 16 && p[at] == 0xff) ++at;
    if (at + 2 <= size && (p[at] & 0xc0) == 0x40) at += 2;
    if (at + 5 <= size && ((p[at] & 0xf0) == 0x20 || (p[at] & 0xf0) == 0x30)) return Stamp(p + at);
    return std::nullopt;
}

// The packets of `b`, which begins at one; false once their rhythm is lost.
bool ReadPackets(const Bytes& b, std::size_t unit, Marks& marks) {
    for (std::size_t at = 0; at + unit <= b.size(); at += unit) {
        const std::uint8_t* p = b.data() + at + (unit - kTsPacket);
        if (p[0] != kSync) return false;
        const int pid = ((p[1] & 0x1f) << 8) | p[2];
        if (pid == kNullPid) continue;
        const unsigned control = (p[3] >> 4) & 3;
        std::size_t payload = 4;
        if (control & 2) {
            const std::size_t length = p[4];
            if (length >= 7 && (p[5] & 0x10)) {
                const std::int64_t base = (std::int64_t{p[6]} << 25) | (std::int64_t{p[7]} << 17) |
                                          (std::int64_t{p[8]} << 9) | (std::int64_t{p[9]} << 1) | (p[10] >> 7);
                marks.Clock(base * 300 + (((p[10] & 1) << 8) | p[11]));
            }
            payload += 1 + length;
        }
        // The counter steps only with a payload.
        if (!(control & 1) || payload >= kTsPacket) continue;
        marks.Counter(pid, p[3] & 0x0f);
        if (p[1] & 0x40)
            if (auto stamp = PesStamp(p + payload, kTsPacket - payload)) marks.Stamped(pid, *stamp);
    }
    return true;
}

// The packs of `b`, which begins at one; false where one is no pack.
bool ReadPacks(const Bytes& b, Marks& marks) {
    for (std::size_t at = 0; at + kPack <= b.size(); at += kPack) {
        const std::uint8_t* p = b.data() + at;
        if (!StartCode(p, 0xba)) return false;
        std::size_t pos;
        if ((p[4] & 0xc0) == 0x40) {  // MPEG-2: a 33-bit base and a 9-bit extension
            const std::int64_t base = (std::int64_t{(p[4] >> 3) & 7} << 30) | (std::int64_t{p[4] & 3} << 28) |
                                      (std::int64_t{p[5]} << 20) | (std::int64_t{(p[6] >> 3) & 0x1f} << 15) |
                                      (std::int64_t{p[6] & 3} << 13) | (std::int64_t{p[7]} << 5) | (p[8] >> 3);
            marks.Clock(base * 300 + (((p[8] & 3) << 7) | (p[9] >> 1)));
            pos = 14 + (p[13] & 7);
        } else if ((p[4] & 0xf0) == 0x20) {  // MPEG-1: 90 kHz
            const auto base = Stamp(p + 4);
            if (!base) return false;
            marks.Clock(*base * 300);
            pos = 12;
        } else {
            return false;
        }
        while (pos + 6 <= kPack && p[pos] == 0 && p[pos + 1] == 0 && p[pos + 2] == 1) {
            const int id = p[pos + 3];
            const std::size_t length = (std::size_t{p[pos + 4]} << 8) | p[pos + 5];
            // Private stream 1, audio and video carry time stamps.
            if (id == 0xbd || (id >= 0xc0 && id <= 0xef))
                if (auto stamp = PesStamp(p + pos, std::min(length + 6, kPack - pos))) marks.Stamped(id, *stamp);
            pos += 6 + length;
        }
    }
    return true;
}

// `later` minus `earlier` on a counter that wraps at `wrap`, from -wrap/2 on.
std::int64_t Step(std::int64_t earlier, std::int64_t later, std::int64_t wrap) {
    std::int64_t step = (later - earlier) % wrap;
    if (step < 0) step += wrap;
    return step >= wrap / 2 ? step - wrap : step;
}

enum class Verdict { kContinues, kAnew, kUndecided };

Verdict Compare(const Marks& before, const Marks& after, bool counted) {
    bool met = !counted;
    for (const auto& [pid, counter] : after.counters) {
        const auto last = before.counters.find(pid);
        if (last == before.counters.end()) continue;
        if (counter != ((last->second + 1) & 0x0f)) return Verdict::kAnew;
        met = true;
    }
    bool timed = false;
    if (before.clock && after.clock) {
        const std::int64_t step = Step(*before.clock, *after.clock, kClockWrap);
        if (step <= 0 || step > kLongestClockStep) return Verdict::kAnew;
        timed = true;
    }
    for (const auto& [key, stamp] : after.stamps) {
        const auto last = before.stamps.find(key);
        if (last == before.stamps.end()) continue;
        const std::int64_t step = Step(last->second, stamp, kStampWrap);
        if (step < -kLongestStampStep || step > kLongestStampStep) return Verdict::kAnew;
        timed = true;
    }
    return met && timed ? Verdict::kContinues : Verdict::kUndecided;
}

}  // namespace

bool ContinuesStream(platform::ByteSource& previous, platform::ByteSource& next) {
    const std::uint64_t earlier = previous.Size(), later = next.Size();
    // The earlier piece must begin at a packet (its kind) and end with a whole one.
    const Kind kind = KindOf(Read(previous, 0, std::min<std::uint64_t>(earlier, 1024)));
    if (kind == Kind::kNone) return false;
    const std::size_t unit = UnitOf(kind);
    if (earlier % unit != 0) return false;
    for (std::uint64_t look = kFirstLook;; look = std::min(look * 4, kLongestLook)) {
        const std::uint64_t tailSize = std::min(earlier, look / unit * unit);
        const std::uint64_t headSize = std::min(later, look / unit * unit);
        const Bytes tail = Read(previous, earlier - tailSize, tailSize);
        const Bytes head = Read(next, 0, headSize);
        if (tail.size() != tailSize || head.size() != headSize || KindOf(head) != kind) return false;
        Marks before(true), after(false);
        const bool read = kind == Kind::kPs ? ReadPacks(tail, before) && ReadPacks(head, after)
                                            : ReadPackets(tail, unit, before) && ReadPackets(head, unit, after);
        if (!read) return false;
        const Verdict verdict = Compare(before, after, kind != Kind::kPs);
        if (verdict != Verdict::kUndecided) return verdict == Verdict::kContinues;
        if (look >= kLongestLook || (tailSize == earlier && headSize == later)) return false;
    }
}

}  // namespace media
