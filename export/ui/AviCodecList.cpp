#include "export/ui/AviCodecList.h"

#include "export/AviWriter.h"

#include <algorithm>

namespace {

const AviCodecInfo kKnown[] = {
    {"rawvideo", "Full Frames (Uncompressed)", false, false, false},
    {"mjpeg", "Motion JPEG", true, false, true},
    {"mpeg4", "MPEG-4 Part 2", true, true, true},
    {"ffv1", "FFV1 (Lossless)", false, true, false},
    {"libx264", "H.264", true, true, true},
};

} // namespace

AviCodecList AviCodecList::available() {
    return AviCodecList(AviWriter::availableCodecs());
}

AviCodecList::AviCodecList(const std::vector<std::string>& codecs) {
    for (const AviCodecInfo& info : kKnown)
        if (std::find(codecs.begin(), codecs.end(), info.codec) != codecs.end())
            m_codecs.push_back(info);
}

int AviCodecList::indexOf(const std::string& codec) const {
    for (std::size_t i = 0; i < m_codecs.size(); ++i)
        if (m_codecs[i].codec == codec)
            return static_cast<int>(i);
    return -1;
}
