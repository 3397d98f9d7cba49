#include "Mp4Times.h"

#include <algorithm>
#include <cstdint>

namespace media {

namespace {

// Enough for any real movie; a damaged file cannot keep us walking forever.
constexpr int kMaxBoxes = 100000;

constexpr std::uint32_t Type(const char (&name)[5]) {
    return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16 |
           std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3]));
}

std::uint64_t BigEndian(const std::uint8_t* p, unsigned n) {
    std::uint64_t v = 0;
    for (unsigned i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}

struct Box {
    std::uint32_t type = 0;
    std::uint64_t body = 0;  // where the contents start
    std::uint64_t end = 0;
};

class Walker {
public:
    explicit Walker(platform::ByteSource& file) : file_(file) {}

    bool Read(std::uint64_t at, std::uint8_t* data, std::size_t n) {
        return file_.ReadAt(at, data, n) == n;
    }

    // The boxes directly inside [begin, end), in order; false when one of
    // them does not fit or cannot be read.
    bool Children(std::uint64_t begin, std::uint64_t end, std::vector<Box>& boxes) {
        for (std::uint64_t at = begin; at < end;) {
            if (++visited_ > kMaxBoxes || end - at < 8) return false;
            std::uint8_t header[16];
            if (!Read(at, header, 8)) return false;
            Box box;
            std::uint64_t size = BigEndian(header, 4);
            box.type = static_cast<std::uint32_t>(BigEndian(header + 4, 4));
            std::uint64_t headerSize = 8;
            if (size == 1) {  // a 64-bit size follows the type
                if (end - at < 16 || !Read(at + 8, header + 8, 8)) return false;
                size = BigEndian(header + 8, 8);
                headerSize = 16;
            } else if (size == 0) {  // runs to the end of what holds it
                size = end - at;
            }
            if (size < headerSize || size > end - at) return false;
            box.body = at + headerSize;
            box.end = at + size;
            boxes.push_back(box);
            at = box.end;
        }
        return true;
    }

    // The top-level boxes up to and including the first "moov".
    bool TopLevelUntilMovie(std::uint64_t size, Box& movie) {
        for (std::uint64_t at = 0; at < size;) {
            std::vector<Box> one;
            // One box at a time: the rest of the file may be anything.
            if (!Children(at, size, one) || one.empty()) return false;
            if (one[0].type == Type("moov")) {
                movie = one[0];
                return true;
            }
            at = one[0].end;
        }
        return false;
    }

    // The time fields of a full box that starts with version and flags.
    bool Fields(const Box& box, std::vector<TimeFields>& fields) {
        std::uint8_t version = 0;
        if (box.end - box.body < 4 || !Read(box.body, &version, 1) || version > 1) return false;
        const unsigned width = version == 1 ? 8 : 4;
        if (box.end - box.body < 4 + 2 * width) return false;
        fields.push_back({box.body + 4, width});
        return true;
    }

private:
    platform::ByteSource& file_;
    int visited_ = 0;
};

// Only the first box of that type.
const Box* Find(const std::vector<Box>& boxes, std::uint32_t type) {
    auto it = std::find_if(boxes.begin(), boxes.end(), [&](const Box& b) { return b.type == type; });
    return it == boxes.end() ? nullptr : &*it;
}

}  // namespace

std::vector<TimeFields> FindMp4TimeFields(platform::ByteSource& file, std::string& problem) {
    Walker walker(file);
    std::vector<TimeFields> fields;
    Box movie;
    if (!walker.TopLevelUntilMovie(file.Size(), movie)) {
        problem = "no readable movie header";
        return {};
    }
    std::vector<Box> inMovie;
    if (!walker.Children(movie.body, movie.end, inMovie)) {
        problem = "a damaged movie header";
        return {};
    }
    const Box* header = Find(inMovie, Type("mvhd"));
    if (!header || !walker.Fields(*header, fields)) {
        problem = "no usable movie header box";
        return {};
    }
    for (const Box& track : inMovie) {
        if (track.type != Type("trak")) continue;
        std::vector<Box> inTrack, inMedia;
        if (!walker.Children(track.body, track.end, inTrack)) {
            problem = "a damaged track header";
            return {};
        }
        if (const Box* tkhd = Find(inTrack, Type("tkhd")); tkhd && !walker.Fields(*tkhd, fields)) {
            problem = "an unusable track header box";
            return {};
        }
        const Box* media = Find(inTrack, Type("mdia"));
        if (!media) continue;
        if (!walker.Children(media->body, media->end, inMedia)) {
            problem = "a damaged media header";
            return {};
        }
        if (const Box* mdhd = Find(inMedia, Type("mdhd")); mdhd && !walker.Fields(*mdhd, fields)) {
            problem = "an unusable media header box";
            return {};
        }
    }
    return fields;
}

std::string PatchMp4Times(platform::ByteSource& in, platform::ByteSink& out,
                          platform::UnixSeconds time) {
    std::string problem;
    const std::vector<TimeFields> fields = FindMp4TimeFields(in, problem);
    if (fields.empty()) return problem;
    if (time < -kMp4EpochToUnix) return "the time lies before 1904";
    if (time > INT64_MAX - kMp4EpochToUnix) return "the time lies too far ahead";
    const std::uint64_t value = static_cast<std::uint64_t>(time + kMp4EpochToUnix);
    for (const TimeFields& f : fields) {
        if (f.width == 4 && value > 0xffffffffu)
            return "the time does not fit the header's 32-bit fields";
    }
    for (const TimeFields& f : fields) {
        std::uint8_t bytes[16];
        for (unsigned i = 0; i < f.width; ++i) {
            const std::uint8_t b = static_cast<std::uint8_t>(value >> (8 * (f.width - 1 - i)));
            bytes[i] = b;
            bytes[f.width + i] = b;
        }
        if (!out.WriteAt(f.offset, bytes, 2 * f.width)) return "the header cannot be written";
    }
    return {};
}

}  // namespace media
