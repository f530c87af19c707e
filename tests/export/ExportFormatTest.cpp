#include "export/ExportFormat.h"
#include "export/ExportOptions.h"
#include "export/SizeBudget.h"
#include "tests/export/ExportFrames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

// The table: every row is complete, reachable by its id and (when it has one) its extension,
// and makes an exporter; the three formats with menu commands keep them.
TEST(ExportFormatTableTest, EveryRowIsCompleteAndFoundByIdExtensionAndCommand) {
    std::set<std::string> ids;
    for (const ExportFormat& format : ExportFormats::all()) {
        SCOPED_TRACE(format.id);
        EXPECT_TRUE(ids.insert(format.id).second) << "ids are unique";
        EXPECT_EQ(ExportFormats::byId(format.id), &format);
        EXPECT_NE(*format.name, '\0');
        ASSERT_NE(format.make, nullptr);
        EXPECT_NE(format.make(ExportChoice{}), nullptr);
        if (*format.extension) {
            EXPECT_NE(std::string(format.filter).find(format.extension), std::string::npos);
            // The first row of an extension is the one a path names.
            EXPECT_EQ(ExportFormats::byPath(std::string("a") + format.extension)->extension,
                      std::string(format.extension));
        }
        if (format.takes(kTakesQuality)) {
            EXPECT_GE(format.defaultQuality, 0);
        }
        if (format.command != 0) {
            EXPECT_EQ(ExportFormats::byCommand(format.command), &format);
            EXPECT_NE(*format.menuText, '\0');
        }
    }
    EXPECT_EQ(ExportFormats::of(ExportKind::Gif).id, std::string("gif"));
    EXPECT_EQ(ExportFormats::byCommand(10239)->kind, ExportKind::Gif);
    EXPECT_EQ(ExportFormats::byCommand(10240)->kind, ExportKind::Avi);
    EXPECT_EQ(ExportFormats::byCommand(10241)->kind, ExportKind::Swf);
    for (const char* id : {"mp4", "webm", "webp", "apng", "png-frames", "gif-best"})
        EXPECT_NE(ExportFormats::byId(id), nullptr) << id;
    EXPECT_EQ(ExportFormats::byId("MP4"), ExportFormats::byId("mp4"));
    EXPECT_EQ(ExportFormats::byId("mov"), nullptr);
    EXPECT_EQ(ExportFormats::byPath("clip.WEBM")->kind, ExportKind::WebM);
    EXPECT_EQ(ExportFormats::byPath("clip.png")->kind, ExportKind::Apng);
    EXPECT_EQ(ExportFormats::byPath("clip"), nullptr);
    EXPECT_EQ(ExportFormats::byPath("mp4"), nullptr);
}

TEST(ExportFormatTableTest, TheOutputPathGainsTheExtensionOnlyWhenItLacksIt) {
    const ExportFormat& mp4 = *ExportFormats::byId("mp4");
    EXPECT_EQ(mp4.outputPath("/tmp/clip"), "/tmp/clip.mp4");
    EXPECT_EQ(mp4.outputPath("/tmp/clip.MP4"), "/tmp/clip.MP4");
    EXPECT_EQ(mp4.outputPath("/tmp/clip.gif"), "/tmp/clip.gif.mp4");
    EXPECT_EQ(ExportFormats::byId("png-frames")->outputPath("/tmp/out/clip"), "/tmp/out/clip");
}

