// libFuzzer target: CxImageGIF's decoder on arbitrary bytes. Decodes the first frame, the
// last one, every frame in one walk and (through the size-only escape) the logical screen, so that
// the block loop, extensions, LZW decoding, interlacing and composition all see the input.
#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        // Large screens decode the same way as small ones but cost milliseconds per frame;
        // keep the fuzzer fast by decoding only their size.
        CxImageGIF sizeOnly;
        sizeOnly.SetEscape(-1);
        CxMemFile file(data, size);
        sizeOnly.Decode(&file);
        if (static_cast<long>(sizeOnly.GetWidth()) * sizeOnly.GetHeight() > 512L * 512L)
            return 0;
    }
    CxImageGIF first;
    CxMemFile file(data, size);
    if (!first.Decode(&file))
        return 0;
    // Touch every pixel so that a bad buffer shows under the sanitizer.
    unsigned sum = 0;
    for (int y = 0; y < first.GetHeight(); ++y)
        for (int x = 0; x < first.GetWidth(); ++x)
            sum += first.GetPixelColor(x, y).rgbRed;
    const int frames = first.GetNumFrames();
    if (frames > 1) {
        CxImageGIF last;
        CxMemFile again(data, size);
        last.SetFrame(frames - 1);
        last.Decode(&again);
        // Every frame in one walk, as the picture import takes them.
        CxImageGIF all;
        CxMemFile walk(data, size);
        all.DecodeFrames(&walk, [&sum](CxImage& picture) {
            const int w = picture.GetWidth(), h = picture.GetHeight();
            sum += picture.GetPixelColor(0, 0).rgbRed + picture.GetPixelColor(w - 1, h - 1).rgbRed;
            return true;
        });
    }
    return static_cast<int>(sum & 0);
}
