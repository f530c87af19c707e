#include "document/ProjectStore.h"

#include "document/ProjectReader.h"
#include "tests/document/ProjectFileSupport.h"

#include <QBuffer>
#include <QDir>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

// A 10 x 10 picture whose every byte tells where it came from (not premultiplied).
QImage patternFrame(int seed, int width = 10, int height = 10) {
    QImage frame(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.setPixel(x, y, qRgba(x * 20 + seed, y * 20, (x + y + seed) & 0xFF, 100 + x));
    return frame;
}

class ProjectStoreTest : public ProjectFilesTest {
protected:
    // One layer holding one symbol object of two 10 x 10 pictures: the 2500-byte project.
    SymbolId buildOneSymbolProject(const std::string& name) {
        newProject(name);
        const SymbolId id = SymbolId::create();
        EXPECT_TRUE(editor.insertLibrarySymbol(id, {patternFrame(1), patternFrame(2)}));
        return id;
    }

    // A symbol layer with a guide line and pictures of two sizes, a text layer, and a second
    // symbol layer; every header field set.
    void buildRichProject(const std::string& name) {
        ProjectProperties properties;
        properties.name = name;
        properties.width = 400;
        properties.height = 300;
        properties.duration = 30;
        properties.frameRate = 15;
        properties.backgroundColor = 0x123456;
        properties.backgroundPicture = "/pictures/sky.png";
        properties.placement = kPlacementStretched;
        editor.newProject(properties);
        editor.insertLibrarySymbol(SymbolId::create(), {patternFrame(3), patternFrame(4, 7, 5)});
        AnimationObject& first = editor.project().objects[0];
        first.record.motionKind = kGuideLineMotion;
        first.guidePoints.append({10, 20});
        first.guidePoints.append({-30, 40});
        first.guidePoints.append({50, 60});
        AnimationObject text;
        text.setText("Hello, stage");
        editor.addTextObject(text, FakeMeasurer());
        editor.insertLibrarySymbol(SymbolId::create(), {patternFrame(6, 1, 1)});
    }

    std::optional<LoadedProject> readBuffer(const Bytes& bytes) {
        QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        return ProjectReader::read(buffer);
    }
};

} // namespace

TEST_F(ProjectStoreTest, NewDefaultProjectSavesTo852Bytes) {
    newProject("Empty");
    editor.setModified(true);
    ASSERT_TRUE(store.save(editor));
    const Bytes bytes = readBytes(fileOf("Empty"));
    ASSERT_EQ(bytes.size(), 852u); // N, header, L = 0, S = 0
    EXPECT_EQ(i32At(bytes, 0), 0);
    EXPECT_EQ(i32At(bytes, 844), 0);
    EXPECT_EQ(i32At(bytes, 848), 0);
    EXPECT_FALSE(editor.isModified());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(fileOf("Empty") + ".saving"));
}

TEST_F(ProjectStoreTest, OneSymbolObjectWithTwoFramesSavesTo2500Bytes) {
    const SymbolId id = buildOneSymbolProject("One");
    ASSERT_TRUE(store.save(editor));
    const Bytes bytes = readBytes(fileOf("One"));
    ASSERT_EQ(bytes.size(), 2500u);
    EXPECT_EQ(i32At(bytes, 0), 1);
    EXPECT_EQ(std::memcmp(bytes.data() + 844, id.bytes.data(), 16), 0);
    EXPECT_EQ(i32At(bytes, 1384), 1);           // L
    EXPECT_EQ(i32At(bytes, 1388), 1);           // layer 0: one object
    EXPECT_EQ(textAt(bytes, 1392), "Symbol 1"); // its 256-byte name
    EXPECT_EQ(i32At(bytes, 1648), 1);           // visible
    EXPECT_EQ(i32At(bytes, 1652), 1);           // selected
    EXPECT_EQ(i32At(bytes, 1656), 1);           // S
    EXPECT_EQ(std::memcmp(bytes.data() + 1660, id.bytes.data(), 16), 0);
    EXPECT_EQ(i32At(bytes, 1676), 2);  // F
    EXPECT_EQ(i32At(bytes, 1680), 0);  // current frame
    EXPECT_EQ(i32At(bytes, 1684), 10); // W
    EXPECT_EQ(i32At(bytes, 1688), 10); // H
    // Pixel (x = 1, y = 2) of frame 0 as B, G, R, A, rows top to bottom without padding.
    const std::size_t pixel = 1692 + (2 * 10 + 1) * 4;
    EXPECT_EQ(bytes[pixel + 0], (1 + 2 + 1) & 0xFF); // blue
    EXPECT_EQ(bytes[pixel + 1], 2 * 20);             // green
    EXPECT_EQ(bytes[pixel + 2], 1 * 20 + 1);         // red
    EXPECT_EQ(bytes[pixel + 3], 101);                // alpha
    EXPECT_EQ(i32At(bytes, 2092), 10);               // frame 1: W after 400 pixel bytes
}

