// libFuzzer target for the symbol library's readers: every input is read both as a symbol
// file and as a library index. A symbol file's readers must agree with each other (a frame
// loads only from a whole record, at the size its record states), and an index read back
// after writing must give the same ids.
#include "symbols/Symbol.h"
#include "symbols/SymbolLibraryIndex.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// A read-only device over a copy of the input (QBuffer needs a QByteArray it may point into).
struct Device {
    QByteArray bytes;
    QBuffer buffer{&bytes};
    explicit Device(const QByteArray& input) : bytes(input) { buffer.open(QIODevice::ReadOnly); }
};

void readSymbolFile(const QByteArray& input) {
    Device contentsDevice(input);
    const std::optional<Symbol::Contents> contents = Symbol::readContents(contentsDevice.buffer);
    if (!contents) {
        Device device(input);
        if (!Symbol::loadFrame(device.buffer, 0).isNull())
            std::abort(); // a frame from a file without a frame count
        return;
    }
    if (contents->frames.size() > contents->storedCount)
        std::abort();
    // The first few records and the one just past the whole ones.
    const std::uint32_t whole = std::uint32_t(contents->frames.size());
    for (std::uint32_t k = 0; k <= std::min<std::uint32_t>(whole, 4); ++k) {
        Device device(input);
        const QImage frame = Symbol::loadFrame(device.buffer, k);
        if (frame.isNull())
            continue;
        if (k >= whole)
            std::abort(); // loaded past the whole records
        const Symbol::FrameRecord& record = contents->frames[k];
        if (frame.width() != int(record.width) || frame.height() != int(record.height) ||
            frame.format() != QImage::Format_ARGB32)
            std::abort();
    }
}

void readIndex(const QByteArray& input) {
    Device device(input);
    const std::vector<SymbolId> ids = SymbolLibraryIndex::read(device.buffer);
    if (input.size() < 4 ? !ids.empty() : qsizetype(ids.size()) > (input.size() - 4) / 16)
        std::abort();
    // The readers of a library index never see more than they hold; written back through a
    // buffer, the ids read the same.
    QByteArray written(4, '\0');
    const std::uint32_t count = std::uint32_t(ids.size());
    for (int i = 0; i < 4; ++i)
        written[i] = char((count >> (8 * i)) & 0xFF);
    for (const SymbolId& id : ids)
        written.append(reinterpret_cast<const char*>(id.bytes.data()), 16);
    Device again(written);
    if (SymbolLibraryIndex::read(again.buffer) != ids)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The PNG reader's complaints about damaged data would flood the output.
    static const QtMessageHandler quiet =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    (void)quiet;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    readSymbolFile(input);
    readIndex(input);
    return 0;
}
