// libFuzzer target for the picture loaders: the first input byte picks the format code
// (0 = guess from the content, 1..15 = the extension's format), the rest is the file. Any
// input must be refused or give a picture whose size and pixels can be read.
#include "gif/CxImage.h"
#include "import/PictureAllocator.h"
#include "import/PictureDecoder.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

// Pictures up to 16 megapixels: a picture at the full limit (1 GiB, and as much again in a
// reader's own buffers) would pass the fuzzer's memory limit without being a fault.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PictureAllocator::setPixelLimit(std::int64_t{1} << 24);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int format = data[0] % 16;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const std::unique_ptr<CxImage> picture = PictureDecoder::decode(bytes, format);
    if (!picture)
        return 0;
    if (picture->GetWidth() <= 0 || picture->GetHeight() <= 0)
        std::abort(); // a picture without pixels must be reported as a failure
    // Touch the corners through the public accessors.
    const std::int32_t w = picture->GetWidth(), h = picture->GetHeight();
    volatile std::uint32_t sink = 0;
    for (std::int32_t y : {0, h - 1})
        for (std::int32_t x : {0, w - 1})
            sink = sink + picture->GetPixelColor(x, y).rgbRed;
    return 0;
}
