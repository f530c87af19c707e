#include "document/UndoHistory.h"

#include "tests/document/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace {

class UndoSequenceTest : public ::testing::Test {
protected:
    UndoSequenceTest() : editor(&listener) { editor.startUnnamed("Untitled"); }

    SymbolId insertSymbol() {
        const SymbolId id = SymbolId::create();
        editor.insertLibrarySymbol(id, solidFrames(1, 4, 4));
        return id;
    }
    // A project as a loader hands it over: two layers, one with a guide line.
    Project loadedProject(const SymbolId& id) {
        Project project = Project::unnamed("Loaded");
        ProjectHeader header = project.header;
        AnimationObject symbol = AnimationObject::makeSymbolObject(QSize(4, 4), header);
        symbol.guidePoints.append({1, 1});
        project.appendLayer(symbol, id, "Symbol 1");
        AnimationObject text =
            AnimationObject::makeTextObject("hi", 1, LogFontA{}, 0, 0, QSize(14, 16), header);
        project.appendLayer(text, SymbolId{}, "Text 1");
        return project;
    }
    EmbeddedSymbolList symbolsFor(const SymbolId& id) {
        EmbeddedSymbolList list;
        EmbeddedSymbol symbol;
        symbol.id = id;
        symbol.frames.append(solidFrames(1, 4, 4).front());
        list.records.append(symbol);
        return list;
    }

    RecordingListener listener;
    TestEditor editor;
};

TEST_F(UndoSequenceTest, AfterNewProjectTheFirstEditIsSnapshotZero) {
    insertSymbol();
    EXPECT_EQ(editor.history().position(), 0);
    EXPECT_EQ(editor.history().count(), 1);

    editor.setModified(false);
    ASSERT_TRUE(editor.undo()); // position 0: the project is emptied
    EXPECT_EQ(editor.history().position(), -1);
    EXPECT_EQ(editor.project().layerCount(), 0);
    EXPECT_EQ(editor.project().objectCount(), 0);
    EXPECT_TRUE(editor.project().isConsistent());
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(editor.project().name(), "Untitled"); // the header stays

    EXPECT_FALSE(editor.undo()); // nothing left to undo
    ASSERT_TRUE(editor.redo());
    EXPECT_EQ(editor.history().position(), 0);
    EXPECT_EQ(editor.project().layerCount(), 1);
    EXPECT_FALSE(editor.redo());
}

TEST_F(UndoSequenceTest, UndoAndRedoWithNothingToMoveStillEndAsAnEdit) {
    // Nothing to undo or redo: the project stays, but the panels hear (once) that the objects
    // changed, and the project counts as modified.
    for (bool undo : {true, false}) {
        SCOPED_TRACE(undo ? "undo" : "redo");
        editor.setModified(false);
        listener.clear();
        EXPECT_FALSE(undo ? editor.undo() : editor.redo());
        EXPECT_EQ(editor.history().position(), -1);
        ASSERT_EQ(listener.changes.size(), 1u);
        EXPECT_TRUE(listener.saw(DocumentChange::Objects));
        EXPECT_TRUE(listener.saw(DocumentChange::Modified));
        EXPECT_TRUE(editor.isModified());
    }
    // The same at the end of a history: redo past the last snapshot.
    insertSymbol();
    editor.setModified(false);
    listener.clear();
    EXPECT_FALSE(editor.redo());
    EXPECT_TRUE(listener.saw(DocumentChange::Objects));
    EXPECT_TRUE(editor.isModified());
}