// What the dialog and the command line choose becomes the export: sizes, limits and the
// options a format does not take dropped; impossible choices refused with a reason.
TEST(ExportOptionsTest, ChoicesBecomeTheExportAndImpossibleOnesAreRefused) {
    ProjectHeader header;
    header.width = 640;
    header.height = 480;
    header.frameRate = 12;
    header.backgroundColor = 0x00302010; // 0x00BBGGRR

    ExportOptions options;
    options.format = "webm";
    options.scalePercent = 50;
    options.quality = 140;
    options.loops = 3;
    options.transparent = true;
    options.lossless = true;
    options.budgetKB = 256;
    options.maxSeconds = 2;
    std::string error;
    std::optional<ExportRequest> request = options.request(header, &error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->format->kind, ExportKind::WebM);
    EXPECT_FLOAT_EQ(request->shape.zoom, 0.5f);
    EXPECT_TRUE(request->shape.transparent);
    EXPECT_TRUE(request->choice.settings.transparent);
    EXPECT_EQ(request->shape.maxFrames, 24);
    EXPECT_EQ(request->choice.settings.quality, 100); // clamped
    EXPECT_EQ(request->choice.settings.loops, 0);     // WebM does not loop
    EXPECT_FALSE(request->choice.settings.lossless);  // nor is it lossless
    EXPECT_EQ(request->choice.settings.background, 0xFF102030u);
    ASSERT_TRUE(request->budget);
    EXPECT_EQ(request->budget->bytes, 256 * 1024);

    // MP4 takes neither transparency nor loops; a box fits the stage and never enlarges it.
    options.format = "mp4";
    options.fit = true;
    options.fitWidth = 320;
    options.fitHeight = 320;
    request = options.request(header, &error);
    ASSERT_TRUE(request) << error;
    EXPECT_FALSE(request->shape.transparent);
    EXPECT_FLOAT_EQ(request->shape.zoom, 0.5f);
    options.fitWidth = options.fitHeight = 4000;
    EXPECT_FLOAT_EQ(options.request(header, &error)->shape.zoom, 1.0f);

    // APNG takes no budget; the loop count stays.
    options.format = "apng";
    request = options.request(header, &error);
    ASSERT_TRUE(request);
    EXPECT_FALSE(request->budget);
    EXPECT_EQ(request->choice.settings.loops, 3);

    options.fit = false;
    for (int scale : {24, 201}) {
        options.scalePercent = scale;
        EXPECT_FALSE(options.request(header, &error));
        EXPECT_EQ(error, "The scale must be between 25 % and 200 %.");
    }
    options.scalePercent = 100;
    options.format = "mov";
    EXPECT_FALSE(options.request(header, &error));
    EXPECT_EQ(error, "There is no export format \"mov\".");
}

// The presets are read from the program's data, each naming a format of the table.
TEST(ExportOptionsTest, PresetsComeFromDataAndSetTheirLimits) {
    const std::vector<ExportPreset>& presets = ExportPreset::all();
    ASSERT_FALSE(presets.empty());
    const ExportPreset* sticker = nullptr;
    for (const ExportPreset& preset : presets) {
        EXPECT_NE(ExportFormats::byId(preset.format), nullptr) << preset.name;
        if (preset.format == "webm" && preset.budgetKB == 256)
            sticker = &preset;
    }
    ASSERT_NE(sticker, nullptr);
    ExportOptions options;
    options.apply(*sticker);
    EXPECT_EQ(options.format, "webm");
    EXPECT_TRUE(options.fit);
    EXPECT_EQ(options.fitWidth, 512);
    EXPECT_EQ(options.maxSeconds, 3);
    EXPECT_EQ(options.budgetKB, 256);
}

// An exporter whose file size follows its settings: bytes per frame = quality x 10 + colours
// (quality -1 counts as 50). Counts how many files it made.
class SizedExporter : public FrameExporter {
public:
    explicit SizedExporter(const ExportChoice& choice)
        : m_perFrame((choice.settings.quality < 0 ? 50 : choice.settings.quality) * 10 +
                     choice.colours) {}
    static inline int made = 0;
    bool open(const std::string& path, int, int, int) override {
        ++made;
        m_file.setFileName(QString::fromStdString(path));
        return m_file.open(QIODevice::WriteOnly);
    }
    bool writeFrame(const QImage&, int) override {
        return m_file.write(QByteArray(m_perFrame, 'x')) == m_perFrame;
    }
    bool finish() override {
        m_file.close();
        return true;
    }
    void abort() override { m_file.remove(); }
    std::string error() const override { return {}; }

private:
    int m_perFrame;
    QFile m_file;
};

std::unique_ptr<FrameExporter> makeSized(const ExportChoice& choice) {
    return std::make_unique<SizedExporter>(choice);
}

class SizeBudgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        newStage(editor, 40, 30, 20, 12, 0x604020); // 20 frames at 12 fps
        SizedExporter::made = 0;
    }
    // A format of the given options made of sized files.
    static ExportFormat sized(unsigned options) {
        return {ExportKind::Gif, "sized", "Sized", ".bin", "", options, 80, 0, "", makeSized};
    }
    SizeBudget::Result run(const ExportFormat& format, std::int64_t budget, bool mayDrop,
                           bool keepClosest) {
        ExportChoice choice;
        choice.settings.quality = 80;
        return SizeBudget::run(ExportSource::take(editor.document()), format, choice, path(),
                               {budget, mayDrop, keepClosest}, {});
    }
    std::string path() const { return folder.filePath("out.bin").toStdString(); }
    std::int64_t written() const { return QFileInfo(QString::fromStdString(path())).size(); }
    // Only the output is left: no file of a try.
    QStringList leftOver() const {
        QStringList files = QDir(folder.path()).entryList(QDir::Files);
        files.removeAll("out.bin");
        return files;
    }

    QTemporaryDir folder;
    TestEditor editor;
};

TEST_F(SizeBudgetTest, AFileWithinTheBudgetIsMadeOnceAndGivesNothingUp) {
    const SizeBudget::Result result = run(sized(kTakesQuality), 1 << 20, false, true);
    EXPECT_TRUE(result.job.completed);
    EXPECT_TRUE(result.fits);
    EXPECT_EQ(result.encodes, 1);
    EXPECT_EQ(result.summary, "");
    EXPECT_EQ(written(), 20 * (800 + 256));
}

TEST_F(SizeBudgetTest, QualityIsGivenUpUntilTheFileFitsInAtMostSixEncodes) {
    // Quality q gives 20 x (10 q + 256) bytes: 12,000 bytes fit for q <= 34.
    const SizeBudget::Result result = run(sized(kTakesQuality), 12000, false, true);
    EXPECT_TRUE(result.job.completed);
    EXPECT_TRUE(result.fits);
    EXPECT_LE(result.encodes, SizeBudget::kMaxEncodes);
    EXPECT_EQ(SizedExporter::made, result.encodes);
    EXPECT_LE(written(), 12000);
    EXPECT_EQ(written(), result.bytes);
    EXPECT_LE(result.kept.quality, 34);
    EXPECT_GE(result.kept.quality, 20); // the search gets near the best that fits
    EXPECT_EQ(result.summary, "quality " + std::to_string(result.kept.quality));
    EXPECT_TRUE(leftOver().isEmpty()) << leftOver().join(' ').toStdString();
}

TEST_F(SizeBudgetTest, ColoursAndThenTheFrameRateGoOnlyWhenAllowed) {
    // At quality 0: 20 x 256 = 5120 bytes; with 64 colours 1280.
    const ExportFormat gifLike = sized(kTakesQuality | kTakesColours);
    SizeBudget::Result result = run(gifLike, 2000, false, true);
    EXPECT_TRUE(result.fits);
    EXPECT_EQ(result.kept.quality, 0);
    EXPECT_LT(result.kept.colours, 256);
    EXPECT_EQ(result.kept.frameStep, 1);
    EXPECT_LE(written(), 2000);
    EXPECT_NE(result.summary.find(" colours"), std::string::npos) << result.summary;
    EXPECT_LE(result.encodes, SizeBudget::kMaxEncodes);

    // Without colours to give up, 20 frames at quality 0 (5120 bytes) are too large for 3000
    // bytes; 10 of them (2560) fit.
    SizedExporter::made = 0;
    result = run(sized(kTakesQuality), 3000, true, true);
    EXPECT_TRUE(result.fits) << result.summary;
    EXPECT_EQ(result.kept.frameStep, 2);
    EXPECT_NE(result.summary.find("6 fps"), std::string::npos) << result.summary;
    EXPECT_LE(result.encodes, SizeBudget::kMaxEncodes);
    EXPECT_LE(written(), 3000);
}