TEST_F(ProjectStoreTest, HeaderAndObjectRecordFieldsSitAtTheirFileOffsets) {
    buildRichProject("Offsets");
    ASSERT_TRUE(store.save(editor));
    const Bytes bytes = readBytes(fileOf("Offsets"));
    const ProjectHeader& h = editor.project().header;
    EXPECT_EQ(textAt(bytes, 4), "QVXT_2001");
    for (std::size_t k = 4 + 9; k < 24; ++k)
        EXPECT_EQ(bytes[k], 0) << k;
    EXPECT_EQ(std::memcmp(bytes.data() + 24, h.guid, 16), 0);
    EXPECT_EQ(textAt(bytes, 40), "Offsets");
    EXPECT_EQ(textAt(bytes, 580), "/pictures/sky.png");
    const AnimationObject& guided = editor.project().objects[0];
    struct Row {
        std::size_t offset;
        std::int32_t value;
    };
    const std::size_t object = 844 + 16; // first record, after its SymbolId
    const Row rows[] = {
        {0, 3},
        {560, 400},
        {564, 300},
        {568, 30},
        {572, 15},
        {576, 0x123456},
        {840, 2},
        {object + 0, kSymbolObject},
        {object + 4, 255},
        {object + 20, 10},
        {object + 24, 10},
        {object + 84, kGuideLineMotion},
        {object + 92, 0},
        {object + 96, 30},
        {object + 108, 15},
        {object + 472, 12},
        {object + 476, 3}, // point count from the point list
        {object + 524, 10},
        {object + 528, 20},
        {object + 532, -30},
        {object + 536, 40},
    };
    for (const Row& row : rows)
        EXPECT_EQ(i32At(bytes, row.offset), row.value) << "offset " << row.offset;
    EXPECT_EQ(f32At(bytes, object + 28), 0.5f);
    EXPECT_EQ(f32At(bytes, object + 36), guided.record.startX);
    EXPECT_EQ(f32At(bytes, object + 68), 1.0f);
    // The text object follows the three points: its text field at record offset 112.
    const std::size_t text = object + 524 + 3 * 8 + 16;
    EXPECT_EQ(i32At(bytes, text), kTextObject);
    EXPECT_EQ(textAt(bytes, text + 112), "Hello, stage");
    EXPECT_EQ(i32At(bytes, text + 484), 270);
}

TEST_F(ProjectStoreTest, SaveLoadSaveIsByteIdentical) {
    buildRichProject("Round");
    ASSERT_TRUE(store.save(editor));
    const Bytes first = readBytes(fileOf("Round"));

    TestEditor other;
    ASSERT_TRUE(store.openByName(other, "Round"));
    const Project& loaded = other.project();
    EXPECT_EQ(loaded.layerCount(), 3);
    EXPECT_EQ(layerNames(loaded), layerNames(editor.project()));
    EXPECT_EQ(loaded.objects[0].guidePoints.count(), 3u);
    EXPECT_EQ(loaded.objects[0].guidePoints[1], (GuidePoint{-30, 40}));
    const EmbeddedSymbol* symbol = other.symbols().find(loaded.symbolIds[0]);
    ASSERT_NE(symbol, nullptr);
    ASSERT_EQ(symbol->frameCount(), 2);
    EXPECT_EQ(symbol->frames[1].size(), QSize(7, 5));
    EXPECT_EQ(symbol->frames[1], patternFrame(4, 7, 5));

    other.setModified(true);
    ASSERT_TRUE(store.save(other));
    EXPECT_EQ(readBytes(fileOf("Round")), first);
    EXPECT_FALSE(other.isModified());
}

TEST_F(ProjectStoreTest, OnlySymbolsThatObjectsUseAreWritten) {
    newProject("Used");
    editor.insertLibrarySymbol(SymbolId::create(), solidFrames(1, 4, 4));
    const SymbolId kept = SymbolId::create();
    editor.insertLibrarySymbol(kept, solidFrames(3, 2, 2));
    editor.project().clearObjectSelection();
    editor.project().objects[0].record.selected = 1;
    ASSERT_TRUE(editor.deleteSelectedObject()); // the history still refers to its symbol
    ASSERT_EQ(editor.symbols().count(), 2u);
    ASSERT_TRUE(store.save(editor));
    const Bytes bytes = readBytes(fileOf("Used"));
    const std::size_t symbols = 844 + 540 + 4 + 268;
    EXPECT_EQ(i32At(bytes, symbols), 1);
    EXPECT_EQ(std::memcmp(bytes.data() + symbols + 4, kept.bytes.data(), 16), 0);
    EXPECT_EQ(bytes.size(), symbols + 4 + 24 + 3 * (8 + 16));
}

