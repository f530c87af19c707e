#pragma once

#include <string>
#include <vector>

// What the codec dialog shows of one AVI codec: its readable name and which settings it
// takes. Uncompressed frames take none; lossless FFV1 only a key-frame interval; Motion JPEG
// codes every frame alone, so it takes quality and data rate but no key-frame interval.
struct AviCodecInfo {
    std::string codec; // the encoder name of AviCompressOptions::codec
    std::string name;  // shown in the list
    bool quality = false;
    bool keyFrames = false;
    bool dataRate = false;
};

// AviCodecList: the codecs of the codec dialog, in its order, limited to those the FFmpeg
// build can encode (uncompressed frames are always there).
class AviCodecList {
public:
    // The codecs AviWriter can encode in this build.
    static AviCodecList available();
    // The known codecs among `codecs`, in the dialog's order; unknown names are left out.
    explicit AviCodecList(const std::vector<std::string>& codecs);

    const std::vector<AviCodecInfo>& codecs() const { return m_codecs; }
    // The row of `codec`, or -1.
    int indexOf(const std::string& codec) const;

private:
    std::vector<AviCodecInfo> m_codecs;
};
