// The canvas journal: undo and redo sequences, the size bound, the file's bytes, damaged
// journals and failed writes.
#include "symbols/CanvasJournal.h"
#include "symbols/JournalRecord.h"
#include "tests/symbols/CanvasTestSupport.h"

#include <QBuffer>
#include <QFile>

#include <filesystem>

namespace {

// A picture of `size` filled with a colour that encodes `n`.
QImage numbered(int n, QSize size = QSize(3, 2)) {
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(qRgba(n, 255 - n, n * 3 % 256, 255));
    return picture;
}

QByteArray fileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite)); // same file, not a new one
    ASSERT_TRUE(file.resize(0));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The pixel value edit n leaves: red n, opaque.
QRgb filled(int n) {
    return qRgba(n, 0, 0, 255);
}

// Flood fills of the whole canvas with red n: one edit each.
void edit(TestCanvas& t, int n) {
    t.use(PaintTool::FloodFill, 5, PenShape::Round, FillType::Solid, std::uint32_t(n));
    t.click({0, 0});
}

TEST(CanvasJournalTest, NewEditAfterUndoDropsTheRedoTail) {
    TestCanvas t(QSize(4, 4));
    edit(t, 1);
    edit(t, 2);
    edit(t, 3);
    ASSERT_TRUE(t.canvas.undo());
    ASSERT_TRUE(t.canvas.undo());
    EXPECT_EQ(t.pixel(0, 0), filled(1)); // back at the first edit
    edit(t, 4);
    CanvasJournal& journal = t.canvas.journal();
    EXPECT_EQ(journal.count(), 2u);
    EXPECT_EQ(journal.position(), 1);
    EXPECT_FALSE(t.canvas.redo());
    EXPECT_EQ(journal.ReadRecord(0)->pixel(0, 0), filled(1));
    EXPECT_EQ(journal.ReadRecord(1)->pixel(0, 0), filled(4));
    EXPECT_EQ(std::filesystem::file_size(journal.journalFile()),
              std::uintmax_t(2 * JournalRecord::byteSize(4, 4)));
    EXPECT_EQ(t.changes, 4 + 2);
}

TEST(CanvasJournalTest, UndoRedoWalkThroughTheRecords) {
    TestCanvas t(QSize(4, 4));
    edit(t, 1);
    ASSERT_TRUE(t.canvas.undo()); // right after the first edit: the starting picture
    EXPECT_EQ(t.canvas.picture(), t.canvas.startPicture());
    EXPECT_EQ(t.canvas.journal().position(), -1);
    const int changes = t.changes;
    EXPECT_FALSE(t.canvas.undo()); // a second undo does nothing
    EXPECT_EQ(t.changes, changes);
    ASSERT_TRUE(t.canvas.redo());
    EXPECT_EQ(t.pixel(0, 0), filled(1));
    EXPECT_FALSE(t.canvas.redo());
    edit(t, 2);
    ASSERT_TRUE(t.canvas.undo());
    EXPECT_EQ(t.pixel(0, 0), filled(1));
    ASSERT_TRUE(t.canvas.redo());
    EXPECT_EQ(t.pixel(0, 0), filled(2));

    // A new frame empties the journal and removes its file.
    t.canvas.setPicture(numbered(7));
    EXPECT_EQ(t.canvas.journal().count(), 0u);
    EXPECT_FALSE(std::filesystem::exists(t.canvas.journal().journalFile()));
    EXPECT_FALSE(t.canvas.undo());
}

TEST(CanvasJournalTest, SizeBoundKeepsElevenPicturesOfTheCanvas) {
    // 200 x 200: a record is 160012 bytes; the bound is 44 x 200 x 200 = 1760000 bytes, which
    // eleven records (1760132 bytes) already pass, so the twelfth edit drops the first record.
    TestCanvas t(QSize(200, 200));
    const std::uint32_t expected[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 11, 11, 11};
    for (int k = 0; k < int(std::size(expected)); ++k) {
        edit(t, k + 1);
        EXPECT_EQ(t.canvas.journal().count(), expected[k]) << "edit " << k + 1;
        EXPECT_EQ(t.canvas.journal().position(), int(expected[k]) - 1);
    }
    // The oldest kept is edit 4: undo walks 14 -> 4, then to the starting picture.
    for (int n = 13; n >= 4; --n) {
        ASSERT_TRUE(t.canvas.undo());
        EXPECT_EQ(t.pixel(0, 0), filled(n)) << "record of edit " << n;
    }
    ASSERT_TRUE(t.canvas.undo());
    EXPECT_EQ(t.canvas.picture(), t.canvas.startPicture());
    EXPECT_FALSE(t.canvas.undo());
}

