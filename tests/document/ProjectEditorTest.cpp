#include "document/ProjectEditor.h"

#include "tests/document/EditorTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <typename T> T at(const AnimationObject& object, std::size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const char*>(&object.record) + offset, sizeof value);
    return value;
}

class ProjectEditorTest : public ::testing::Test {
protected:
    ProjectEditorTest() : editor(&listener, &preview) { editor.startUnnamed("Untitled"); }

    // Inserts a library symbol of `frames` pictures of 20 x 10 and returns its id.
    SymbolId insertSymbol(int frames = 1) {
        const SymbolId id = SymbolId::create();
        EXPECT_TRUE(editor.insertLibrarySymbol(id, solidFrames(frames, 20, 10)));
        return id;
    }
    void addText(const char* text) {
        AnimationObject object;
        object.setText(text);
        editor.addTextObject(object, FakeMeasurer());
    }
    Project& project() { return editor.project(); }
    AnimationObject& object(int index) {
        return project().objects[static_cast<std::uint32_t>(index)];
    }

    RecordingListener listener;
    FakePreview preview;
    TestEditor editor;
};

TEST_F(ProjectEditorTest, UnnamedAndNewProjectsStartFromTheDefaults) {
    const ProjectHeader& h = project().header;
    EXPECT_EQ(h.width, 320);
    EXPECT_EQ(h.height, 120);
    EXPECT_EQ(h.duration, 20);
    EXPECT_EQ(h.frameRate, 12);
    EXPECT_EQ(h.backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(h.placement, 0);
    EXPECT_EQ(h.backgroundPicture[0], 0);
    EXPECT_EQ(project().name(), "Untitled");
    EXPECT_EQ(project().layerCount(), 0);
    EXPECT_EQ(project().objectCount(), 0);
    const char expectedId[20] = "QVXT_2001";
    EXPECT_EQ(std::memcmp(h.formatId, expectedId, 20), 0); // NUL then zero bytes
    for (char c : h.reserved)
        ASSERT_EQ(c, 0);
    EXPECT_EQ(h.guid[7] >> 4, 4); // a random GUID
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(editor.history().position(), -1);

    const std::vector<std::uint8_t> firstGuid(h.guid, h.guid + 16);
    ProjectProperties properties;
    properties.name = "Second";
    properties.width = 640;
    properties.height = 480;
    properties.duration = 60;
    properties.frameRate = 25;
    properties.backgroundColor = 0x00FF00;
    editor.newProject(properties);
    EXPECT_EQ(project().name(), "Second");
    EXPECT_EQ(project().header.duration, 60);
    EXPECT_EQ(project().header.backgroundColor, 0x00FF00u);
    EXPECT_NE(std::vector<std::uint8_t>(project().header.guid, project().header.guid + 16),
              firstGuid);
    EXPECT_EQ(editor.lastNewProjectProperties().width, 640);
    EXPECT_EQ(editor.lastNewProjectProperties().frameRate, 25);
    EXPECT_EQ(editor.largestDuration(), 60);

    properties.duration = 30; // a shorter project keeps the longest ruler
    editor.newProject(properties);
    EXPECT_EQ(editor.largestDuration(), 60);
    // New project pushes nothing: its snapshot 0 is the state after the first edit.
    EXPECT_EQ(editor.history().count(), 0);
}

TEST_F(ProjectEditorTest, LayerNamesCountObjectsOfTheSameKindOverAllLayers) {
    insertSymbol();
    insertSymbol();
    addText("hello");
    insertSymbol();
    addText("again");
    EXPECT_EQ(layerNames(project()),
              (std::vector<std::string>{"Symbol 1", "Symbol 2", "Text 1", "Symbol 3", "Text 2"}));
    // Deleting does not renumber, so a later object can repeat a name.
    for (int k = 0; k < project().objectCount(); ++k)
        object(k).record.selected = (k == 0);
    editor.deleteSelectedObject();
    insertSymbol();
    EXPECT_EQ(layerNames(project()),
              (std::vector<std::string>{"Symbol 2", "Text 1", "Symbol 3", "Text 2", "Symbol 3"}));
}

TEST_F(ProjectEditorTest, InsertedSymbolObjectHasTheNewObjectRecordValues) {
    ProjectProperties properties;
    properties.name = "Odd";
    properties.width = 321; // odd sizes centre on half pixels
    properties.height = 120;
    properties.duration = 40;
    properties.frameRate = 15;
    editor.newProject(properties);
    const SymbolId id = SymbolId::create();
    listener.clear();
    ASSERT_TRUE(editor.insertLibrarySymbol(id, solidFrames(2, 21, 10)));

    const AnimationObject& o = object(0);
    EXPECT_EQ(at<std::int32_t>(o, 0), 1);
    EXPECT_EQ(at<std::int32_t>(o, 4), 255);
    EXPECT_EQ(at<std::int32_t>(o, 8), 255);
    EXPECT_EQ(at<std::int32_t>(o, 12), 1); // selected
    EXPECT_EQ(at<std::int32_t>(o, 20), 21);
    EXPECT_EQ(at<std::int32_t>(o, 24), 10);
    EXPECT_EQ(at<float>(o, 28), 0.5f);
    EXPECT_EQ(at<float>(o, 32), 0.5f);
    for (std::size_t offset : {36u, 44u, 52u})
        EXPECT_EQ(at<float>(o, offset), 160.5f - 10.0f) << offset; // W/2 - floor(w/2)
    for (std::size_t offset : {40u, 48u, 56u})
        EXPECT_EQ(at<float>(o, offset), 60.0f - 5.0f) << offset;
    EXPECT_EQ(at<float>(o, 60), 0.0f);
    EXPECT_EQ(at<float>(o, 64), 0.0f);
    EXPECT_EQ(at<float>(o, 68), 1.0f);
    EXPECT_EQ(at<float>(o, 72), 1.0f);
    EXPECT_EQ(at<std::int32_t>(o, 84), 0);
    EXPECT_EQ(at<std::int32_t>(o, 88), 0);
    EXPECT_EQ(at<std::int32_t>(o, 92), 0);
    EXPECT_EQ(at<std::int32_t>(o, 96), 40);
    EXPECT_EQ(at<std::int32_t>(o, 100), 0);
    EXPECT_EQ(at<std::int32_t>(o, 104), 40);
    EXPECT_EQ(at<std::int32_t>(o, 108), 15);
    EXPECT_EQ(at<std::int32_t>(o, 472), 12);
    EXPECT_EQ(at<std::int32_t>(o, 484), 0);
    const int slot = at<std::int32_t>(o, 488);
    ASSERT_TRUE(editor.hitRegions().contains(slot));
    EXPECT_EQ(editor.hitRegions().at(slot), QRect(0, 0, 21, 10));
    EXPECT_EQ(project().symbolIds[0], id);

    ASSERT_EQ(editor.symbols().count(), 1u);
    EXPECT_EQ(editor.symbols().find(id)->frameCount(), 2);
    EXPECT_EQ(editor.symbols().find(id)->currentFrame, 0);

    // One announcement: a new layer with its object, selected; the project became modified.
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].kinds(),
              std::uint32_t(DocumentChange::Objects | DocumentChange::Selection |
                            DocumentChange::Layers | DocumentChange::Modified));
    listener.clear();
    preview.running = true;
    editor.insertLibrarySymbol(id, solidFrames(3, 8, 8)); // same id: record replaced
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_FALSE(listener.changes[0].has(DocumentChange::Modified)); // it already was
    EXPECT_EQ(editor.symbols().count(), 1u);
    EXPECT_EQ(editor.symbols().find(id)->frameCount(), 3);
    EXPECT_TRUE(preview.running); // stopped and restarted around the edit
    EXPECT_EQ(preview.starts, 1);
    EXPECT_TRUE(editor.isModified());
}

