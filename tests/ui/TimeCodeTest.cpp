#include "controls/TimeCodeEdit.h"
#include "controls/TimeCodeModel.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TimeCodeTest, SpinStepsTheActiveFieldWithWrapAround) {
    struct Row {
        const char* start;
        int clickAt; // a position inside the field to spin
        int step;
        const char* end;
    };
    const Row rows[] = {
        {"23:59:59-24", 0, +1, "00:59:59-24"}, {"23:59:59-24", 10, +1, "23:59:59-00"},
        {"00:00:00-00", 1, -1, "23:00:00-00"}, {"00:00:00-00", 9, -1, "00:00:00-24"},
        {"12:59:00-00", 4, +1, "12:00:00-00"}, {"12:00:00-00", 7, -1, "12:00:59-00"},
        {"12:34:56-10", 2, +1, "13:34:56-10"}, {"12:34:56-10", 8, +1, "12:34:57-10"},
        {"12:34:56-10", 5, -1, "12:33:56-10"}, {"12:34:56-10", 11, +1, "12:34:56-11"},
    };
    for (const Row& row : rows) {
        TimeCodeModel model;
        model.setFrameLimit(24);
        ASSERT_TRUE(model.setText(QString::fromLatin1(row.start)));
        model.click(row.clickAt);
        model.spin(row.step);
        EXPECT_EQ(model.text(), QString::fromLatin1(row.end))
            << row.start << " at " << row.clickAt << " step " << row.step;
    }
}

TEST(TimeCodeTest, TypingOverwritesOneDigitWithinItsFieldsRange) {
    // Each row types `keys` from `position` on, moving one place after every written
    // character, as the edit's caret does.
    struct Row {
        const char* start;
        int position;
        const char* keys;
        const char* end;
    };
    const Row rows[] = {
        {"00:00:00-00", 0, "3", "00:00:00-00"},  // hours' tens digit takes 0..2
        {"00:00:00-00", 0, "24", "20:00:00-00"}, // after a 2 the units digit takes 0..3
        {"00:00:00-00", 0, "23", "23:00:00-00"},
        {"19:00:00-00", 0, "2", "23:00:00-00"}, // never 29: the units digit comes down
        {"00:00:00-00", 3, "6", "00:00:00-00"}, // minutes' tens digit takes 0..5
        {"00:00:00-00", 3, "59", "00:59:00-00"},
        {"00:00:00-00", 2, "7", "00:00:00-00"}, // the separator stays, the caret moves on
        {"00:00:00-00", 1, "a", "00:00:00-00"}, // letters change nothing
        {"00:00:00-00", 0, "12x", "12:00:00-00"},
        {"00:00:00-00", 9, "3", "00:00:00-00"},  // frames' tens digit: 0..limit / 10
        {"00:00:00-00", 9, "25", "00:00:00-20"}, // with tens at 2 the units take 0..4
        {"00:00:00-00", 9, "24", "00:00:00-24"},
        {"00:00:00-00", 9, "15", "00:00:00-15"}, // below the top tens any units digit
        {"00:00:00-19", 9, "2", "00:00:00-24"},
        {"00:00:00-00", 11, "1", "00:00:00-00"}, // past the end
    };
    for (const Row& row : rows) {
        TimeCodeModel model;
        model.setFrameLimit(24);
        ASSERT_TRUE(model.setText(QString::fromLatin1(row.start)));
        int position = row.position;
        for (const char* key = row.keys; *key; ++key)
            if (model.type(position, QChar::fromLatin1(*key)))
                ++position;
        EXPECT_EQ(model.text(), QString::fromLatin1(row.end)) << row.start << " " << row.keys;
    }
}

TEST(TimeCodeTest, OnlyWellFormedTimeCodesAreTaken) {
    TimeCodeModel model;
    model.setFrameLimit(24);
    for (const char* bad : {"", "1:00:00-00", "00-00:00:00", "24:00:00-00", "00:60:00-00",
                            "00:00:00-25", "0a:00:00-00", "00:00:00-000"})
        EXPECT_FALSE(model.setText(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(model.text(), QStringLiteral("00:00:00-00"));
    // A limit beyond two digits counts as 99, so a spin never writes three digits.
    model.setFrameLimit(500);
    ASSERT_TRUE(model.setText(QStringLiteral("00:00:00-99")));
    model.click(10);
    model.spin(+1);
    EXPECT_EQ(model.text(), QStringLiteral("00:00:00-00"));
    // Lowering the limit brings the frames shown down to it.
    ASSERT_TRUE(model.setText(QStringLiteral("00:00:00-50")));
    model.setFrameLimit(24);
    EXPECT_EQ(model.text(), QStringLiteral("00:00:00-24"));
}

// A point of the edit's line where a click puts the caret at `position`.
QPoint caretPoint(QLineEdit& line, int position) {
    for (int x = 0; x < line.width(); ++x)
        if (line.cursorPositionAt(QPoint(x, line.height() / 2)) == position)
            return QPoint(x, line.height() / 2);
    ADD_FAILURE() << "no point of the edit puts the caret at " << position;
    return QPoint();
}

// No panel places the edit yet: this is its demonstration, clicked, typed and spun.
TEST(TimeCodeTest, EditSelectsTheClickedFieldAndTellsItsOwnerOfEveryChange) {
    TimeCodeEdit edit;
    edit.setFrameLimit(24);
    ASSERT_TRUE(edit.setTimeCode(QStringLiteral("23:59:59-24")));
    edit.resize(140, 24);
    edit.show();
    QSignalSpy changed(&edit, &TimeCodeEdit::changed);
    auto* line = edit.findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);

    // A click in the frames digits selects them; the up arrow steps them round to 00.
    QTest::mouseClick(line, Qt::LeftButton, {}, caretPoint(*line, 10));
    EXPECT_EQ(edit.model().activeField(), TimeCodeModel::Frames);
    EXPECT_EQ(line->selectedText(), QStringLiteral("24"));
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.timeCode(), QStringLiteral("23:59:59-00"));
    EXPECT_EQ(changed.count(), 1);

    // Typed digits overwrite the selected field from its first digit; others are ignored.
    QTest::keyClicks(&edit, QStringLiteral("1x7"));
    EXPECT_EQ(edit.timeCode(), QStringLiteral("23:59:59-17"));
    EXPECT_EQ(changed.count(), 3);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.timeCode(), QStringLiteral("23:59:59-17"));
    EXPECT_EQ(changed.count(), 3);

    // Hours: a click on the first digit, then the spin button's down step.
    QTest::mouseClick(line, Qt::LeftButton, {}, caretPoint(*line, 1));
    edit.stepBy(-1);
    EXPECT_EQ(edit.timeCode(), QStringLiteral("22:59:59-17"));
    EXPECT_EQ(changed.count(), 4);
}

} // namespace
