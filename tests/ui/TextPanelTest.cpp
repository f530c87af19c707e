#include "controls/CTavColorPicker.h"
#include "document/FixedText.h"
#include "document/LanguageTable.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/ui/UiTestSupport.h"
#include "text/ui/StyleList.h"
#include "text/ui/TextPanel.h"
#include "text/ui/TextPanelModel.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace {

TextObjectFields fields(const QString& text, const char* size = "36") {
    TextObjectFields f;
    f.text = text;
    f.face = QStringLiteral("DejaVu Sans");
    f.sizeText = QString::fromLatin1(size);
    f.style = 3;
    f.firstColor = 0x0019C6;
    f.secondColor = 0xFFFFFF;
    return f;
}

TEST(TextPanelModelTest, RecordCarriesTheFieldsAndNothingElse) {
    struct Row {
        const char* size;
        int height;
    };
    for (const Row& row : {Row{"8", 10}, Row{"11", 14}, Row{"36", 48}, Row{"72", 96}, Row{"abc", 0},
                           Row{"", 0}, Row{" 20x", 26}, Row{"99999999", 13333}})
        EXPECT_EQ(
            TextPanelModel::buildRecord(fields(QStringLiteral("Hi"), row.size)).record.font.height,
            row.height)
            << row.size;

    const ObjectRecord r = TextPanelModel::buildRecord(fields(QStringLiteral("  "))).record;
    EXPECT_EQ(fixedText(r.text), "  "); // spaces are a text
    EXPECT_EQ(r.startOpacity, 255);
    EXPECT_EQ(r.textStyle, 3);
    EXPECT_EQ(r.font.weight, 400);
    EXPECT_STREQ(r.font.faceName, "DejaVu Sans");
    EXPECT_EQ(r.textColor, 0x0019C6u);
    EXPECT_EQ(r.secondTextColor, 0xFFFFFFu);
    // Every field not listed is zero.
    ObjectRecord expected{};
    std::memcpy(expected.text, r.text, sizeof r.text);
    expected.startOpacity = expected.endOpacity = 255;
    expected.textStyle = 3;
    expected.font = r.font;
    expected.textColor = r.textColor;
    expected.secondTextColor = r.secondTextColor;
    EXPECT_EQ(std::memcmp(&expected, &r, sizeof r), 0);

    TextObjectFields unstyled = fields(QStringLiteral("x"));
    unstyled.style = -1;
    EXPECT_EQ(TextPanelModel::buildRecord(unstyled).record.textStyle, -1);
}

TEST(TextPanelModelTest, LongTextsAreCutAtACharacterBoundaryInsideTheField) {
    struct Row {
        QString text;
        std::size_t bytes; // what the record keeps
    };
    const Row rows[] = {
        {QString(400, u'a'), 256},
        {QString(255, u'a') + QString(10, QChar(0x00E9)), 255}, // é is 2 bytes: 255 + 2 > 256
        {QString(254, u'a') + QString(10, QChar(0x00E9)), 256},
        {QString(200, QChar(0x4E2D)), 255},           // 中 is 3 bytes: 85 of them
        {QString::fromUtf8("😀").repeated(100), 256},  // 4 bytes each: 64 of them
        {QString::fromUtf8("a😀").repeated(100), 256}, // 51 pairs and an "a"
    };
    for (const Row& row : rows) {
        const ObjectRecord r = TextPanelModel::buildRecord(fields(row.text)).record;
        const std::string kept = fixedText(r.text);
        EXPECT_EQ(kept.size(), row.bytes) << row.text.left(3).toStdString();
        // What is kept is whole characters: it decodes and is the start of the text.
        const QString decoded = QString::fromUtf8(kept.data(), qsizetype(kept.size()));
        EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter));
        EXPECT_TRUE(row.text.startsWith(decoded));
        // The rest of the field, and the adding step's cleared tail, hold no text bytes.
        for (std::size_t k = kept.size(); k < sizeof r.text; ++k)
            ASSERT_EQ(r.text[k], 0) << k;
        EXPECT_EQ(r.textStyle, 3); // the field after the text is intact
    }
    // A face name longer than the record's 31 bytes is cut the same way.
    TextObjectFields longFace = fields(QStringLiteral("x"));
    longFace.face = QString(20, QChar(0x00E9)); // 40 bytes
    const ObjectRecord r = TextPanelModel::buildRecord(longFace).record;
    EXPECT_EQ(std::strlen(r.font.faceName), 30u);
    EXPECT_EQ(r.textColor, 0x0019C6u);

    EXPECT_EQ(TextPanelModel::limitTyped(QString(1200, u'x')).size(), 1000);
    // The 1000th unit is the first half of a pair: the pair goes as a whole.
    const QString pairs = QStringLiteral("x") + QString::fromUtf8("😀").repeated(600);
    EXPECT_EQ(TextPanelModel::limitTyped(pairs).size(), 999);
}

