#include "dialogs/FrameSizeDialog.h"

#include "controls/RangePrompt.h"
#include "controls/WindowShape.h"
#include "document/LanguageTable.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 160;
constexpr int kCorner = 8;
const QColor kFace(0xC8, 0xC8, 0xC8);
const QColor kEdge(0x8C, 0x95, 0xA0);

} // namespace

FrameSizeDialog::FrameSizeDialog(Mode mode, QSize frameSize, QSize remembered,
                                 const LanguageTable& texts, MessageSink* sink, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_sink(sink),
      m_width(new QLineEdit(this)), m_height(new QLineEdit(this)) {
    const bool adding = mode == Mode::AddBlankFrame;
    setWindowTitle(adding ? QStringLiteral("Add Blank Frame") : QStringLiteral("Frame Properties"));
    setFixedSize(kWidth, kHeight);
    WindowShape::round(*this, kCorner);
    m_size = adding ? remembered : frameSize;

    auto* title = new QLabel(windowTitle(), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setGeometry(16, 8, 200, 18);
    auto* close = new QPushButton(QStringLiteral("\u2715"), this);
    close->setFlat(true);
    close->setGeometry(kWidth - 30, 5, 16, 16); // command 10130: closes like Cancel
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto row = [this](const char* label, QLineEdit* edit, int y, int value) {
        auto* text = new QLabel(QString::fromLatin1(label), this);
        text->setGeometry(30, y, 80, 22);
        edit->setGeometry(110, y, 80, 22);
        edit->setText(QString::number(value));
        auto* unit = new QLabel(QStringLiteral("pixels"), this);
        unit->setGeometry(198, y, 60, 22);
    };
    row("Width", m_width, 42, m_size.width());    // edit 1025
    row("Height", m_height, 72, m_size.height()); // edit 1026

    // Cancel at (right - 120, bottom - 30, right - 55, bottom - 10), OK 130 pixels to its left.
    auto* cancel = new QPushButton(QString::fromStdString(texts.text(kTextCancel)), this);
    cancel->setGeometry(kWidth - 120, kHeight - 30, 65, 20);
    auto* ok = new QPushButton(QString::fromStdString(texts.text(kTextOk)), this);
    ok->setGeometry(kWidth - 250, kHeight - 30, 65, 20);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &FrameSizeDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (parent)
        move(parent->window()->geometry().center() - rect().center());
}

std::optional<QSize> FrameSizeDialog::ask(Mode mode, QSize frameSize, QSize remembered,
                                          const LanguageTable& texts, MessageSink* sink,
                                          QWidget* parent) {
    FrameSizeDialog dialog(mode, frameSize, remembered, texts, sink, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.frameSize();
}

void FrameSizeDialog::accept() {
    const std::optional<int> width = RangePrompt::check(*m_width, kRange, m_sink);
    if (!width)
        return;
    const std::optional<int> height = RangePrompt::check(*m_height, kRange, m_sink);
    if (!height)
        return;
    m_size = QSize(*width, *height);
    QDialog::accept();
}

void FrameSizeDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    WindowShape::paintFace(painter, rect(), kCorner, kFace, kEdge);
}
