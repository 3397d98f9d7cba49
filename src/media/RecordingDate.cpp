#include "RecordingDate.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace media {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kPacket = 188;
constexpr std::uint8_t kSync = 0x47;
constexpr std::uint8_t kSeiNal = 6;
constexpr unsigned kUserDataUnregistered = 5;
constexpr std::uint8_t kMdpmUuid[16] = {0x17, 0xee, 0x8c, 0x60, 0xf8, 0x4d, 0x11, 0xd9,
                                         0x8c, 0xd6, 0x08, 0x00, 0x20, 0x0c, 0x9a, 0x66};
constexpr std::uint8_t kDateTag = 0x18;  // zone, century, year, month
constexpr std::uint8_t kTimeTag = 0x19;  // day, hour, minute, second

Bytes ReadStart(platform::ByteSource& source, std::uint64_t limit) {
    Bytes bytes(static_cast<std::size_t>(std::min(limit, source.Size())));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = source.ReadAt(got, bytes.data() + got, bytes.size() - got);
        if (n == 0) break;
        got += std::min(n, bytes.size() - got);
    }
    bytes.resize(got);
    return bytes;
}

// The packet length, 192 or 188, from the sync bytes of the first packets;
// 0 when it is no transport stream.
std::size_t PacketLength(const Bytes& b) {
    for (const std::size_t length : {std::size_t{192}, kPacket}) {
        const std::size_t sync = length - kPacket;
        int seen = 0;
        bool ok = true;
        for (std::size_t at = sync; at < b.size() && seen < 3; at += length, ++seen)
            ok = ok && b[at] == kSync;
        if (ok && seen > 0) return length;
    }
    return 0;
}

// The payload of the first H.264 video stream, PES headers taken out, in order.
Bytes VideoStream(const Bytes& b, std::size_t length) {
    Bytes stream;
    int videoPid = -1;
    bool inPes = false;
    for (std::size_t at = 0; at + length <= b.size(); at += length) {
        const std::uint8_t* p = b.data() + at + (length - kPacket);
        if (p[0] != kSync) break;  // lost the packet rhythm: stop rather than guess
        if (p[1] & 0x80) continue;  // marked damaged by the receiver
        const bool unitStart = p[1] & 0x40;
        const int pid = ((p[1] & 0x1f) << 8) | p[2];
        const unsigned control = (p[3] >> 4) & 3;
        if (!(control & 1)) continue;  // no payload
        std::size_t pos = 4;
        if (control & 2) pos += 1 + std::size_t{p[4]};
        if (pos >= kPacket) continue;
        const std::uint8_t* payload = p + pos;
        std::size_t size = kPacket - pos;
        if (videoPid >= 0 && pid != videoPid) continue;
        if (unitStart) {
            inPes = false;
            const bool video = size >= 9 && payload[0] == 0 && payload[1] == 0 && payload[2] == 1 &&
                               (payload[3] & 0xf0) == 0xe0;
            if (!video) continue;
            const std::size_t header = 9 + std::size_t{payload[8]};
            if (header > size) continue;
            videoPid = pid;
            inPes = true;
            payload += header;
            size -= header;
        }
        if (inPes) stream.insert(stream.end(), payload, payload + size);
    }
    return stream;
}