TEST_F(UndoSequenceTest, AfterOpenTheLoadedStateIsSnapshotZero) {
    insertSymbol(); // history of the previous project, dropped by the open
    const SymbolId id = SymbolId::create();
    listener.clear();
    editor.openLoaded(loadedProject(id), symbolsFor(id));
    EXPECT_EQ(editor.history().position(), 0);
    EXPECT_EQ(editor.history().count(), 1);
    EXPECT_FALSE(editor.isModified());
    EXPECT_TRUE(listener.saw(DocumentChange::Replaced));
    // Every loaded object gets a fresh base region slot.
    EXPECT_EQ(editor.hitRegions().count(), 2);
    EXPECT_EQ(editor.project().objects[1].record.hitRegionIndex, 1);

    editor.project().objects[0].record.selected = 1;
    editor.appendMotion(kLinerMotion);
    ASSERT_EQ(editor.project().objectCount(), 3);

    ASSERT_TRUE(editor.undo()); // back to the loaded state
    EXPECT_EQ(editor.project().objectCount(), 2);
    EXPECT_EQ(editor.project().name(), "Loaded");
    EXPECT_EQ(editor.project().objects[0].guidePoints.count(), 1u);
    ASSERT_TRUE(editor.undo()); // one more empties the project
    EXPECT_EQ(editor.project().layerCount(), 0);
    ASSERT_TRUE(editor.redo()); // and redo brings the loaded state back
    EXPECT_EQ(editor.project().objectCount(), 2);
    EXPECT_EQ(layerNames(editor.project()), (std::vector<std::string>{"Symbol 1", "Text 1"}));
}

TEST_F(UndoSequenceTest, AnEditAfterUndoDropsTheRedoTail) {
    insertSymbol();
    insertSymbol();
    insertSymbol();
    editor.undo();
    editor.undo();
    EXPECT_EQ(editor.history().position(), 0);
    insertSymbol();
    EXPECT_EQ(editor.history().count(), 2);
    EXPECT_FALSE(editor.redo());
    EXPECT_EQ(editor.project().layerCount(), 2);
}

TEST_F(UndoSequenceTest, SnapshotsAreDeepCopies) {
    insertSymbol();
    editor.editObject(0, [](AnimationObject& object) {
        object.guidePoints.append({9, 9});
        object.record.startX = 1.0f;
    });
    AnimationObject& live = editor.project().objects[0];
    live.guidePoints[0] = {7, 7};
    live.record.startX = 2.0f;
    const Project& saved = editor.history().snapshot(1).state;
    EXPECT_EQ(saved.objects[0].guidePoints[0], (GuidePoint{9, 9}));
    EXPECT_EQ(saved.objects[0].record.startX, 1.0f);

    editor.undo(); // restoring copies too: editing after undo leaves the snapshot alone
    editor.project().layerNames[0].text[0] = 'X';
    EXPECT_EQ(editor.history().snapshot(0).state.layerName(0), "Symbol 1");
}

TEST_F(UndoSequenceTest, UnusedSymbolsArePurgedOnlyWhenNoSnapshotRefersToThem) {
    const SymbolId a = insertSymbol(); // snapshot 0 uses a
    editor.deleteSelectedObject();     // snapshot 1: project empty, snapshot 0 still uses a
    EXPECT_NE(editor.symbols().find(a), nullptr);

    editor.undo();
    editor.undo(); // position -1; snapshots 0 and 1 are the redo tail
    EXPECT_NE(editor.symbols().find(a), nullptr);

    const SymbolId b = insertSymbol(); // the push drops the tail: nothing refers to a any more
    EXPECT_EQ(editor.symbols().find(a), nullptr);
    ASSERT_NE(editor.symbols().find(b), nullptr);
    EXPECT_EQ(editor.symbols().count(), 1u);

    // Opening another project keeps the old records until the open's own push purges them.
    const SymbolId c = SymbolId::create();
    editor.openLoaded(loadedProject(c), symbolsFor(c));
    EXPECT_EQ(editor.symbols().find(b), nullptr);
    ASSERT_NE(editor.symbols().find(c), nullptr);
    // Loading the same project again keeps one record per symbol.
    editor.openLoaded(loadedProject(c), symbolsFor(c));
    EXPECT_EQ(editor.symbols().count(), 1u);
}

} // namespace