TEST_F(ProjectEditorTest, AddedTextObjectIsMeasuredCentredAndUpright) {
    AnimationObject text;
    text.setText("Hello");
    std::memset(text.record.text + 256, 'x', 4); // cleared by the add
    text.record.reserved376 = 7;
    text.record.textColor = 0x0000FF;
    editor.addTextObject(text, FakeMeasurer());

    const AnimationObject& o = object(0);
    EXPECT_EQ(o.record.kind, kTextObject);
    EXPECT_EQ(o.text(), "Hello");
    EXPECT_EQ(o.record.width, 35);
    EXPECT_EQ(o.record.height, 16);
    EXPECT_EQ(o.record.startX, 160.0f - 17.0f);
    EXPECT_EQ(o.record.startY, 60.0f - 8.0f);
    EXPECT_EQ(o.record.headingOffset, 270);
    EXPECT_EQ(at<std::int32_t>(o, 368), 0);
    EXPECT_EQ(at<std::int32_t>(o, 376), 0);
    EXPECT_EQ(o.record.textColor, 0x0000FFu);
    EXPECT_TRUE(project().symbolIds[0].isNull());
    EXPECT_EQ(project().layerName(0), "Text 1");
    EXPECT_EQ(editor.hitRegions().at(o.record.hitRegionIndex), QRect(0, 0, 35, 16));
}