TEST_F(SizeBudgetTest, ABudgetThatCannotBeMetSaysHowCloseItCameAndKeepsTheFileOnlyIfAsked) {
    SizeBudget::Result result = run(sized(kTakesQuality), 1000, false, true);
    EXPECT_FALSE(result.fits);
    EXPECT_TRUE(result.job.completed);
    EXPECT_EQ(written(), 20 * 256); // the smallest: quality 0
    EXPECT_EQ(result.summary,
              "The file cannot be made within 1 KB: the smallest was 5 KB (quality 0).");
    EXPECT_LE(result.encodes, SizeBudget::kMaxEncodes);
    EXPECT_TRUE(leftOver().isEmpty());

    QFile::remove(QString::fromStdString(path()));
    result = run(sized(kTakesQuality), 1000, false, false);
    EXPECT_FALSE(result.fits);
    EXPECT_FALSE(result.job.completed);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path())));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST(SizeBudgetPhasesTest, TriesGoFromTheChosenSettingsDownInTheOrderThingsAreGivenUp) {
    const ExportFormat& gif = *ExportFormats::byId("gif-best");
    const SizeBudget::Try chosen{60, 256, 1};
    const auto phases = SizeBudget::phases(gif, chosen, {1000, true, true}, 24);
    ASSERT_EQ(phases.size(), 4u); // qualities, colours, half rate and its qualities, colours
    EXPECT_EQ(phases[0].front(), (SizeBudget::Try{59, 256, 1}));
    EXPECT_EQ(phases[0].back(), (SizeBudget::Try{0, 256, 1}));
    EXPECT_EQ(phases[1].front(), (SizeBudget::Try{0, 128, 1}));
    EXPECT_EQ(phases[1].back(), (SizeBudget::Try{0, 16, 1}));
    EXPECT_EQ(phases[2].front(), (SizeBudget::Try{60, 256, 2}));
    EXPECT_EQ(phases[3].back(), (SizeBudget::Try{0, 16, 2}));
    // An odd frame rate cannot be halved; without leave it is never tried.
    EXPECT_EQ(SizeBudget::phases(gif, chosen, {1000, true, true}, 25).size(), 2u);
    EXPECT_EQ(SizeBudget::phases(gif, chosen, {1000, false, true}, 24).size(), 2u);
    EXPECT_EQ(SizeBudget::describe(chosen, {62, 64, 2}, 24), "quality 62, 64 colours, 12 fps");
}

// A transparent export leaves the stage's colour out; objects keep their pixels. Every other
// frame halves the rate; a frame limit cuts the animation.
TEST(ExportShapeTest, TransparentFramesLeaveTheStageOutAndStepsKeepEveryOtherFrame) {
    TestEditor editor;
    newStage(editor, 60, 40, 10, 10, 0x604020);
    QImage red(10, 10, QImage::Format_ARGB32);
    red.fill(Qt::red);
    addMover(editor, red, {5, 5}, {45, 25}, 9);
    const ExportSource opaque = ExportSource::take(editor.document());
    ExportShape shape;
    shape.transparent = true;
    const ExportSource clear = opaque.reshaped(shape);
    const QImage frame = clear.drawFrame(0);
    EXPECT_TRUE(frame.hasAlphaChannel());
    EXPECT_EQ(qAlpha(frame.pixel(55, 35)), 0);
    EXPECT_EQ(frame.pixel(8, 8), qRgb(255, 0, 0));
    EXPECT_EQ(opaque.drawFrame(0).pixel(55, 35), qRgb(0x20, 0x40, 0x60));
    EXPECT_EQ(opaque.drawFrame(0).pixel(8, 8), qRgb(255, 0, 0));

    shape = {};
    shape.frameStep = 2;
    const ExportSource half = opaque.reshaped(shape);
    EXPECT_EQ(half.duration(), 5);
    EXPECT_EQ(half.frameRate(), 5);
    EXPECT_EQ(half.drawFrame(2), opaque.drawFrame(4));
    shape.frameStep = 1;
    shape.maxFrames = 4;
    EXPECT_EQ(opaque.reshaped(shape).duration(), 4);
}

} // namespace
