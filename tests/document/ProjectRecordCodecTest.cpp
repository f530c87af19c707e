// The object record as a project file stores it: every start value and its end value in their
// own places, in the file and after loading it again.
#include "document/ProjectReader.h"
#include "tests/document/ProjectFileSupport.h"

namespace {

// Start and end values that all differ from each other, from zero and from the defaults of
// a new object, so that any two fields that trade places, or a field read twice, show.
AnimationObject movingText() {
    AnimationObject object;
    object.setText("Moving");
    ObjectRecord& r = object.record;
    r.motionKind = kLinerMotion;
    r.startOpacity = 40;
    r.endOpacity = 230;
    r.startX = 12.5f;
    r.startY = -7.25f;
    r.endX = 310.75f;
    r.endY = 96.5f;
    r.startAngle = -30.5f;
    r.endAngle = 405.25f;
    r.startScale = 0.375f;
    r.endScale = 2.75f;
    r.startFrame = 3;
    r.endFrame = 41;
    r.motionStartFrame = 5;
    r.motionEndFrame = 37;
    return object;
}

TEST(ProjectRecordCodecTest, StartAndEndValuesKeepTheirPlacesInTheFileAndAfterLoading) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("moving.vrn").toStdString();
    Project project = Project::create();
    project.setName("Moving");
    const AnimationObject saved = movingText();
    project.appendLayer(saved, SymbolId{}, "Text");
    ASSERT_TRUE(ProjectStore::writeFile(path, project, EmbeddedSymbolList{}));

    // Offsets inside the 524-byte record, which follows N, the header and the SymbolId.
    const Bytes bytes = readBytes(path);
    constexpr std::size_t kRecord = 4 + 840 + 16;
    const ObjectRecord& r = saved.record;
    struct Whole {
        std::size_t offset;
        std::int32_t value;
    };
    for (const Whole& row :
         {Whole{4, r.startOpacity}, Whole{8, r.endOpacity}, Whole{92, r.startFrame},
          Whole{96, r.endFrame}, Whole{100, r.motionStartFrame}, Whole{104, r.motionEndFrame}})
        EXPECT_EQ(i32At(bytes, kRecord + row.offset), row.value) << "offset " << row.offset;
    struct Real {
        std::size_t offset;
        float value;
    };
    for (const Real& row : {Real{36, r.startX}, Real{40, r.startY}, Real{52, r.endX},
                            Real{56, r.endY}, Real{60, r.startAngle}, Real{64, r.endAngle},
                            Real{68, r.startScale}, Real{72, r.endScale}})
        EXPECT_EQ(f32At(bytes, kRecord + row.offset), row.value) << "offset " << row.offset;

    const std::optional<LoadedProject> loaded = ProjectReader::readFile(path);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->project.objectCount(), 1);
    const ObjectRecord& back = loaded->project.objects[0].record;
    EXPECT_EQ(back.startOpacity, r.startOpacity);
    EXPECT_EQ(back.endOpacity, r.endOpacity);
    EXPECT_EQ(back.startX, r.startX);
    EXPECT_EQ(back.startY, r.startY);
    EXPECT_EQ(back.endX, r.endX);
    EXPECT_EQ(back.endY, r.endY);
    EXPECT_EQ(back.startAngle, r.startAngle);
    EXPECT_EQ(back.endAngle, r.endAngle);
    EXPECT_EQ(back.startScale, r.startScale);
    EXPECT_EQ(back.endScale, r.endScale);
    EXPECT_EQ(back.startFrame, r.startFrame);
    EXPECT_EQ(back.endFrame, r.endFrame);
    EXPECT_EQ(back.motionStartFrame, r.motionStartFrame);
    EXPECT_EQ(back.motionEndFrame, r.motionEndFrame);

    // Written again, the file is the same to the byte.
    const std::string again = folder.filePath("again.vrn").toStdString();
    ASSERT_TRUE(ProjectStore::writeFile(again, loaded->project, loaded->symbols));
    EXPECT_EQ(readBytes(again), bytes);
}

// The easing curve lives at offset 76 of the object record, where every file made before
// curves holds 0: such a file reads as Linear, an all-Linear project writes 0 there as before,
// and each curve (and a value no curve has) comes back as it was written.
TEST(ProjectRecordCodecTest, CurvesTravelAtOffset76AndZeroThereIsLinear) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("curves.vrn").toStdString();
    const std::vector<std::int32_t> stored{kEaseLinear,
                                           kEaseInQuad,
                                           kEaseOutQuad,
                                           kEaseInOutQuad,
                                           kEaseInCubic,
                                           kEaseOutCubic,
                                           kEaseInOutCubic,
                                           kEaseBack,
                                           kEaseBounce,
                                           kEaseElastic,
                                           42};
    Project project = Project::create();
    project.setName("Curves");
    for (std::size_t i = 0; i < stored.size(); ++i) {
        AnimationObject object = movingText();
        object.record.easing = stored[i];
        object.record.hitRegionIndex = std::int32_t(i); // the slot a load gives it again
        project.appendLayer(object, SymbolId{}, "Text");
    }
    ASSERT_TRUE(ProjectStore::writeFile(path, project, EmbeddedSymbolList{}));

    // Each record: the 16-byte id, then 524 bytes (no guide points here).
    const Bytes bytes = readBytes(path);
    const auto record = [](std::size_t i) { return 4 + 840 + i * (16 + 524) + 16; };
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(i32At(bytes, record(i) + 76), stored[i]) << i;
        EXPECT_EQ(i32At(bytes, record(i) + 80), 0) << i; // the field beside it stays free
    }

    const std::optional<LoadedProject> loaded = ProjectReader::readFile(path);
    ASSERT_TRUE(loaded);
    for (std::size_t i = 0; i < stored.size(); ++i)
        EXPECT_EQ(loaded->project.objects[std::uint32_t(i)].record.easing, stored[i]) << i;
    const std::string again = folder.filePath("again.vrn").toStdString();
    ASSERT_TRUE(ProjectStore::writeFile(again, loaded->project, loaded->symbols));
    EXPECT_EQ(readBytes(again), bytes);

    // A file written before curves: 0 at offset 76 of every record, read as Linear.
    Bytes old = bytes;
    for (std::size_t i = 0; i < stored.size(); ++i)
        putI32(old, record(i) + 76, 0);
    const std::string oldPath = folder.filePath("old.vrn").toStdString();
    ASSERT_TRUE(writeBytes(oldPath, old));
    const std::optional<LoadedProject> oldLoaded = ProjectReader::readFile(oldPath);
    ASSERT_TRUE(oldLoaded);
    for (const AnimationObject& object : oldLoaded->project.objects)
        EXPECT_EQ(object.record.easing, kEaseLinear);
    ASSERT_TRUE(ProjectStore::writeFile(again, oldLoaded->project, oldLoaded->symbols));
    EXPECT_EQ(readBytes(again), old);
}

} // namespace
