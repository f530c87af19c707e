// The library's files: the index and symbol file layouts byte by byte, round trips at the
// boundary sizes, damaged and hostile files, and writes that fail.
#include "symbols/Symbol.h"
#include "symbols/SymbolFrame.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/SymbolLibraryIndex.h"
#include "tests/symbols/SymbolTestSupport.h"

#include <QBuffer>
#include <QDir>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using namespace symboltest;

namespace {

class SymbolFilesTest : public LibraryFolderTest {
protected:
    void SetUp() override { std::filesystem::create_directories(folder()); }

    QByteArray idBytes(const SymbolId& id) {
        return QByteArray(reinterpret_cast<const char*>(id.bytes.data()), 16);
    }
    std::vector<std::string> folderFiles() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Runs `write` with files limited to `bytes` bytes (a full disk), SIGXFSZ ignored.
template <typename Write> bool withFileSizeLimit(rlim_t bytes, Write write) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool result = write();
    setrlimit(RLIMIT_FSIZE, &previous);
    return result;
}

QImage loadFrom(const QByteArray& bytes, std::uint32_t index) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return Symbol::loadFrame(buffer, index);
}

std::optional<Symbol::Contents> contentsOf(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return Symbol::readContents(buffer);
}

} // namespace

TEST_F(SymbolFilesTest, IndexHoldsTheCountThenEachIdsSixteenBytesInOrder) {
    const SymbolId a = fixedId(0x01), b = fixedId(0x80), c = fixedId(0x33);
    const std::string index = folder() + "Actors.sbg";
    // Adding to a library without an index makes a one-id index.
    ASSERT_TRUE(SymbolLibraryIndex::append(index, a));
    EXPECT_EQ(readAll(index), u32(1) + idBytes(a));
    // Adding again: the count goes up by one and the id comes last.
    ASSERT_TRUE(SymbolLibraryIndex::append(index, b));
    EXPECT_EQ(readAll(index), u32(2) + idBytes(a) + idBytes(b));

    // The library saves the ids of its symbols in display order, whatever the file held.
    for (const SymbolId& id : {a, b, c})
        ASSERT_TRUE(Symbol::writeFile(Symbol::fileName(folder(), id), {frame(0)}));
    ASSERT_TRUE(SymbolLibraryIndex::write(index, {c, a, b}));
    SymbolLibrary library(folder());
    library.load();
    library.moveSymbol(0, 2, true); // c to the end
    ASSERT_TRUE(library.saveIndex());
    EXPECT_EQ(readAll(index), u32(3) + idBytes(a) + idBytes(b) + idBytes(c));
    EXPECT_EQ(folderFiles().size(), 4u); // three symbols and the index: no temporary left
}

