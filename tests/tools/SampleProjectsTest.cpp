// The bundled sample projects, as the build wrote them into the template folder: each loads,
// and together they show every kind of thing the program can do.
#include "document/LoadedProject.h"
#include "document/ProjectReader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QImageReader>

#include "tests/ProgramRun.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>

namespace {

const QString kTemplates = QStringLiteral(ZENTRAVO_BINARY_DIR "/bin/template/");

std::optional<LoadedProject> loadSample(int number) {
    return ProjectReader::readFile(
        (kTemplates + QString("template_%1.vrn").arg(number)).toLocal8Bit().toStdString());
}

TEST(SampleProjectsTest, TogetherTheyShowEveryFeature) {
    std::set<int> styles, placements;
    bool liner = false, guideWithHeading = false, trail = false, hiddenLayer = false;
    bool overlap = false, opacityChange = false, scaleChange = false, pictures = true;
    int largestArea = 0, longest = 0;
    for (int number = 1; number <= 4; ++number) {
        SCOPED_TRACE(number);
        std::optional<LoadedProject> sample = loadSample(number);
        ASSERT_TRUE(sample.has_value());
        const Project& p = sample->project;
        EXPECT_TRUE(p.isConsistent());
        EXPECT_GE(p.layerCount(), 3);
        overlap = overlap || p.layerCount() >= 3;
        placements.insert(p.header.placement);
        pictures = pictures && QFile::exists(QString::fromLocal8Bit(p.header.backgroundPicture));
        largestArea = std::max(largestArea, p.header.width * p.header.height);
        longest = std::max(longest, p.header.duration);
        for (int k = 0; k < p.layerCount(); ++k)
            hiddenLayer = hiddenLayer || p.layerVisible[std::uint32_t(k)] == 0;
        for (const AnimationObject& o : p.objects) {
            const ObjectRecord& r = o.record;
            if (r.kind == kTextObject)
                styles.insert(r.textStyle);
            liner = liner || r.motionKind == kLinerMotion;
            guideWithHeading =
                guideWithHeading || (r.motionKind == kGuideLineMotion &&
                                     o.guidePoints.count() >= 4 && r.headingOffset != 0);
            trail = trail || r.trailFlag != 0;
            opacityChange = opacityChange || r.startOpacity != r.endOpacity;
            scaleChange = scaleChange || r.startScale != r.endScale;
        }
        // The preview picture fits the chooser's 300 x 150 cell and moves.
        QImageReader preview(kTemplates + QString("template_%1.gif").arg(number));
        EXPECT_TRUE(preview.canRead());
        EXPECT_LE(preview.size().width(), 300);
        EXPECT_LE(preview.size().height(), 150);
        EXPECT_EQ(preview.imageCount(), p.header.duration);
    }
    EXPECT_EQ(styles, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(placements, (std::set<int>{0, 1, 2}));
    EXPECT_TRUE(liner);
    EXPECT_TRUE(guideWithHeading);
    EXPECT_TRUE(trail);
    EXPECT_TRUE(hiddenLayer);
    EXPECT_TRUE(overlap);
    EXPECT_TRUE(opacityChange);
    EXPECT_TRUE(scaleChange);
    EXPECT_TRUE(pictures);
    EXPECT_GE(largestArea, 640 * 480); // the export benchmark's sample
    EXPECT_GE(longest, 60);
}

TEST(SampleProjectsTest, BackgroundPicturesTravelWithACopiedTemplateFolder) {
    // Each sample stores only its picture's name; the loader finds it beside the file.
    for (int number = 1; number <= 4; ++number) {
        QFile file(kTemplates + QString("template_%1.vrn").arg(number));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::optional<LoadedProject> raw = ProjectReader::read(file);
        ASSERT_TRUE(raw.has_value());
        const QString stored = QString::fromLocal8Bit(raw->project.header.backgroundPicture);
        EXPECT_FALSE(stored.isEmpty()) << number;
        EXPECT_FALSE(stored.contains('/')) << stored.toStdString();
    }

    // A copy of the folder (an installed or moved program) draws the same first frame.
    QTemporaryDir copy;
    for (const QFileInfo& entry : QDir(kTemplates).entryInfoList(QDir::Files))
        ASSERT_TRUE(QFile::copy(entry.filePath(), copy.filePath(entry.fileName())));
    auto render = [&](const QString& project, const QString& out) {
        const ProgramRun run = ProgramRun::of(ZENTRAVO_CLI, {"render", project, "0", out}, 60000);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QImage(out);
    };
    const QImage original = render(kTemplates + "template_1.vrn", copy.filePath("original.png"));
    const QImage copied = render(copy.filePath("template_1.vrn"), copy.filePath("copied.png"));
    ASSERT_FALSE(original.isNull());
    EXPECT_EQ(copied, original);
    std::optional<LoadedProject> sample = loadSample(1);
    ASSERT_TRUE(sample.has_value());
    const QString picture =
        QFileInfo(QString::fromLocal8Bit(sample->project.header.backgroundPicture)).fileName();
    ASSERT_TRUE(QFile::remove(copy.filePath(picture)));
    EXPECT_NE(render(copy.filePath("template_1.vrn"), copy.filePath("bare.png")), original)
        << "the background came from the copy";
}

// A project file with its random ids (the project's GUID, each object's and each symbol's
// SymbolId) set to zero bytes: what stays the same from one build of the samples to the next.
QByteArray withoutIds(QByteArray file) {
    qsizetype at = 0;
    const auto i32 = [&file](qsizetype offset) {
        std::int32_t value = 0;
        if (offset >= 0 && offset + 4 <= file.size())
            std::memcpy(&value, file.constData() + offset, 4);
        return value;
    };
    const auto clearId = [&file](qsizetype offset) {
        if (offset >= 0 && offset + 16 <= file.size())
            std::memset(file.data() + offset, 0, 16);
    };
    const std::int32_t objects = i32(0);
    clearId(24);
    at = 844;
    for (std::int32_t i = 0; i < objects; ++i) {
        clearId(at);
        at += 16 + 524 + 8 * qsizetype(i32(at + 16 + 476));
    }
    at += 4 + 268 * qsizetype(i32(at));
    const std::int32_t symbols = i32(at);
    at += 4;
    for (std::int32_t s = 0; s < symbols; ++s) {
        clearId(at);
        const std::int32_t frames = i32(at + 16);
        at += 24;
        for (std::int32_t f = 0; f < frames; ++f)
            at += 8 + 4 * qsizetype(i32(at)) * i32(at + 4);
    }
    EXPECT_EQ(at, file.size());
    return file;
}

// The samples are byte for byte the files the program wrote before motions had easing curves
// (ids aside): their objects keep Linear, the zero every older file holds at offset 76.
TEST(SampleProjectsTest, TheSamplesAreTheFilesOfTheProgramBeforeCurves) {
    const char* const before[] = {
        "cb0d56798d763b827aa46d16a608924f535c008eb92b0957ac233e99b2dbab4f",
        "799cbeda8ff6d14a10c06686234b56483e7d10a5d0a15ee0a9976d6b30f3981c",
        "8ef7627d96dd0e2cbf0074a5fc93484c791dfb1e908fa8cf247b1c1fd43bdf29",
        "d875e00ab754f622413844922dbc59dd94f8299a071307bbfd27253ebc71e94b",
    };
    for (int number = 1; number <= 4; ++number) {
        QFile file(kTemplates + QString("template_%1.vrn").arg(number));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray hash =
            QCryptographicHash::hash(withoutIds(file.readAll()), QCryptographicHash::Sha256);
        EXPECT_EQ(hash.toHex().toStdString(), before[number - 1]) << "template_" << number;
        std::optional<LoadedProject> sample = loadSample(number);
        ASSERT_TRUE(sample.has_value());
        for (const AnimationObject& object : sample->project.objects)
            EXPECT_EQ(object.record.easing, kEaseLinear);
    }
}

} // namespace