TEST_F(ProjectStoreTest, LoadGivesFreshRegionsAndAnnouncesTheNewProject) {
    buildRichProject("Regions");
    ASSERT_TRUE(store.save(editor));
    Bytes bytes = readBytes(fileOf("Regions"));
    putI32(bytes, 860 + 488, 77); // run-time values of the saving program
    putI32(bytes, 860 + 492, 99);
    ASSERT_TRUE(writeBytes(fileOf("Regions"), bytes));

    const std::optional<LoadedProject> loaded = store.loadByName("Regions");
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->hitRegions.count(), 3);
    for (int i = 0; i < 3; ++i) {
        const ObjectRecord& r = loaded->project.objects[std::uint32_t(i)].record;
        EXPECT_EQ(r.hitRegionIndex, i);
        EXPECT_EQ(r.regionHandle, 0u);
        EXPECT_EQ(loaded->hitRegions.at(i), QRect(0, 0, r.width, r.height));
    }

    RecordingListener opened;
    TestEditor other(&opened);
    ASSERT_TRUE(store.openByName(other, "Regions"));
    EXPECT_TRUE(opened.saw(DocumentChange::Replaced));
    EXPECT_EQ(other.hitRegions().count(), 3);
    EXPECT_EQ(other.history().position(), 0);
    EXPECT_FALSE(other.isModified());

    newProject("NoLayers");
    ASSERT_TRUE(store.save(editor));
    RecordingListener empty;
    TestEditor third(&empty);
    ASSERT_TRUE(store.openByName(third, "NoLayers"));
    EXPECT_TRUE(empty.saw(DocumentChange::Replaced));
    EXPECT_EQ(third.project().layerCount(), 0);
}

TEST_F(ProjectStoreTest, MissingProjectsFailWithoutAMessage) {
    EXPECT_FALSE(store.loadByName("Nowhere"));
    QDir(QString::fromStdString(folders.dataFolder())).mkdir("Folder");
    EXPECT_FALSE(store.loadByName("Folder")); // folder without its file
    EXPECT_FALSE(store.loadByName("../Data"));
    EXPECT_FALSE(store.loadFromFile(folders.dataFolder() + "missing.vrn"));
    EXPECT_TRUE(sink.messages.empty());
}

// Every way a file can be cut short or lie about its contents; each must be refused with the
// message, leaving the open project as it was.
TEST_F(ProjectStoreTest, DamagedFilesAreRefusedAndTheOpenProjectStays) {
    buildOneSymbolProject("Good");
    ASSERT_TRUE(store.save(editor));
    const Bytes good = readBytes(fileOf("Good"));
    ASSERT_EQ(good.size(), 2500u);
    ASSERT_TRUE(readBuffer(good));

    // Any prefix is missing something: the reader must refuse all of them.
    for (std::size_t length = 0; length < good.size(); ++length)
        ASSERT_FALSE(readBuffer(Bytes(good.begin(), good.begin() + long(length)))) << length;

    struct Damage {
        const char* what;
        bool cut; // cut the file at `at`, else write `value` at `at`
        std::size_t at;
        std::int32_t value;
    };
    const std::size_t record = 860, layers = 1384, symbols = 1656, frame = 1684;
    const Damage damages[] = {
        {"empty file", true, 0, 0},
        {"cut after N", true, 4, 0},
        {"cut after the header", true, 844, 0},
        {"cut after the SymbolId", true, 860, 0},
        {"cut inside the record", true, 1000, 0},
        {"cut before L", true, layers, 0},
        {"cut after L", true, layers + 4, 0},
        {"cut before S", true, symbols, 0},
        {"cut after S", true, symbols + 4, 0},
        {"cut after the symbol head", true, frame, 0},
        {"cut after W and H", true, frame + 8, 0},
        {"cut inside the pixels", true, frame + 200, 0},
        {"cut before the last byte", true, 2499, 0},
        {"N huge", false, 0, 0x7FFFFFFF},
        {"N negative", false, 0, -1},
        {"N one too many", false, 0, 2},
        {"P huge", false, record + 476, 0x10000000},
        {"P negative", false, record + 476, -5},
        {"L huge", false, layers, 0x7FFFFFFF},
        {"L negative", false, layers, -1},
        {"layer count negative", false, layers + 4, -1},
        {"layer counts miss objects", false, layers + 4, 2},
        {"S huge", false, symbols, 0x7FFFFFFF},
        {"S negative", false, symbols, -3},
        {"F huge", false, symbols + 20, 0x7FFFFFFF},
        {"F negative", false, symbols + 20, -1},
        {"W zero", false, frame, 0},
        {"H negative", false, frame + 4, -10},
        {"W oversized", false, frame, ProjectReader::kMaxPictureSide + 1},
        {"W at the side limit", false, frame, ProjectReader::kMaxPictureSide},
        {"picture larger than the file", false, frame + 4, 11},
    };
    const Project before = editor.project();
    const int historyPosition = editor.history().position();
    for (const Damage& damage : damages) {
        Bytes bytes = good;
        if (damage.cut)
            bytes.resize(damage.at);
        else
            putI32(bytes, damage.at, damage.value);
        ASSERT_TRUE(writeBytes(fileOf("Good"), bytes));
        sink.clear();
        EXPECT_FALSE(store.openByName(editor, "Good")) << damage.what;
        EXPECT_EQ(sink.only().text, "Failed to load project") << damage.what;
        EXPECT_EQ(sink.only().caption, "Error") << damage.what;
        EXPECT_EQ(sink.only().icon, MessageIcon::Exclamation);
        EXPECT_EQ(editor.project().name(), "Good") << damage.what;
        EXPECT_EQ(editor.project().objectCount(), before.objectCount());
        EXPECT_EQ(editor.history().position(), historyPosition);
        EXPECT_EQ(editor.hitRegions().count(), 1);
    }
}

