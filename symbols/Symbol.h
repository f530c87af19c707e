#pragma once

#include "document/SymbolId.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QIODevice;

// Symbol: a library symbol's file, named after its id in the library folder. The file holds
// the symbol's frames as PNG data; a frame is found by skipping whole records. Every length
// read is checked against what is left in the file before anything is allocated or skipped,
// so a damaged or hostile file gives fewer frames or null frames, never a crash.
//
// Symbol file (little-endian, no magic, version or checksum):
//   0    frame count F (u32)
//   then F frame records:
//   +0   L: byte length of the PNG data (u32)
//   +4   frame width in pixels (u32)
//   +8   frame height in pixels (u32)
//   +12  L bytes: a complete 32-bit PNG of the frame
class Symbol {
public:
    static constexpr std::uint32_t kRecordHeaderBytes = 12;

    // One whole frame record found in a file.
    struct FrameRecord {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        std::uint32_t pngBytes = 0;
        std::int64_t pngOffset = 0; // file offset of the PNG data
    };
    // What a file states and what it holds: the stored count, and the whole records found
    // (at most that many; fewer when the file ends early or a length runs past its end).
    struct Contents {
        std::uint32_t storedCount = 0;
        std::vector<FrameRecord> frames;
    };

    // The folder (ending with a separator), the id's 32 lower-case hex digits, ".sbl".
    static std::string fileName(const std::string& folder, const SymbolId& id);

    // The file's frame records; nothing when it cannot be opened or holds no frame count.
    static std::optional<Contents> readContents(const std::string& path);
    static std::optional<Contents> readContents(QIODevice& device);

    // The number of whole frame records (at most the stored count) without keeping them;
    // nothing when the file cannot be opened or holds no frame count.
    static std::optional<std::uint32_t> countFrames(const std::string& path);

    // Frame `index` (0-based) as an ARGB32 picture; a null image when the file cannot be read,
    // has no such whole record, or the record's PNG is not a picture of its stated size.
    static QImage loadFrame(const std::string& path, std::uint32_t index);
    static QImage loadFrame(QIODevice& device, std::uint32_t index);

    // Writes the frames in order; `progress` (optional) hears (i + 1) * 100 / F after frame i.
    // False when a frame cannot be encoded or the device refuses a write.
    static bool write(QIODevice& device, const std::vector<QImage>& frames,
                      const std::function<void(int percent)>& progress = {});
    // Writes the file through a temporary file beside it that replaces `path` only once it is
    // complete: a failed write leaves the previous file as it was.
    static bool writeFile(const std::string& path, const std::vector<QImage>& frames,
                          const std::function<void(int percent)>& progress = {});
};
