#include "symbols/CanvasJournal.h"

#include "symbols/JournalRecord.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace {

// Copies bytes [begin, end) of `from` to the start of `to`, in the kernel where it can.
bool copyRange(QFile& from, std::int64_t begin, std::int64_t end, QFile& to) {
    off_t in = begin;
    off_t out = 0;
    while (in < end) {
        const ssize_t copied =
            ::copy_file_range(from.handle(), &in, to.handle(), &out, std::size_t(end - in), 0);
        if (copied > 0)
            continue;
        if (copied < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL) && out == 0)
            break; // not supported between these files: copy through a buffer below
        return false;
    }
    if (in == end)
        return true;
    std::vector<char> buffer(1 << 20);
    if (!from.seek(in) || !to.seek(out))
        return false;
    while (in < end) {
        const qint64 got = from.read(buffer.data(), std::min<std::int64_t>(end - in, 1 << 20));
        if (got <= 0 || to.write(buffer.data(), got) != got)
            return false;
        in += got;
    }
    return true;
}

// Opens a new file of our own at `path`: whatever has that name is removed first, and the file
// is created exclusively so that we never write into a file another copy of the program holds.
std::unique_ptr<QFile> createOwnFile(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    auto file = std::make_unique<QFile>(QString::fromStdString(path));
    if (!file->open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered))
        return nullptr;
    return file;
}

} // namespace

CanvasJournal::CanvasJournal(ProgramFolders folders) : m_folders(std::move(folders)) {}

// The file stays behind: the next reset deletes it.
CanvasJournal::~CanvasJournal() = default;

std::string CanvasJournal::journalFile() const {
    return m_folders.dataFolder() + kJournalName;
}

std::string CanvasJournal::scratchFile() const {
    return m_folders.dataFolder() + kScratchName;
}

void CanvasJournal::ResetJournal() {
    m_file.reset();
    std::error_code error;
    std::filesystem::remove(journalFile(), error); // one attempt; a leftover is replaced later
    m_records.clear();
    m_position = -1;
    m_atPosition = true;
}

bool CanvasJournal::openJournal() {
    m_file = createOwnFile(journalFile());
    return m_file != nullptr;
}

bool CanvasJournal::PushState(const QImage& picture) {
    // 1. Drop the redo tail. The records after the position are cut off by the append below,
    // which writes at the end of the record at the position.
    if (m_position == -1)
        ResetJournal();
    else if (m_position < int(count()) - 1)
        m_records.resize(std::size_t(m_position) + 1);

    // 2. Bound the size.
    const std::int64_t limit = kBytesPerPixel * picture.width() * picture.height();
    if (!m_records.empty() && (byteLength() > limit || byteLength() > kMaxBytes))
        dropFirstRecord(); // when it fails the journal just stays longer

    // 3. Append.
    m_atPosition = append(picture);
    if (m_atPosition)
        m_position = int(count()) - 1;
    return m_atPosition;
}

bool CanvasJournal::append(const QImage& picture) {
    if (!m_file && !openJournal())
        return false;
    const std::int64_t start = byteLength();
    bool written = m_file->seek(start) && JournalRecord::write(*m_file, picture);
    // Whatever followed (an old redo tail, a partly written record) is cut off.
    const std::int64_t end = written ? m_file->pos() : start;
    written = m_file->resize(end) && written;
    if (!written) {
        m_file->resize(start);
        return false;
    }
    m_records.push_back({end, picture.size()});
    return true;
}

bool CanvasJournal::dropFirstRecord() {
    std::unique_ptr<QFile> scratch = createOwnFile(scratchFile());
    if (!scratch)
        return false;
    const std::int64_t first = m_records.front().end;
    std::error_code error;
    if (!copyRange(*m_file, first, byteLength(), *scratch)) {
        std::filesystem::remove(scratchFile(), error);
        return false;
    }
    // The rename replaces the journal in one step; our handle follows the renamed file.
    std::filesystem::rename(scratchFile(), journalFile(), error);
    if (error) {
        std::filesystem::remove(scratchFile(), error);
        return false;
    }
    m_file = std::move(scratch);
    m_records.erase(m_records.begin());
    for (Written& record : m_records)
        record.end -= first;
    m_position = std::max(-1, m_position - 1);
    return true;
}

std::optional<QImage> CanvasJournal::ReadRecord(int index) {
    if (!m_file || index < 0 || index >= int(count()))
        return std::nullopt;
    // The walk checks the file; the record found must also be the one written there.
    const std::optional<JournalRecord::Header> header = JournalRecord::find(*m_file, index);
    const Written& written = m_records[std::size_t(index)];
    const std::int64_t start = index == 0 ? 0 : m_records[std::size_t(index) - 1].end;
    if (!header || header->offset != start ||
        QSize(int(header->width), int(header->height)) != written.size)
        return std::nullopt;
    return JournalRecord::readPixels(*m_file, *header);
}

bool CanvasJournal::Undo(QImage& picture, const QImage& start) {
    if (!m_atPosition) {
        // The last push failed: first go back to the state recorded at the position.
        m_atPosition = true;
        if (m_position == -1) {
            picture = start;
        } else if (std::optional<QImage> record = ReadRecord(m_position)) {
            picture = std::move(*record);
        }
        return true;
    }
    if (m_position < 0)
        return false;
    if (m_position == 0) {
        picture = start;
    } else if (std::optional<QImage> record = ReadRecord(m_position - 1)) {
        picture = std::move(*record);
    }
    --m_position;
    return true;
}

bool CanvasJournal::Redo(QImage& picture) {
    if (m_position >= int(count()) - 1)
        return false;
    if (std::optional<QImage> record = ReadRecord(m_position + 1))
        picture = std::move(*record);
    ++m_position;
    m_atPosition = true;
    return true;
}
