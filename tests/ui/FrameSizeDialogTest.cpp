#include "dialogs/FrameSizeDialog.h"
#include "document/LanguageTable.h"
#include "tests/document/RecordingMessageSink.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using Mode = FrameSizeDialog::Mode;

TEST(FrameSizeDialogTest, SizesOutsideTenToAThousandAreRefusedWidthFirst) {
    struct Row {
        const char* width;
        const char* height;
        bool accepted;
    };
    const Row rows[] = {
        {"10", "10", true},   {"1000", "1000", true}, {"9", "500", false}, {"500", "1001", false},
        {"1001", "9", false}, {"", "240", false},     {"240", "x", false},
    };
    LanguageTable texts;
    for (const Row& row : rows) {
        RecordingMessageSink sink;
        FrameSizeDialog dialog(Mode::AddBlankFrame, QSize(50, 50), QSize(240, 240), texts, &sink);
        dialog.show();
        dialog.widthEdit().setText(row.width);
        dialog.heightEdit().setText(row.height);
        dialog.accept();
        const std::string what = std::string(row.width) + " x " + row.height;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, row.accepted) << what;
        if (row.accepted) {
            EXPECT_TRUE(sink.messages.empty()) << what;
            EXPECT_EQ(dialog.frameSize(),
                      QSize(QString(row.width).toInt(), QString(row.height).toInt()));
        } else {
            // One prompt, for the first wrong field only; the dialog stays open.
            EXPECT_EQ(sink.only().text, "Please enter an integer between 10 and 1000.") << what;
            EXPECT_TRUE(dialog.isVisible()) << what;
        }
    }
}

TEST(FrameSizeDialogTest, AddModeShowsTheRememberedSizeAndPropertiesTheFramesOwn) {
    LanguageTable texts;
    FrameSizeDialog add(Mode::AddBlankFrame, QSize(64, 48), QSize(300, 200), texts);
    EXPECT_EQ(add.widthEdit().text(), "300");
    EXPECT_EQ(add.heightEdit().text(), "200");
    FrameSizeDialog properties(Mode::FrameProperties, QSize(64, 48), QSize(300, 200), texts);
    EXPECT_EQ(properties.widthEdit().text(), "64");
    EXPECT_EQ(properties.heightEdit().text(), "48");
    EXPECT_EQ(add.windowTitle(), "Add Blank Frame");
    EXPECT_EQ(properties.windowTitle(), "Frame Properties");
}

} // namespace