TEST(CanvasJournalTest, TwelveMegabyteBoundForLargePictures) {
    // 1000 x 1000 records of 4000012 bytes: three stay under 12582912 bytes, a fourth passes,
    // so the fifth push drops the first and four remain.
    QTemporaryDir root;
    CanvasJournal journal(ProgramFolders(root.path().toStdString()));
    for (int k = 0; k < 6; ++k)
        ASSERT_TRUE(journal.PushState(numbered(k, QSize(1000, 1000))));
    EXPECT_EQ(journal.count(), 4u);
    EXPECT_EQ(journal.ReadRecord(0)->pixel(0, 0), numbered(2).pixel(0, 0));
    EXPECT_EQ(journal.ReadRecord(3)->pixel(0, 0), numbered(5).pixel(0, 0));
}

TEST(CanvasJournalTest, FileHoldsTheRecordLayout) {
    QTemporaryDir root;
    CanvasJournal journal(ProgramFolders(root.path().toStdString()));
    QImage first(3, 2, QImage::Format_ARGB32);
    for (int i = 0; i < 6; ++i)
        first.setPixel(i % 3, i / 3, qRgba(0x10 + i, 0x20 + i, 0x30 + i, 0x40 + i));
    QImage second(1, 1, QImage::Format_ARGB32);
    second.setPixel(0, 0, qRgba(1, 2, 3, 4));
    ASSERT_TRUE(journal.PushState(first));
    ASSERT_TRUE(journal.PushState(second));
    const char expected[] = {
        // record 0: L = 24, width 3, height 2, then B, G, R, A row by row
        24,
        0,
        0,
        0,
        3,
        0,
        0,
        0,
        2,
        0,
        0,
        0,
        0x30,
        0x20,
        0x10,
        0x40,
        0x31,
        0x21,
        0x11,
        0x41,
        0x32,
        0x22,
        0x12,
        0x42,
        0x33,
        0x23,
        0x13,
        0x43,
        0x34,
        0x24,
        0x14,
        0x44,
        0x35,
        0x25,
        0x15,
        0x45,
        // record 1: L = 4, 1 x 1
        4,
        0,
        0,
        0,
        1,
        0,
        0,
        0,
        1,
        0,
        0,
        0,
        3,
        2,
        1,
        4,
    };
    EXPECT_EQ(fileBytes(journal.journalFile()), QByteArray(expected, sizeof expected));
    EXPECT_EQ(journal.journalFile(), root.path().toStdString() + "/Data/cfxs-udo.tmp");
}

TEST(CanvasJournalTest, DamagedJournalLeavesThePictureUnchanged) {
    // Two 4 x 4 records (76 bytes each) after edits 1 and 2, the canvas at edit 3; each row
    // damages the file before two undos. The first undo reads record 1, the second record 0.
    struct Row {
        const char* what;
        std::function<void(QByteArray&)> damage;
        bool firstUndoReads;
        bool secondUndoReads;
    };
    auto putU32 = [](QByteArray& bytes, int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(value >> (8 * i));
    };
    const Row rows[] = {
        {"cut inside record 2", [](QByteArray& b) { b.truncate(76 * 2 + 30); }, true, true},
        {"cut inside record 1", [](QByteArray& b) { b.truncate(76 + 40); }, false, true},
        {"cut inside record 0's header", [](QByteArray& b) { b.truncate(7); }, false, false},
        {"empty", [](QByteArray& b) { b.clear(); }, false, false},
        {"length not width x height x 4", [&](QByteArray& b) { putU32(b, 76, 60); }, false, true},
        {"huge length", [&](QByteArray& b) { putU32(b, 0, 0xFFFFFFF0u); }, false, false},
        {"huge size, consistent length",
         [&](QByteArray& b) {
             putU32(b, 76, 0x40000000u); // 0x4000 x 0x4000 x 4, far past the end
             putU32(b, 80, 0x4000);
             putU32(b, 84, 0x4000);
         },
         false, true},
        {"width and height swapped",
         [&](QByteArray& b) {
             putU32(b, 0, 64);
             putU32(b, 4, 8);
             putU32(b, 8, 2);
         },
         true, false}, // consistent in itself, but not the 4 x 4 record written there
        {"zero size",
         [&](QByteArray& b) {
             putU32(b, 76, 0);
             putU32(b, 80, 0);
         },
         false, true},
    };
    for (const Row& row : rows) {
        TestCanvas t(QSize(4, 4));
        edit(t, 1);
        edit(t, 2);
        edit(t, 3);
        const std::string path = t.canvas.journal().journalFile();
        QByteArray bytes = fileBytes(path);
        ASSERT_EQ(bytes.size(), 3 * 76);
        row.damage(bytes);
        writeBytes(path, bytes);

        ASSERT_TRUE(t.canvas.undo());
        EXPECT_EQ(t.pixel(0, 0), row.firstUndoReads ? filled(2) : filled(3)) << row.what;
        const QRgb shown = t.pixel(0, 0);
        ASSERT_TRUE(t.canvas.undo());
        EXPECT_EQ(t.pixel(0, 0), row.secondUndoReads ? filled(1) : shown) << row.what;
        EXPECT_EQ(t.canvas.size(), QSize(4, 4)) << row.what;
        EXPECT_EQ(t.canvas.journal().position(), 0) << row.what; // the position still moves
    }
}