TEST_F(SymbolFilesTest, TwoFrameSymbolFileLayout) {
    const SymbolId id = fixedId(0x01);
    const std::string path = Symbol::fileName(folder(), id);
    EXPECT_EQ(path, folder() + "0112233445566778899aabbccddeef00.sbl");

    QImage translucent(1, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(10, 20, 30, 128));
    const std::vector<QImage> frames = {frame(1, 3, 2), translucent};
    std::vector<int> progress;
    ASSERT_TRUE(Symbol::writeFile(path, frames, [&](int percent) { progress.push_back(percent); }));
    EXPECT_EQ(progress, (std::vector<int>{50, 100}));

    const QByteArray bytes = readAll(path);
    // count | L0 w0 h0 PNG0 | L1 w1 h1 PNG1
    ASSERT_GE(bytes.size(), 28);
    EXPECT_EQ(u32At(bytes, 0), 2u);
    const std::uint32_t first = u32At(bytes, 4);
    EXPECT_EQ(u32At(bytes, 8), 3u);
    EXPECT_EQ(u32At(bytes, 12), 2u);
    const qsizetype second = 16 + qsizetype(first);
    ASSERT_GE(bytes.size(), second + 12);
    const std::uint32_t secondLength = u32At(bytes, second);
    EXPECT_EQ(u32At(bytes, second + 4), 1u);
    EXPECT_EQ(u32At(bytes, second + 8), 1u);
    EXPECT_EQ(bytes.size(), 4 + 2 * 12 + qsizetype(first) + qsizetype(secondLength));
    // Each record holds one complete PNG of 8-bit RGBA (IHDR bit depth 8, colour type 6).
    for (const qsizetype png : {qsizetype(16), second + 12}) {
        EXPECT_EQ(bytes.mid(png, 8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(bytes.mid(png + 12, 4), QByteArray("IHDR"));
        EXPECT_EQ(bytes.at(png + 24), 8);
        EXPECT_EQ(bytes.at(png + 25), 6);
        EXPECT_EQ(bytes.right(bytes.size() - png).indexOf("IEND") > 0, true);
    }
    EXPECT_EQ(bytes.mid(16 + first - 8, 4), QByteArray("IEND")); // PNG 0 ends where record 1 starts

    // Frames read back as stored, partial alpha included.
    EXPECT_EQ(Symbol::loadFrame(path, 0), frames[0]);
    EXPECT_EQ(Symbol::loadFrame(path, 1).pixel(0, 0), qRgba(10, 20, 30, 128));
    EXPECT_TRUE(Symbol::loadFrame(path, 2).isNull());
}

TEST_F(SymbolFilesTest, RoundTripsAtBoundarySizes) {
    const std::vector<std::vector<QImage>> rows = {
        {},                                     // no frames: only the count
        {frame(0, 1, 1)},                       // one 1 x 1 frame
        {frame(0, 240, 240), frame(5, 7, 300)}, // sizes differ per frame
    };
    for (const std::vector<QImage>& frames : rows) {
        QByteArray first;
        QBuffer out(&first);
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(Symbol::write(out, frames));
        const std::optional<Symbol::Contents> contents = contentsOf(first);
        ASSERT_TRUE(contents);
        EXPECT_EQ(contents->storedCount, frames.size());
        ASSERT_EQ(contents->frames.size(), frames.size());
        std::vector<QImage> loaded;
        for (std::uint32_t k = 0; k < frames.size(); ++k) {
            EXPECT_EQ(contents->frames[k].width, std::uint32_t(frames[k].width()));
            loaded.push_back(loadFrom(first, k));
            EXPECT_EQ(loaded.back(), frames[k]);
        }
        QByteArray again;
        QBuffer out2(&again);
        out2.open(QIODevice::WriteOnly);
        ASSERT_TRUE(Symbol::write(out2, loaded));
        EXPECT_EQ(again, first); // save, load, save: the same bytes
    }
}

TEST_F(SymbolFilesTest, AnIdWithoutAFileIsLeftOutUntilTheNextSaveDropsIt) {
    const std::vector<SymbolId> ids = addSymbols({1, 2, 3});
    std::filesystem::remove(Symbol::fileName(folder(), ids[1]));
    SymbolLibrary library(folder());
    library.load();
    EXPECT_EQ(idsOf(library), (std::vector<SymbolId>{ids[0], ids[2]}));
    EXPECT_EQ(library.at(1).frameCount, 3u);
    // Loading alone leaves the index as it was.
    EXPECT_EQ(u32At(readAll(library.indexPath()), 0), 3u);
    ASSERT_TRUE(library.saveIndex());
    EXPECT_EQ(readAll(library.indexPath()), u32(2) + idBytes(ids[0]) + idBytes(ids[2]));
}

TEST_F(SymbolFilesTest, DeletingSelectedSymbolsRemovesEveryOneAndTheirFiles) {
    struct Row {
        std::vector<int> selected;
        int current;
        std::vector<int> left;
        int currentAfter;
    };
    const Row rows[] = {
        {{1, 2}, 3, {0, 3}, 1},    // two adjacent symbols; the current one moves up
        {{0, 1, 2, 3}, 0, {}, -1}, // all of them
        {{2}, 2, {0, 1, 3}, -1},   // the current one goes: none is current
        {{0, 3}, 1, {1, 2}, 0},
    };
    for (const Row& row : rows) {
        std::filesystem::remove_all(folder());
        const std::vector<SymbolId> ids = addSymbols({1, 1, 2, 1});
        SymbolLibrary library(folder());
        library.load();
        library.setCurrent(row.current);
        for (int index : row.selected)
            library.setSelected(index, true);
        EXPECT_EQ(library.deleteSelected(), int(row.selected.size()));
        std::vector<SymbolId> expected;
        QByteArray index = u32(std::uint32_t(row.left.size()));
        for (int kept : row.left) {
            expected.push_back(ids[std::size_t(kept)]);
            index += idBytes(ids[std::size_t(kept)]);
        }
        EXPECT_EQ(idsOf(library), expected);
        EXPECT_EQ(library.currentIndex(), row.currentAfter);
        EXPECT_EQ(readAll(library.indexPath()), index);
        for (int gone : row.selected)
            EXPECT_FALSE(
                std::filesystem::exists(Symbol::fileName(folder(), ids[std::size_t(gone)])));
        EXPECT_EQ(folderFiles().size(), row.left.size() + 1);
    }
}

TEST_F(SymbolFilesTest, ThumbnailsPlayOneFrameFurtherOnEveryRepaint) {
    const std::vector<SymbolId> ids = addSymbols({1, 3});
    for (const bool cached : {false, true}) {
        SymbolLibrary library(folder());
        library.setThumbnailCache(cached);
        library.load();
        std::vector<int> one, three;
        for (int repaint = 0; repaint < 7; ++repaint) {
            one.push_back(frameNumber(library.nextThumbnail(0, QSize(50, 50))));
            three.push_back(frameNumber(library.nextThumbnail(1, QSize(50, 50))));
        }
        EXPECT_EQ(one, std::vector<int>(7, 0)) << "cached " << cached;
        EXPECT_EQ(three, (std::vector<int>{0, 1, 2, 0, 1, 2, 0})) << "cached " << cached;

        // An edited symbol file shows after the reload, from its first frame.
        ASSERT_TRUE(SymbolLibrary::writeSymbol(folder(), ids[1], {frame(7), frame(8)}));
        library.load();
        EXPECT_EQ(frameNumber(library.nextThumbnail(1, QSize(50, 50))), 7);
        EXPECT_EQ(frameNumber(library.nextThumbnail(1, QSize(50, 50))), 8);
        EXPECT_EQ(frameNumber(library.nextThumbnail(1, QSize(50, 50))), 7);
        ASSERT_TRUE(SymbolLibrary::writeSymbol(folder(), ids[1], {frame(0), frame(1), frame(2)}));
    }
}

TEST_F(SymbolFilesTest, SymbolFilesCutAtEveryLengthGiveOnlyWholeFrames) {
    QByteArray whole;
    QBuffer out(&whole);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Symbol::write(out, {frame(1, 5, 4), frame(2, 3, 3)}));
    const qsizetype firstEnd = 16 + qsizetype(u32At(whole, 4));
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const QByteArray cut = whole.left(length);
        const std::optional<Symbol::Contents> contents = contentsOf(cut);
        if (length < 4) {
            EXPECT_FALSE(contents) << length;
            continue;
        }
        ASSERT_TRUE(contents) << length;
        EXPECT_EQ(contents->frames.size(), length >= firstEnd ? 1u : 0u) << length;
        EXPECT_EQ(loadFrom(cut, 0).isNull(), length < firstEnd) << length;
        EXPECT_TRUE(loadFrom(cut, 1).isNull()) << length;
    }
}

