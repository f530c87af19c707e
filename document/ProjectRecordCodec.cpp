#include "document/ProjectRecordCodec.h"

#include <cstdint>
#include <type_traits>

namespace {

struct FieldWriter {
    ByteWriter& out;
    void operator()(const std::int32_t& v) { out.writeI32(v); }
    void operator()(const std::uint32_t& v) { out.writeU32(v); }
    void operator()(const float& v) { out.writeF32(v); }
    void operator()(const std::uint8_t& v) { out.writeBytes(&v, 1); }
    template <std::size_t N> void operator()(const char (&v)[N]) { out.writeBytes(v, N); }
    template <std::size_t N> void operator()(const std::uint8_t (&v)[N]) { out.writeBytes(v, N); }
    template <std::size_t N> void operator()(const std::uint32_t (&v)[N]) {
        for (std::uint32_t word : v)
            out.writeU32(word);
    }
};

struct FieldReader {
    ByteReader& in;
    void operator()(std::int32_t& v) { v = in.readI32(); }
    void operator()(std::uint32_t& v) { v = in.readU32(); }
    void operator()(float& v) { v = in.readF32(); }
    void operator()(std::uint8_t& v) { in.readBytes(&v, 1); }
    template <std::size_t N> void operator()(char (&v)[N]) { in.readBytes(v, N); }
    template <std::size_t N> void operator()(std::uint8_t (&v)[N]) { in.readBytes(v, N); }
    template <std::size_t N> void operator()(std::uint32_t (&v)[N]) {
        for (std::uint32_t& word : v)
            word = in.readU32();
    }
};

// Header bytes 0..839 (file offsets 4..843).
template <typename Visit, typename Header> void headerFields(Visit&& f, Header& h) {
    f(h.formatId);          // 0    20
    f(h.guid);              // 20   16
    f(h.name);              // 36   260
    f(h.reserved);          // 296  260
    f(h.width);             // 556
    f(h.height);            // 560
    f(h.duration);          // 564
    f(h.frameRate);         // 568
    f(h.backgroundColor);   // 572  0x00BBGGRR
    f(h.backgroundPicture); // 576 260
    f(h.placement);         // 836
}

// The 60-byte font record (Windows LOGFONTA).
template <typename Visit, typename Font> void fontFields(Visit&& f, Font& font) {
    f(font.height);
    f(font.width);
    f(font.escapement);
    f(font.orientation);
    f(font.weight);
    f(font.italic);
    f(font.underline);
    f(font.strikeOut);
    f(font.charSet);
    f(font.outPrecision);
    f(font.clipPrecision);
    f(font.quality);
    f(font.pitchAndFamily);
    f(font.faceName);
}

// Object record bytes 0..523, except the point count at 476, which the callers handle.
template <typename Visit, typename Record> void objectFieldsBeforeCount(Visit&& f, Record& r) {
    f(r.kind); // 0
    f(r.startOpacity);
    f(r.endOpacity);
    f(r.selected);
    f(r.reserved16);
    f(r.width); // 20
    f(r.height);
    f(r.startFractionX);
    f(r.startFractionY);
    f(r.startX); // 36
    f(r.startY);
    f(r.dragOriginX);
    f(r.dragOriginY);
    f(r.endX); // 52
    f(r.endY);
    f(r.startAngle);
    f(r.endAngle);
    f(r.startScale); // 68
    f(r.endScale);
    f(r.easing); // 76
    f(r.reserved80);
    f(r.motionKind); // 84
    f(r.symbolTime);
    f(r.startFrame); // 92
    f(r.endFrame);
    f(r.motionStartFrame);
    f(r.motionEndFrame);
    f(r.symbolFrameRate); // 108
    f(r.text);            // 112  260
    f(r.textStyle);       // 372
    f(r.reserved376);
    fontFields(f, r.font); // 380  60
    f(r.textColor);        // 440
    f(r.secondTextColor);
    f(r.reserved448);
    f(r.trailFlag); // 464
    f(r.reserved468);
    f(r.reserved472);
}

template <typename Visit, typename Record> void objectFieldsAfterCount(Visit&& f, Record& r) {
    f(r.reserved480); // 480
    f(r.headingOffset);
    f(r.hitRegionIndex); // 488  run time
    f(r.regionHandle);   // 492  run time
    f(r.reserved496);    // 496  28
}

} // namespace

void ProjectRecordCodec::writeHeader(ByteWriter& out, const ProjectHeader& header) {
    headerFields(FieldWriter{out}, header);
}

void ProjectRecordCodec::readHeader(ByteReader& in, ProjectHeader& header) {
    headerFields(FieldReader{in}, header);
}

void ProjectRecordCodec::writeObject(ByteWriter& out, const ObjectRecord& record,
                                     std::int32_t pointCount) {
    objectFieldsBeforeCount(FieldWriter{out}, record);
    out.writeI32(pointCount); // 476
    objectFieldsAfterCount(FieldWriter{out}, record);
}

void ProjectRecordCodec::readObject(ByteReader& in, ObjectRecord& record) {
    objectFieldsBeforeCount(FieldReader{in}, record);
    record.guidePointCount = in.readI32();
    objectFieldsAfterCount(FieldReader{in}, record);
}
