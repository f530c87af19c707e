// libFuzzer target for the canvas journal reader: the input is a journal file. Every record the
// walk accepts must have the size its header gives, lie inside the input, follow the record
// before it, and write back to exactly the bytes it was read from.
#include "symbols/JournalRecord.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kRecordsTried = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&input);
    device.open(QIODevice::ReadOnly);
    std::int64_t next = 0; // where record k must start, given record k - 1
    for (int k = 0; k < kRecordsTried; ++k) {
        const std::optional<JournalRecord::Header> header = JournalRecord::find(device, k);
        const std::optional<QImage> picture = JournalRecord::read(device, k);
        if (!header) {
            if (picture)
                std::abort(); // a record the walk refuses cannot be read
            break;
        }
        if (!picture || header->offset != next)
            std::abort();
        const std::int64_t end = header->offset + JournalRecord::kHeaderSize + header->length;
        if (end > std::int64_t(size) ||
            std::int64_t(picture->width()) * picture->height() * 4 != header->length)
            std::abort();
        QByteArray written;
        QBuffer out(&written);
        out.open(QIODevice::WriteOnly);
        if (!JournalRecord::write(out, *picture) ||
            written != input.mid(qsizetype(header->offset), qsizetype(end - header->offset)))
            std::abort();
        next = end;
    }
    return 0;
}