TEST_F(ProjectStoreTest, AFailedSaveKeepsThePreviousFileAndTheModifiedFlag) {
    buildOneSymbolProject("Keep");
    ASSERT_TRUE(store.save(editor));
    const Bytes saved = readBytes(fileOf("Keep"));
    editor.insertLibrarySymbol(SymbolId::create(), solidFrames(2, 64, 64));
    ASSERT_TRUE(editor.isModified());

    // The temporary file cannot be created: a folder stands in its place.
    ASSERT_TRUE(std::filesystem::create_directory(fileOf("Keep") + ".saving"));
    EXPECT_FALSE(store.save(editor));
    EXPECT_EQ(sink.only().text, "Failed to create file with the name");
    EXPECT_EQ(sink.only().caption, "Error");
    EXPECT_EQ(readBytes(fileOf("Keep")), saved);
    EXPECT_TRUE(editor.isModified());
    std::filesystem::remove(fileOf("Keep") + ".saving");

    // The disk fills up in the middle of the pictures (a file size limit works for root too).
    sink.clear();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = saved.size() + 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool savedAgain = store.save(editor);
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_FALSE(savedAgain);
    EXPECT_EQ(sink.only().text, "Failed to save project");
    EXPECT_EQ(sink.only().caption, "Error");
    EXPECT_EQ(readBytes(fileOf("Keep")), saved);
    EXPECT_FALSE(std::filesystem::exists(fileOf("Keep") + ".saving"));
    EXPECT_TRUE(editor.isModified());

    // The project folder cannot be made: a file stands in its place.
    sink.clear();
    editor.project().setName("Blocked");
    ASSERT_TRUE(writeBytes(folders.dataFolder() + "Blocked", {1, 2, 3}));
    EXPECT_FALSE(store.save(editor));
    EXPECT_EQ(sink.only().text, "Failed to create directory with the name");
    EXPECT_EQ(sink.only().caption, "Error");
    EXPECT_EQ(readBytes(folders.dataFolder() + "Blocked"), (Bytes{1, 2, 3}));

    // Names that would leave the data folder are refused before anything is written.
    for (const char* name : {"..", "a/b", "a\\b", ""}) {
        sink.clear();
        editor.project().setName(name);
        EXPECT_FALSE(store.save(editor)) << name;
        EXPECT_EQ(sink.only().text, "Failed to create directory with the name") << name;
    }
    EXPECT_FALSE(std::filesystem::exists(root.path().toStdString() + "/...vrn"));
}

TEST_F(ProjectStoreTest, OpeningASampleNamesItAndStartsItsHistory) {
    buildOneSymbolProject("Sample");
    editor.editProperties({"", 320, 120, 400, 12, 0xFFFFFF, "", 0});
    ASSERT_TRUE(store.save(editor));
    std::filesystem::copy_file(fileOf("Sample"), folders.sampleFile(3));
    EXPECT_EQ(folders.sampleFile(3), folders.templateFolder() + "template_3.vrn");

    TestEditor sample(&listener);
    sample.startUnnamed("Untitled");
    EXPECT_FALSE(store.openSample(sample, 2)); // missing: nothing changes
    EXPECT_EQ(sample.project().name(), "Untitled");
    EXPECT_TRUE(sink.messages.empty());

    ASSERT_TRUE(store.openSample(sample, 3));
    EXPECT_EQ(sample.project().name(), "Sample Project 3");
    EXPECT_FALSE(sample.isModified());
    EXPECT_EQ(sample.history().count(), 1);
    EXPECT_EQ(sample.history().snapshot(0).state.name(), "Sample Project 3");
    EXPECT_EQ(sample.largestDuration(), 400);
}