TEST(CanvasJournalTest, SizeWhoseByteCountWrapsIsRefused) {
    // Headers (length, width, height) whose width x height x 4 wraps around in 32 or 64 bits
    // to the stored length; the first came from the fuzz target.
    const quint32 headers[][3] = {
        {0, 0x80000000u, 0x80000000u}, // 2^64 bytes: 0 in 64 bits
        {0, 0x40000000u, 1},           // 2^32 bytes: 0 in 32 bits
        {4, 0x40000001u, 1},           // 2^32 + 4 bytes: 4 in 32 bits
        {16, 0x80000001u, 2},
    };
    for (const auto& header : headers) {
        QByteArray bytes;
        for (const quint32 value : header)
            for (int i = 0; i < 4; ++i)
                bytes.append(char(value >> (8 * i)));
        bytes.append(QByteArray(16, '\x7F'));
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly);
        EXPECT_FALSE(JournalRecord::find(device, 0)) << header[1] << " x " << header[2];
        EXPECT_FALSE(JournalRecord::read(device, 0)) << header[1] << " x " << header[2];
    }
}

TEST(CanvasJournalTest, AnotherCopyReplacingTheFileDoesNotMixRecords) {
    // Two copies of the program run from the same folder share the data folder and the file
    // name; each keeps reading its own records.
    QTemporaryDir root;
    CanvasJournal mine(ProgramFolders(root.path().toStdString()));
    CanvasJournal theirs(ProgramFolders(root.path().toStdString()));
    ASSERT_TRUE(mine.PushState(numbered(1)));
    ASSERT_TRUE(mine.PushState(numbered(2)));
    ASSERT_TRUE(theirs.PushState(numbered(50, QSize(5, 5)))); // replaces the file by name
    ASSERT_TRUE(mine.PushState(numbered(3)));
    theirs.ResetJournal(); // deletes the name
    ASSERT_TRUE(theirs.PushState(numbered(60, QSize(5, 5))));
    for (int k = 0; k < 3; ++k) {
        const std::optional<QImage> record = mine.ReadRecord(k);
        ASSERT_TRUE(record) << k;
        EXPECT_EQ(*record, numbered(k + 1)) << k;
    }
    EXPECT_EQ(*theirs.ReadRecord(0), numbered(60, QSize(5, 5)));
}

TEST(CanvasJournalTest, UnwritableJournalLosesOnlyThatState) {
    // A folder in the way of the journal's name: it can be neither deleted nor created (and
    // nothing waits for it to go).
    TestCanvas t(QSize(4, 4));
    const std::string path = t.canvas.journal().journalFile();
    std::filesystem::create_directory(path);
    std::filesystem::create_directory(path + "/keep");
    edit(t, 1);
    EXPECT_EQ(t.canvas.journal().count(), 0u);
    EXPECT_EQ(t.changes, 1); // the edit itself stands
    ASSERT_TRUE(t.canvas.undo());
    EXPECT_EQ(t.canvas.picture(), t.canvas.startPicture());
    EXPECT_FALSE(t.canvas.undo());

    std::filesystem::remove_all(path);
    edit(t, 2);
    edit(t, 3);
    EXPECT_EQ(t.canvas.journal().count(), 2u);
}

TEST(CanvasJournalTest, FailedScratchCopyKeepsEveryRecord) {
    // With the scratch name blocked the first record cannot be dropped: the journal grows past
    // its bound instead of losing states.
    TestCanvas t(QSize(10, 10));
    const std::string scratch = t.canvas.journal().scratchFile();
    std::filesystem::create_directory(scratch);
    std::filesystem::create_directory(scratch + "/keep");
    for (int n = 1; n <= 13; ++n)
        edit(t, n);
    EXPECT_EQ(t.canvas.journal().count(), 13u);
    for (int n = 12; n >= 1; --n) {
        ASSERT_TRUE(t.canvas.undo());
        EXPECT_EQ(t.pixel(0, 0), filled(n));
    }
}

} // namespace