TEST_F(ProjectEditorTest, DeleteReselectsTheObjectThatTakesTheDeletedIndex) {
    insertSymbol();
    insertSymbol();
    insertSymbol();
    editor.appendMotion(kLinerMotion); // layer 2 now holds two objects: indexes 2 and 3

    // Delete the middle layer's only object: the layer goes, index 1 goes to the next one.
    for (int k = 0; k < 4; ++k)
        object(k).record.selected = (k == 1);
    ASSERT_TRUE(editor.deleteSelectedObject());
    EXPECT_EQ(layerNames(project()), (std::vector<std::string>{"Symbol 1", "Symbol 3"}));
    EXPECT_EQ(project().objectCount(), 3);
    EXPECT_EQ(project().selectedObjectIndex(), 1);
    EXPECT_EQ(project().selectedLayerIndex(), 1);
    EXPECT_TRUE(project().isConsistent());

    // Deleting the last object selects the new last one; its layer keeps one object.
    for (int k = 0; k < 3; ++k)
        object(k).record.selected = (k == 2);
    editor.deleteSelectedObject();
    EXPECT_EQ(project().layerCounts[1], 1);
    EXPECT_EQ(project().selectedObjectIndex(), 1);

    // A layer that keeps objects is no change of the layers; one that goes is.
    editor.appendMotion(kLinerMotion);
    listener.clear();
    editor.deleteSelectedObject();
    EXPECT_FALSE(listener.saw(DocumentChange::Layers));
    EXPECT_TRUE(listener.saw(DocumentChange::Objects));
    editor.deleteSelectedObject();
    editor.deleteSelectedObject();
    EXPECT_EQ(project().layerCount(), 0);
    EXPECT_EQ(project().selectedObjectIndex(), -1);
    EXPECT_TRUE(listener.saw(DocumentChange::Layers)); // the last layer went
    EXPECT_FALSE(editor.deleteSelectedObject());       // nothing selected: nothing happens
}

