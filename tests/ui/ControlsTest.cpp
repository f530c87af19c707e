#include "controls/FileFilter.h"
#include "controls/IntegerRange.h"
#include "controls/RangePrompt.h"
#include "controls/WindowShape.h"
#include "dialogs/StandardFileChooser.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/ui/UiTestSupport.h"

#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

TEST(ControlsTest, IntegerRangeTakesWholeNumbersWithinItsBounds) {
    const IntegerRange range(1, 1000);
    struct Row {
        const char* text;
        std::optional<int> value;
    };
    const Row rows[] = {
        {"1", 1},     {"1000", 1000}, {" 42 ", 42}, {"+7", 7},           {"0", {}},
        {"1001", {}}, {"-1", {}},     {"", {}},     {"  ", {}},          {"12a", {}},
        {"2.5", {}},  {"1e3", {}},    {"0x10", {}}, {"99999999999", {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(range.parse(QString::fromLatin1(row.text)), row.value) << row.text;
    EXPECT_EQ(range.prompt(), "Please enter an integer between 1 and 1000.");
    EXPECT_EQ(IntegerRange(-5, 5).parse(QStringLiteral("-5")), -5);
}

// A dialog with a ranged field and a second field that holds the focus at first.
struct FieldDialog {
    QDialog dialog;
    QLineEdit* other = new QLineEdit(&dialog);
    QLineEdit* field = new QLineEdit(&dialog);

    FieldDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(other);
        layout->addWidget(field);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        other->setFocus();
    }
};

TEST(ControlsTest, RangePromptRefusesWithThePromptAndSelectsTheField) {
    FieldDialog form;
    RecordingMessageSink sink;
    form.field->setText(QStringLiteral("1001"));
    EXPECT_EQ(RangePrompt::check(*form.field, IntegerRange(1, 1000), &sink), std::nullopt);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.only().text, "Please enter an integer between 1 and 1000.");
    EXPECT_EQ(sink.only().caption, "Zentravo");
    EXPECT_EQ(sink.only().icon, MessageIcon::Exclamation);
    EXPECT_TRUE(form.field->hasFocus());
    EXPECT_EQ(form.field->selectedText(), QStringLiteral("1001")); // typing replaces it

    sink.clear();
    form.field->setText(QStringLiteral("1000"));
    EXPECT_EQ(RangePrompt::check(*form.field, IntegerRange(1, 1000), &sink), 1000);
    EXPECT_TRUE(sink.messages.empty());

    // Without a sink the prompt is a message box over the dialog.
    QString shown;
    QString caption;
    answerModal<QMessageBox>([&](QMessageBox* box) {
        shown = box->text();
        caption = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    form.field->setText(QStringLiteral("zero"));
    EXPECT_EQ(RangePrompt::check(*form.field, IntegerRange(1, 1000)), std::nullopt);
    EXPECT_EQ(shown, QStringLiteral("Please enter an integer between 1 and 1000."));
    EXPECT_EQ(caption, QStringLiteral("Zentravo"));
    EXPECT_EQ(form.field->selectedText(), QStringLiteral("zero"));
}

TEST(ControlsTest, FileFiltersBecomeDialogFilters) {
    struct Row {
        const char* filter;
        const char* qt;
    };
    const Row rows[] = {
        {"(*.gif)|*.gif||", "(*.gif)"},
        {"(*.avi)|*.avi||", "(*.avi)"},
        {"Pictures|*.png;*.jpg|All files (*.*)|*.*||", "Pictures (*.png *.jpg);;All files (*.*)"},
        {"Images (*.bmp;*.gif)|*.bmp;*.gif||", "Images (*.bmp *.gif)"}, // ';' would not match
        {"Text|*.txt", "Text (*.txt)"},                                 // no closing "||"
        {"Video|*.avi||Ignored|*.x||", "Video (*.avi)"},                // ends at "||"
        {"Nothing||", ""},
        {"", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FileFilter::toQt(QString::fromLatin1(row.filter)), QString::fromLatin1(row.qt))
            << row.filter;
}

TEST(ControlsTest, StandardFileChooserAsksWithTheConvertedFilter) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString wanted = folder.filePath(QStringLiteral("movie.gif"));
    QStringList filters;
    bool confirms = false;
    answerModal<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        // Typed as a user would (selectFile() leaves a focused name field alone).
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(wanted);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept() is protected
    });
    StandardFileChooser chooser;
    FileRequest request;
    request.filter = QStringLiteral("(*.gif)|*.gif||");
    request.start = folder.path();
    EXPECT_EQ(chooser.saveFile(nullptr, request), wanted);
    EXPECT_EQ(filters, QStringList{QStringLiteral("(*.gif)")});
    EXPECT_TRUE(confirms);

    answerModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_TRUE(chooser.openFiles(nullptr, request).isEmpty());
}

TEST(ControlsTest, WindowShapeRoundsByTranslucencyOrByMask) {
    QWidget see;
    see.setFixedSize(100, 40);
    WindowShape::round(see, 8, true);
    EXPECT_TRUE(see.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(see.mask().isEmpty());

    // Without a compositor: the corners are cut off, the edges between them are kept.
    QWidget cut;
    cut.setFixedSize(100, 40);
    WindowShape::round(cut, 8, false);
    EXPECT_FALSE(cut.testAttribute(Qt::WA_TranslucentBackground));
    const QRegion mask = cut.mask();
    for (QPoint corner : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 39), QPoint(99, 39)})
        EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
    for (QPoint kept : {QPoint(50, 0), QPoint(0, 20), QPoint(98, 20), QPoint(50, 38), QPoint(3, 3)})
        EXPECT_TRUE(mask.contains(kept)) << kept.x() << "," << kept.y();
}

} // namespace