TEST_F(SymbolFilesTest, HostileRecordsAreRefused) {
    const QByteArray png5 = SymbolFrame::encode(frame(3, 5, 5));
    auto record = [](std::uint32_t length, std::uint32_t width, std::uint32_t height,
                     const QByteArray& data) {
        return u32(length) + u32(width) + u32(height) + data;
    };
    const QByteArray valid = record(std::uint32_t(png5.size()), 5, 5, png5);
    struct Row {
        const char* what;
        QByteArray bytes;
        std::size_t wholeFrames;
        bool firstLoads;
    };
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        frame(3, 5, 5).save(&buffer, "BMP");
    }
    const Row rows[] = {
        {"count far above the records", u32(0xFFFFFFFF) + valid, 1, true},
        {"length past the end", u32(1) + record(0xFFFFFFFF, 5, 5, png5), 0, false},
        {"length one past the end", u32(1) + record(std::uint32_t(png5.size() + 1), 5, 5, png5), 0,
         false},
        {"empty PNG", u32(1) + record(0, 5, 5, {}), 1, false},
        {"PNG smaller than the record says",
         u32(1) + record(std::uint32_t(png5.size()), 10, 10, png5), 1, false},
        {"PNG larger than the record says", u32(1) + record(std::uint32_t(png5.size()), 4, 4, png5),
         1, false},
        {"PNG narrower than the record says",
         u32(1) + record(std::uint32_t(png5.size()), 6, 5, png5), 1, false},
        {"zero size", u32(1) + record(std::uint32_t(png5.size()), 0, 0, png5), 1, false},
        {"absurd size", u32(1) + record(std::uint32_t(png5.size()), 0xFFFFFFFF, 0xFFFFFFFF, png5),
         1, false},
        {"not a PNG", u32(1) + record(std::uint32_t(bmp.size()), 5, 5, bmp), 1, false},
        {"PNG with its data cut",
         u32(1) + record(std::uint32_t(png5.size() - 20), 5, 5, png5.left(png5.size() - 20)), 1,
         false},
    };
    for (const Row& row : rows) {
        const std::optional<Symbol::Contents> contents = contentsOf(row.bytes);
        ASSERT_TRUE(contents) << row.what;
        EXPECT_EQ(contents->frames.size(), row.wholeFrames) << row.what;
        EXPECT_EQ(!loadFrom(row.bytes, 0).isNull(), row.firstLoads) << row.what;
        EXPECT_TRUE(loadFrom(row.bytes, 1).isNull()) << row.what;
        EXPECT_TRUE(loadFrom(row.bytes, 0xFFFFFFFF).isNull()) << row.what;
    }
}