TEST(TextPanelModelTest, StylesBringTheirColoursAndTheEmptyTextIsRefused) {
    TextPanelModel model;
    EXPECT_EQ(model.selectedStyle(), 1);
    const std::optional<TextColourPair> five = model.select(4);
    ASSERT_TRUE(five);
    EXPECT_EQ(five->first, TextStyleColours::colorRef(198, 25, 0));
    EXPECT_EQ(five->second, TextStyleColours::colorRef(255, 255, 0));
    EXPECT_EQ(model.selectedStyle(), 5);
    EXPECT_FALSE(model.select(-1));
    EXPECT_EQ(model.selectedStyle(), -1);

    // Cells: 60 pixels each, scrolled; the first two previews as high as the cell.
    EXPECT_EQ(TextPanelModel::positionAt(QPoint(10, 130), 0), 2);
    EXPECT_EQ(TextPanelModel::positionAt(QPoint(10, 130), 90), 3);
    EXPECT_EQ(TextPanelModel::positionAt(QPoint(170, 10), 0), -1);
    EXPECT_EQ(TextPanelModel::positionAt(QPoint(10, 480), 0), -1);
    EXPECT_EQ(TextPanelModel::preview(1, QRect()).font.height, 60);
    EXPECT_EQ(TextPanelModel::preview(2, QRect()).font.height, 75);

    LanguageTable texts;
    RecordingMessageSink sink;
    EXPECT_FALSE(TextPanelModel::apply(fields(QString()), sink, texts));
    EXPECT_EQ(sink.only().text, "Please enter text first.");
    EXPECT_EQ(sink.only().caption, texts.text(kTextProductName));
    EXPECT_EQ(sink.only().icon, MessageIcon::Information);
}

struct PanelFixture : ::testing::Test {
    LanguageTable texts;
    RecordingMessageSink sink;
    TextPanel panel{texts, sink};
    PanelFixture() {
        panel.resize(190, 420);
        panel.show();
    }
};

TEST_F(PanelFixture, StartsOnStyleOneAndSize36WithUsableFonts) {
    EXPECT_EQ(panel.model().selectedStyle(), 1);
    EXPECT_EQ(panel.firstPicker().color(), TextStyleColours::colorRef(120, 120, 192));
    EXPECT_EQ(panel.secondPicker().color(), TextStyleColours::colorRef(0, 64, 128));
    EXPECT_EQ(panel.sizeBox().currentText(), QStringLiteral("36"));
    EXPECT_EQ(panel.sizeBox().count(), 16);
    ASSERT_GT(panel.faceBox().count(), 0);
    for (int k = 0; k < panel.faceBox().count(); ++k)
        EXPECT_FALSE(panel.faceBox().itemText(k).startsWith(u'@'));

    // Clicking the fifth preview chooses style 5 and its colours.
    StyleList& list = panel.styleList();
    list.scrollBar().setValue(4 * TextPanelModel::kCellHeight); // as far as the list scrolls
    const QPoint cell = TextPanelModel::cellRect(4, list.scrollOffset()).center();
    QTest::mouseClick(&list, Qt::LeftButton, {}, cell + QPoint(1, 1)); // inside the list's edge
    EXPECT_EQ(panel.model().selectedStyle(), 5);
    EXPECT_EQ(panel.firstPicker().color(), TextStyleColours::colorRef(198, 25, 0));
    EXPECT_EQ(panel.secondPicker().color(), TextStyleColours::colorRef(255, 255, 0));
}

TEST_F(PanelFixture, FaceListStartsOnTheApplicationsFaceAndShowsEachNameInItsOwnFace) {
    // The face the application writes its own texts in, as the font database resolves it
    // (a generic "Sans Serif" becomes an installed family), not the database's first family.
    const QString general =
        QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    QComboBox& faces = panel.faceBox();
    ASSERT_GE(faces.findText(general), 0) << general.toStdString();
    EXPECT_EQ(faces.currentText().toStdString(), general.toStdString());

    // Each name in the list is drawn in the family it names.
    for (int k = 0; k < faces.count(); ++k) {
        const QVariant font = faces.itemData(k, Qt::FontRole);
        ASSERT_TRUE(font.canConvert<QFont>()) << faces.itemText(k).toStdString();
        EXPECT_EQ(font.value<QFont>().family().toStdString(), faces.itemText(k).toStdString());
    }
}

TEST_F(PanelFixture, ApplyHandsOverTheRecordToItsHandler) {
    panel.applyButton().click();
    EXPECT_EQ(sink.only().text, "Please enter text first.");
    EXPECT_FALSE(panel.takeTextObject());

    QApplication::setActiveWindow(&panel);
    panel.textEdit().setFocus();
    QTest::keyClicks(&panel.textEdit(), QStringLiteral("Hello"));
    EXPECT_TRUE(panel.editHasFocus());
    panel.applyButton().setFocus();
    EXPECT_FALSE(panel.editHasFocus());
    panel.sizeBox().setCurrentIndex(0); // 8
    panel.chooseStyle(6);               // style 7
    panel.applyButton().click(); // without a handler the record is kept
    const std::optional<AnimationObject> made = panel.takeTextObject();
    ASSERT_TRUE(made);
    EXPECT_EQ(made->text(), "Hello");
    EXPECT_EQ(made->record.font.height, 10);
    EXPECT_EQ(made->record.textStyle, 7);
    EXPECT_EQ(made->record.textColor, TextStyleColours::colorRef(255, 255, 255));
    EXPECT_EQ(QString::fromLatin1(made->record.font.faceName), panel.faceBox().currentText());
    EXPECT_FALSE(panel.takeTextObject()); // taken once
    // With a handler (the main window's command layer) the record goes straight to it.
    std::vector<std::string> handed;
    panel.setObjectHandler([&handed](AnimationObject object) { handed.push_back(object.text()); });
    panel.applyButton().click();
    EXPECT_EQ(handed, std::vector<std::string>{"Hello"});
    EXPECT_FALSE(panel.takeTextObject());

    // The edit holds at most 1000 characters, however they arrive.
    panel.textEdit().setPlainText(QString(1500, u'z'));
    EXPECT_EQ(panel.textEdit().toPlainText().size(), 1000);
}

} // namespace
