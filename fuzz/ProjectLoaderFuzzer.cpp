// libFuzzer target for the project file loader. Any input must either be refused or load;
// a loaded project must save and load again, and a second save must repeat the first
// byte for byte (load replaces the run-time values, so the first save may differ from the
// input, and it keeps only the symbols that objects use).
#include "document/ProjectReader.h"
#include "document/ProjectWriter.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray save(const LoadedProject& loaded) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!ProjectWriter::write(buffer, loaded.project, loaded.symbols)) std::abort();
    return bytes;
}

std::optional<LoadedProject> load(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ProjectReader::read(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    std::optional<LoadedProject> loaded = load(input);
    if (!loaded) return 0;
    if (!loaded->project.isConsistent()) std::abort();
    const QByteArray first = save(*loaded);
    std::optional<LoadedProject> again = load(first);
    if (!again) std::abort();
    if (save(*again) != first) std::abort();
    return 0;
}
