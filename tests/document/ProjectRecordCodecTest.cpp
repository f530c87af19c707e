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

} // namespace