TEST_F(ProjectEditorTest, AppendedMotionContinuesTheSelectedObjectOnItsLayer) {
    ProjectProperties properties;
    properties.name = "Ten";
    properties.duration = 10;
    editor.newProject(properties);
    const SymbolId id = insertSymbol();
    insertSymbol(); // a second layer above, so the insert position matters
    object(0).record.selected = 1;
    object(1).record.selected = 0;
    ObjectRecord& p = object(0).record;
    p.startX = 12.0f;
    p.endX = 99.0f;
    p.startAngle = 30.0f;
    p.endAngle = 90.0f;
    p.startScale = 2.0f;
    p.endScale = 3.0f;
    p.startOpacity = 200;
    p.endOpacity = 10;
    p.headingOffset = 45;
    p.symbolFrameRate = 3;
    object(0).guidePoints.append({1, 2});

    ASSERT_TRUE(editor.appendMotion(kLinerMotion));
    EXPECT_EQ(project().layerCounts[0], 2);
    EXPECT_TRUE(project().isConsistent());
    const ObjectRecord& n = object(1).record;
    EXPECT_EQ(project().symbolIds[1], id);
    EXPECT_EQ(n.startFrame, 10);
    EXPECT_EQ(n.endFrame, 20);
    EXPECT_EQ(n.motionStartFrame, 10);
    EXPECT_EQ(n.motionEndFrame, 20);
    EXPECT_EQ(n.motionKind, kLinerMotion);
    EXPECT_EQ(n.startX, 12.0f); // the selected object's start values, not its end values
    EXPECT_EQ(n.endX, 12.0f);
    EXPECT_EQ(n.dragOriginX, 12.0f);
    EXPECT_EQ(n.startAngle, 30.0f);
    EXPECT_EQ(n.endAngle, 30.0f);
    EXPECT_EQ(n.startScale, 2.0f);
    EXPECT_EQ(n.endScale, 2.0f);
    EXPECT_EQ(n.startOpacity, 200);
    EXPECT_EQ(n.endOpacity, 200);
    EXPECT_EQ(n.headingOffset, 0);
    EXPECT_EQ(n.symbolFrameRate, 12);
    EXPECT_EQ(n.reserved472, 12u);
    EXPECT_TRUE(object(1).guidePoints.isEmpty());
    EXPECT_EQ(project().selectedObjectIndex(), 1);
    EXPECT_EQ(object(0).record.selected, 0u);
    EXPECT_EQ(object(2).record.startFrame, 0); // the other layer's object is untouched

    ASSERT_TRUE(editor.appendMotion(kGuideLineMotion)); // continues the new one
    EXPECT_EQ(object(2).record.startFrame, 20);
    EXPECT_EQ(object(2).record.endFrame, 30);
    EXPECT_EQ(object(2).record.motionKind, kGuideLineMotion);
    EXPECT_EQ(project().layerCounts[0], 3);
}

TEST_F(ProjectEditorTest, DeleteMotionPutsTheEndValuesBackOnTheStartValues) {
    insertSymbol();
    ObjectRecord& r = object(0).record;
    r.motionKind = kGuideLineMotion;
    r.endX = 50.0f;
    r.endY = 60.0f;
    r.endAngle = 180.0f;
    r.endScale = 4.0f;
    r.endOpacity = 10;
    for (int k = 0; k < 5; ++k)
        object(0).guidePoints.append({k, k});
    ASSERT_TRUE(editor.deleteMotion());
    EXPECT_EQ(r.motionKind, kNoMotion);
    EXPECT_TRUE(object(0).guidePoints.isEmpty());
    EXPECT_EQ(r.endX, r.startX);
    EXPECT_EQ(r.endY, r.startY);
    EXPECT_EQ(r.endAngle, r.startAngle);
    EXPECT_EQ(r.endScale, r.startScale);
    EXPECT_EQ(r.endOpacity, 10); // kept
    EXPECT_EQ(editor.history().count(), 2);
}

TEST_F(ProjectEditorTest, LayerOrderCommandsMoveTheWholeLayer) {
    const SymbolId a = insertSymbol();
    editor.appendMotion(kLinerMotion); // layer "Symbol 1" holds two objects
    const SymbolId b = insertSymbol();
    addText("top");
    auto order = [&] { return layerNames(project()); };
    auto selectLayer = [&](int layer) {
        project().clearLayerSelection();
        project().layerSelected[static_cast<std::uint32_t>(layer)] = 1;
    };

    // The first-created layer is the bottom row; to the front it goes over all others.
    selectLayer(0);
    ASSERT_TRUE(editor.bringLayerToFront());
    EXPECT_EQ(order(), (std::vector<std::string>{"Symbol 3", "Text 1", "Symbol 1"}));
    EXPECT_EQ(project().symbolIds[0], b);
    EXPECT_EQ(project().symbolIds[2], a);
    EXPECT_EQ(project().symbolIds[3], a);
    EXPECT_EQ(project().layerCounts[2], 2);
    EXPECT_EQ(object(3).record.startFrame, 20); // the appended motion moved along in order
    EXPECT_TRUE(project().isConsistent());
    EXPECT_FALSE(editor.bringLayerToFront()); // already the last layer
    EXPECT_FALSE(editor.bringLayerForward());

    ASSERT_TRUE(editor.sendLayerBackward());
    EXPECT_EQ(order(), (std::vector<std::string>{"Symbol 3", "Symbol 1", "Text 1"}));
    ASSERT_TRUE(editor.sendLayerToBack());
    EXPECT_EQ(order(), (std::vector<std::string>{"Symbol 1", "Symbol 3", "Text 1"}));
    EXPECT_FALSE(editor.sendLayerToBack());
    EXPECT_FALSE(editor.sendLayerBackward());
    ASSERT_TRUE(editor.bringLayerForward());
    EXPECT_EQ(order(), (std::vector<std::string>{"Symbol 3", "Symbol 1", "Text 1"}));
    EXPECT_EQ(project().symbolIds[1], a);
    EXPECT_TRUE(project().isConsistent());

    project().clearLayerSelection();
    EXPECT_FALSE(editor.bringLayerToFront()); // no selected layer
}