TEST_F(SymbolFilesTest, DamagedIndexesGiveTheWholeIdsTheyHold) {
    const std::vector<SymbolId> ids = addSymbols({1, 1, 1});
    const std::string index = folder() + "Actors.sbg";
    const QByteArray whole = readAll(index);
    ASSERT_EQ(whole.size(), 4 + 3 * 16);
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        writeAll(index, whole.left(length));
        SymbolLibrary library(folder());
        library.load();
        const qsizetype held = length < 4 ? 0 : (length - 4) / 16;
        EXPECT_EQ(library.count(), held) << length;
    }
    // A count far above the ids present, and trailing bytes after them.
    writeAll(index, u32(0xFFFFFFFF) + whole.mid(4) + QByteArray(7, 'x'));
    SymbolLibrary library(folder());
    library.load();
    EXPECT_EQ(idsOf(library), ids);
    // Adding repairs the count: the ids held, then the new one.
    ASSERT_TRUE(SymbolLibraryIndex::append(index, fixedId(9)));
    EXPECT_EQ(readAll(index), u32(4) + whole.mid(4) + idBytes(fixedId(9)));
}

TEST_F(SymbolFilesTest, ALibraryWithDamagedFilesShowsWhatCanBeRead) {
    const std::vector<SymbolId> ids = addSymbols({3, 2, 2});
    const std::string cut = Symbol::fileName(folder(), ids[1]);
    const QByteArray bytes = readAll(cut);
    writeAll(cut, bytes.left(16 + qsizetype(u32At(bytes, 4)) + 5));    // frame 1 cut short
    writeAll(Symbol::fileName(folder(), ids[2]), QByteArray(2, '\0')); // not even a count
    SymbolLibrary library(folder());
    library.load();
    ASSERT_EQ(library.count(), 3);
    EXPECT_EQ(library.at(0).frameCount, 3u);
    EXPECT_EQ(library.at(1).frameCount, 1u);
    EXPECT_EQ(library.at(2).frameCount, 0u);
    for (int repaint = 0; repaint < 4; ++repaint) {
        EXPECT_EQ(frameNumber(library.nextThumbnail(1, QSize(50, 50))), 0);
        EXPECT_TRUE(library.nextThumbnail(2, QSize(50, 50)).isNull());
    }
    EXPECT_EQ(library.loadAllFrames(0).size(), 3u);
    EXPECT_EQ(library.loadAllFrames(1).size(), 1u);
    EXPECT_TRUE(library.loadAllFrames(2).empty());
    // The damaged symbols keep their places in the index.
    ASSERT_TRUE(library.saveIndex());
    EXPECT_EQ(u32At(readAll(library.indexPath()), 0), 3u);
}

TEST_F(SymbolFilesTest, FailedWritesLeaveThePreviousFilesAsTheyWere) {
    const std::vector<SymbolId> ids = addSymbols({2});
    const std::string path = Symbol::fileName(folder(), ids[0]);
    const QByteArray symbolBefore = readAll(path);
    SymbolLibrary library(folder());
    const QByteArray indexBefore = readAll(library.indexPath());
    const std::vector<std::string> filesBefore = folderFiles();

    // A rewrite larger than the disk allows.
    const std::vector<QImage> big = {noisy(100, 100, 1), noisy(100, 100, 2)};
    EXPECT_FALSE(withFileSizeLimit(
        20000, [&] { return SymbolLibrary::writeSymbol(folder(), ids[0], big); }));
    EXPECT_EQ(readAll(path), symbolBefore);
    // A new symbol whose file cannot be written leaves no id in the index.
    EXPECT_FALSE(withFileSizeLimit(
        20000, [&] { return SymbolLibrary::addSymbol(folder(), big).has_value(); }));
    EXPECT_EQ(readAll(library.indexPath()), indexBefore);
    // An index that cannot be written keeps the old one.
    library.load();
    EXPECT_FALSE(withFileSizeLimit(10, [&] { return library.saveIndex(); }));
    EXPECT_EQ(readAll(library.indexPath()), indexBefore);
    EXPECT_EQ(folderFiles(), filesBefore); // no temporary file left behind
}