// A NAL unit's bytes with the emulation-prevention bytes (00 00 03) removed.
Bytes Unescaped(const std::uint8_t* p, std::size_t n) {
    Bytes out;
    out.reserve(n);
    int zeros = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (zeros >= 2 && p[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = p[i] == 0 ? zeros + 1 : 0;
        out.push_back(p[i]);
    }
    return out;
}

// A value of the SEI syntax: 0xff bytes each add 255, the last byte the rest.
bool SeiNumber(const Bytes& b, std::size_t& i, std::size_t& value) {
    value = 0;
    while (i < b.size() && b[i] == 0xff) {
        value += 255;
        ++i;
    }
    if (i >= b.size()) return false;
    value += b[i++];
    return true;
}

std::optional<RecordedAt> DateInSei(const Bytes& rbsp) {
    std::size_t i = 1;  // after the NAL header
    while (i + 2 <= rbsp.size()) {
        std::size_t type = 0, size = 0;
        if (!SeiNumber(rbsp, i, type) || !SeiNumber(rbsp, i, size)) return {};
        if (size > rbsp.size() - i) return {};  // cut off
        const std::uint8_t* payload = rbsp.data() + i;
        if (type == kUserDataUnregistered && size >= sizeof kMdpmUuid &&
            std::memcmp(payload, kMdpmUuid, sizeof kMdpmUuid) == 0) {
            if (auto date = ParseMdpm(payload + sizeof kMdpmUuid, size - sizeof kMdpmUuid))
                return date;
        }
        i += size;
    }
    return {};
}

std::optional<RecordedAt> DateInStream(const Bytes& s) {
    // Each NAL unit runs from after a 00 00 01 to the next 00 00 00 or 00 00 01.
    std::size_t i = 0;
    while (i + 3 < s.size()) {
        if (!(s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1)) {
            ++i;
            continue;
        }
        const std::size_t start = i + 3;
        std::size_t end = start;
        while (end + 2 < s.size() && !(s[end] == 0 && s[end + 1] == 0 && s[end + 2] <= 1)) ++end;
        if (end + 2 >= s.size()) end = s.size();
        if ((s[start] & 0x1f) == kSeiNal) {
            if (auto date = DateInSei(Unescaped(s.data() + start, end - start))) return date;
        }
        i = end;
    }
    return {};
}

int Bcd(std::uint8_t b) {
    if ((b >> 4) > 9 || (b & 0x0f) > 9) return -1;
    return (b >> 4) * 10 + (b & 0x0f);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<RecordedAt> ParseMdpm(const std::uint8_t* data, std::size_t size) {
    if (size < 5 || std::memcmp(data, "MDPM", 4) != 0) return {};
    const std::size_t count = std::min<std::size_t>(data[4], (size - 5) / 5);
    const std::uint8_t* date = nullptr;
    const std::uint8_t* time = nullptr;
    for (std::size_t e = 0; e < count; ++e) {
        const std::uint8_t* entry = data + 5 + 5 * e;
        if (entry[0] == kDateTag && !date) date = entry + 1;
        if (entry[0] == kTimeTag && !time) time = entry + 1;
    }
    if (!date || !time) return {};

    RecordedAt at;
    const int century = Bcd(date[1]), year = Bcd(date[2]);
    at.month = Bcd(date[3]);
    at.day = Bcd(time[0]);
    at.hour = Bcd(time[1]);
    at.minute = Bcd(time[2]);
    at.second = Bcd(time[3]);
    if (century < 0 || year < 0) return {};
    at.year = century * 100 + year;
    if (at.year < 1904 || at.month < 1 || at.month > 12 || at.day < 1 ||
        at.day > DaysInMonth(at.year, at.month) || at.hour < 0 || at.hour > 23 ||
        at.minute < 0 || at.minute > 59 || at.second < 0 || at.second > 59)
        return {};

    // The zone byte: 0x20 west of UTC, bits 1-4 the hours, 0x01 a further
    // half hour, 0x40 daylight saving time (the clock one hour ahead).
    const std::uint8_t zone = date[0];
    const int hours = (zone >> 1) & 0x0f;
    if (hours > 14) return {};
    const int standard = hours * 60 + (zone & 0x01 ? 30 : 0);
    at.offsetMinutes = (zone & 0x20 ? -standard : standard) + (zone & 0x40 ? 60 : 0);

    const std::int64_t local = DaysFromCivil(at.year, at.month, at.day) * 86400 + at.hour * 3600 +
                               at.minute * 60 + at.second;
    at.utc = local - std::int64_t{at.offsetMinutes} * 60;
    return at;
}

std::optional<RecordedAt> ReadRecordingDate(platform::ByteSource& clip, std::uint64_t limit) {
    const Bytes start = ReadStart(clip, limit);
    const std::size_t length = PacketLength(start);
    if (length == 0) return {};
    return DateInStream(VideoStream(start, length));
}

}  // namespace media