TEST_F(ProjectEditorTest, PasteAddsACopyAtFrameZeroOnANewLayer) {
    EXPECT_FALSE(editor.paste()); // empty clipboard
    const SymbolId id = insertSymbol();
    ObjectRecord& r = object(0).record;
    r.startFrame = 5;
    r.endFrame = 15;
    r.motionStartFrame = 7;
    r.motionEndFrame = 12;
    object(0).guidePoints.append({3, 4});
    ASSERT_TRUE(editor.copySelected());
    object(0).guidePoints.append({5, 6}); // later edits do not reach the clipboard

    listener.clear();
    ASSERT_TRUE(editor.paste());
    const AnimationObject& copy = object(1);
    EXPECT_EQ(copy.record.startFrame, 0);
    EXPECT_EQ(copy.record.endFrame, 10);
    EXPECT_EQ(copy.record.motionStartFrame, 0);
    EXPECT_EQ(copy.record.motionEndFrame, 10);
    EXPECT_EQ(copy.guidePoints.count(), 1u);
    EXPECT_EQ(project().symbolIds[1], id);
    EXPECT_EQ(project().layerName(1), "Symbol 2");
    EXPECT_EQ(project().selectedObjectIndex(), 1);
    EXPECT_EQ(project().selectedLayerIndex(), 1);
    EXPECT_NE(copy.record.hitRegionIndex, r.hitRegionIndex); // a region of its own
    EXPECT_EQ(editor.hitRegions().at(copy.record.hitRegionIndex), QRect(0, 0, 20, 10));
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_TRUE(listener.changes[0].has(DocumentChange::Objects | DocumentChange::Layers));

    project().clearObjectSelection();
    EXPECT_FALSE(editor.copySelected());
}

TEST_F(ProjectEditorTest, CurrentFrameAndPropertyEdits) {
    EXPECT_TRUE(editor.setCurrentFrame(19));
    EXPECT_FALSE(editor.setCurrentFrame(20));
    EXPECT_FALSE(editor.setCurrentFrame(-1));
    EXPECT_EQ(editor.currentFrame(), 19);

    insertSymbol();
    editor.setModified(false);
    const int snapshots = editor.history().count();
    preview.running = true;
    ProjectProperties properties;
    properties.name = "ignored";
    properties.width = 200;
    properties.duration = 90;
    properties.backgroundPicture = "/tmp/sky.png";
    properties.placement = kPlacementTiled;
    editor.editProperties(properties);
    EXPECT_EQ(project().name(), "Untitled"); // the name is not changed
    EXPECT_EQ(project().header.width, 200);
    EXPECT_EQ(project().header.placement, kPlacementTiled);
    EXPECT_EQ(std::string(project().header.backgroundPicture), "/tmp/sky.png");
    EXPECT_EQ(editor.largestDuration(), 90);
    EXPECT_TRUE(editor.isModified()); // else exit would not offer to save the change
    // An undo step of its own: snapshots carry the header, so undo and redo move across it
    // instead of losing it.
    EXPECT_EQ(editor.history().count(), snapshots + 1);
    EXPECT_TRUE(preview.running);
    EXPECT_TRUE(editor.undo());
    EXPECT_EQ(project().header.width, 320);
    EXPECT_TRUE(editor.redo());
    EXPECT_EQ(project().header.width, 200);
}

} // namespace

