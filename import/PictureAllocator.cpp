#include "import/PictureAllocator.h"

#include "gif/CxImage.h"

#include <unistd.h>

#include <atomic>
#include <new>

namespace {

std::atomic<std::int64_t> g_pixelLimit{CxImage::kMaxPixels};

void setError(std::string* error, std::string text) {
    if (error)
        *error = std::move(text);
}

std::string sizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Bytes of physical memory; 0 when the system does not say.
std::int64_t physicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return std::int64_t{pages} * pageSize;
}

} // namespace

std::int64_t PictureAllocator::pixelLimit() {
    return g_pixelLimit.load(std::memory_order_relaxed);
}

void PictureAllocator::setPixelLimit(std::int64_t pixels) {
    if (pixels > 0 && pixels <= CxImage::kMaxPixels)
        g_pixelLimit.store(pixels, std::memory_order_relaxed);
}

bool PictureAllocator::fits(std::int64_t width, std::int64_t height, int bytesPerPixel,
                            std::string* error) {
    if (width <= 0 || height <= 0) {
        setError(error, "the picture has no pixels (" + sizeText(width, height) + ")");
        return false;
    }
    // Both sides are checked before they are multiplied, so the product cannot overflow.
    const std::int64_t limit = pixelLimit();
    if (width > limit || height > limit || width > limit / height) {
        setError(error, "the picture of " + sizeText(width, height) +
                            " pixels is larger than the largest picture supported (" +
                            std::to_string(limit) + " pixels)");
        return false;
    }
    const std::int64_t bytes = width * height * bytesPerPixel; // <= 2^28 * 8
    const std::int64_t memory = physicalMemory();
    if (memory > 0 && bytes > memory) {
        setError(error, "not enough memory for a picture of " + sizeText(width, height) +
                            " pixels (" + std::to_string(bytes >> 20) + " MiB)");
        return false;
    }
    return true;
}

std::unique_ptr<CxImage> PictureAllocator::create(std::int64_t width, std::int64_t height,
                                                  bool alpha, std::string* error) {
    if (!fits(width, height, 4, error))
        return nullptr;
    // The picture's buffer comes from the standard library, which reports a failed
    // allocation by exception; it ends here as a refusal.
    try {
        auto picture = std::make_unique<CxImage>();
        if (!picture->Create(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                             alpha ? 32 : 24)) {
            setError(error, picture->GetLastError());
            return nullptr;
        }
        return picture;
    } catch (const std::bad_alloc&) {
        setError(error, "not enough memory for a picture of " + sizeText(width, height) +
                            " pixels (" + std::to_string((width * height * 4) >> 20) + " MiB)");
        return nullptr;
    }
}
