#include "text/ui/TextPanel.h"

#include "controls/CTavColorPicker.h"
#include "document/LanguageTable.h"
#include "text/ui/StyleList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIntValidator>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QColor kPanel(0xFB, 0xFC, 0xFD);
const QColor kLabel(0x33, 0x3B, 0x45);
constexpr int kMargin = 6;
constexpr int kRow = 22;

// Rows of the panel, from the top (pixels).
constexpr int kTextLabelTop = 4;
constexpr int kEditTop = 22;
constexpr int kEditHeight = 56;
constexpr int kFaceTop = 84;
constexpr int kSizeTop = 110;
constexpr int kSecondColourTop = 136;
constexpr int kStyleLabelTop = 162;
constexpr int kStyleListTop = 180;
constexpr int kButtonHeight = 24;

} // namespace

TextPanel::TextPanel(const LanguageTable& texts, MessageSink& sink, QWidget* parent)
    : QWidget(parent), m_texts(texts), m_sink(sink), m_edit(new QPlainTextEdit(this)),
      m_face(new QComboBox(this)), m_size(new QComboBox(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_edit->setObjectName(QStringLiteral("text")); // control 10127
    m_edit->setTabChangesFocus(true);
    connect(m_edit, &QPlainTextEdit::textChanged, this, &TextPanel::limitText);

    m_face->setObjectName(QStringLiteral("fontFace")); // control 10123
    // Each name is shown in its own face; the drop-down list is as wide as the widest of them.
    const QStringList fonts = usableFonts();
    int widest = 0;
    for (const QString& name : fonts) {
        QFont face = m_face->font(); // the list's size, in the named family
        face.setFamily(name);
        m_face->addItem(name);
        m_face->setItemData(m_face->count() - 1, face, Qt::FontRole);
        widest = std::max(widest, QFontMetrics(face).horizontalAdvance(name));
    }
    m_face->view()->setMinimumWidth(widest + 30);
    m_face->setCurrentIndex(std::max(0, int(fonts.indexOf(defaultFace()))));

    m_size->setObjectName(QStringLiteral("fontSize")); // control 10122
    m_size->setEditable(true);
    m_size->setValidator(new QIntValidator(0, 10000, m_size));
    for (int size : TextPanelModel::kFontSizes)
        m_size->addItem(QString::number(size));
    m_size->setCurrentIndex(TextPanelModel::kDefaultSizeIndex);

    const QString automatic = QString::fromStdString(texts.text(kTextAutomaticColour));
    const QString more = QString::fromStdString(texts.text(kTextMoreColours));
    m_first = new CTavColorPicker(this, 10124);
    m_first->setObjectName(QStringLiteral("firstColour"));
    m_first->setEntryTexts(automatic, more);
    m_first->setColor(kFirstPickerStart);
    m_second = new CTavColorPicker(this, 10125);
    m_second->setObjectName(QStringLiteral("secondColour"));
    m_second->setEntryTexts(automatic, more);
    m_second->setColor(kSecondPickerStart);

    // Made after the pickers: selecting cell 0 gives them style 1's colours.
    m_styles = new StyleList(m_model, this);
    m_styles->setObjectName(QStringLiteral("styles"));
    connect(m_styles, &StyleList::cellClicked, this, &TextPanel::chooseStyle);
    chooseStyle(0);

    m_apply = new QPushButton(QString::fromStdString(texts.text(kTextApply)), this);
    m_apply->setObjectName(QStringLiteral("apply")); // command 10121
    connect(m_apply, &QPushButton::clicked, this, &TextPanel::apply);
    relayout();
}

QStringList TextPanel::usableFonts() {
    QStringList usable;
    for (const QString& family : QFontDatabase::families()) {
        if (family.startsWith(u'@') || QFontDatabase::isPrivateFamily(family) ||
            !QFontDatabase::isScalable(family))
            continue;
        usable << family;
    }
    return usable;
}

QString TextPanel::defaultFace() {
    return QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
}

void TextPanel::limitText() {
    const QString text = m_edit->toPlainText();
    const QString limited = TextPanelModel::limitTyped(text);
    if (limited.size() == text.size())
        return;
    m_edit->setPlainText(limited);
    m_edit->moveCursor(QTextCursor::End);
}

void TextPanel::chooseStyle(int position) {
    const std::optional<TextColourPair> colours = m_model.select(position);
    if (colours && m_first && m_second) {
        m_first->setColor(colours->first);
        m_second->setColor(colours->second);
    }
    m_styles->update();
}

void TextPanel::apply() {
    TextObjectFields fields;
    fields.text = m_edit->toPlainText();
    fields.face = m_face->currentText();
    fields.sizeText = m_size->currentText();
    fields.style = m_model.selectedStyle();
    fields.firstColor = m_first->color();
    fields.secondColor = m_second->color();
    std::optional<AnimationObject> record = TextPanelModel::apply(fields, m_sink, m_texts);
    if (!record)
        return;
    if (m_objectHandler) {
        m_objectHandler(std::move(*record));
        return;
    }
    m_finished.push_back(record->record); // a new text object has nothing beside its record
}

std::optional<AnimationObject> TextPanel::takeTextObject() {
    if (m_finished.empty())
        return std::nullopt;
    std::optional<AnimationObject> object(std::in_place);
    object->record = m_finished.front();
    m_finished.pop_front();
    return object;
}

bool TextPanel::editHasFocus() const {
    return m_edit->hasFocus();
}

void TextPanel::resizeEvent(QResizeEvent*) {
    relayout();
}

void TextPanel::relayout() {
    const int w = width();
    const int h = height();
    const int inner = std::max(0, w - 2 * kMargin);
    m_edit->setGeometry(kMargin, kEditTop, inner, kEditHeight);
    m_face->setGeometry(kMargin, kFaceTop, inner, kRow);
    m_size->setGeometry(kMargin, kSizeTop, 60, kRow);
    m_first->setGeometry(kMargin + 66, kSizeTop, std::max(0, inner - 66), kRow);
    m_second->setGeometry(kMargin + 66, kSecondColourTop, std::max(0, inner - 66), kRow);
    const int applyTop = h - kButtonHeight - kMargin;
    m_styles->setGeometry(kMargin, kStyleListTop, inner,
                          std::max(0, applyTop - kMargin - kStyleListTop));
    m_apply->setGeometry(w - kMargin - 80, applyTop, 80, kButtonHeight);
}

void TextPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kPanel);
    painter.setPen(kLabel);
    painter.drawText(QRect(kMargin, kTextLabelTop, 100, 16), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Text"));
    painter.drawText(QRect(kMargin, kSecondColourTop, 62, kRow), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("2nd Color"));
    painter.drawText(QRect(kMargin, kStyleLabelTop, 100, 16), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Style"));
}