namespace {

TEST_F(ProjectEditorTest, NamingIsNoUndoStepAndUndoAndRedoKeepTheName) {
    insertSymbol();
    insertSymbol();
    editor.nameProject("Clip"); // the first save names the unnamed project
    EXPECT_EQ(project().name(), "Clip");
    for (int k = 0; k < 3; ++k) {
        editor.undo();
        EXPECT_EQ(project().name(), "Clip") << "undo " << k;
    }
    editor.redo();
    EXPECT_EQ(project().name(), "Clip");
    // The snapshots themselves are left as they were taken.
    EXPECT_EQ(editor.history().snapshot(0).state.name(), "Untitled");
}

TEST_F(ProjectEditorTest, AGuideLineContinuationTakesTheFirstStartFractionForBoth) {
    insertSymbol();
    editor.editObject(0, [](AnimationObject& object) {
        object.record.startFractionX = 0.25f;
        object.record.startFractionY = 0.75f;
    });
    ASSERT_TRUE(editor.appendMotion(kGuideLineMotion));
    EXPECT_EQ(at<float>(object(1), 28), 0.25f);
    EXPECT_EQ(at<float>(object(1), 32), 0.25f); // offset 28 copied into 32
    editor.selectLayerAndObject(0, 0);
    ASSERT_TRUE(editor.appendMotion(kLinerMotion));
    EXPECT_EQ(at<float>(object(1), 32), 0.75f); // a Liner continuation keeps both
}

TEST_F(ProjectEditorTest, ADragIsOneUndoStepAndACancelLeavesNothing) {
    insertSymbol();
    const int steps = editor.history().count();
    listener.clear();
    ASSERT_TRUE(editor.beginObjectDrag(0));
    editor.editObject(0, [](AnimationObject&) {}); // any other command ends the drag first
    EXPECT_FALSE(editor.isDragging());
    EXPECT_EQ(editor.history().count(), steps); // neither changed anything
    ASSERT_TRUE(editor.beginObjectDrag(0));
    AnimationObject moved = *editor.objectCopy(0);
    for (int k = 1; k <= 5; ++k) {
        moved.record.startX += 1.0f;
        editor.dragObject(moved);
    }
    EXPECT_EQ(listener.changes.size(), 5u); // one announcement per update
    EXPECT_EQ(editor.history().count(), steps);
    EXPECT_TRUE(editor.commitObjectDrag());
    EXPECT_EQ(editor.history().count(), steps + 1);

    const float x = object(0).record.startX;
    ASSERT_TRUE(editor.beginObjectDrag(0));
    moved.record.startX += 50.0f;
    editor.dragObject(moved);
    editor.cancelObjectDrag();
    EXPECT_EQ(object(0).record.startX, x);
    EXPECT_EQ(editor.history().count(), steps + 1);
    // The selection may change while a drag runs (a press selects as it starts one).
    ASSERT_TRUE(editor.beginObjectDrag(0));
    editor.selectLayerAndObject(0, 0);
    EXPECT_TRUE(editor.isDragging());
    EXPECT_FALSE(editor.commitObjectDrag()); // nothing but the selection: no step
}

TEST_F(ProjectEditorTest, AHeaderChangeAsTheFirstEditOfANewProjectIsUndone) {
    ProjectProperties properties;
    properties.name = "Fresh";
    editor.newProject(properties);
    ASSERT_TRUE(editor.resizeStage(200, 90));
    EXPECT_FALSE(editor.resizeStage(200, 90)); // the same size is no change
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(project().header.width, 320);
    EXPECT_EQ(project().header.height, 120);
    ASSERT_TRUE(editor.redo());
    EXPECT_EQ(project().header.width, 200);
}

} // namespace
