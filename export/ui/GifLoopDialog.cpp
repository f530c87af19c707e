#include "export/ui/GifLoopDialog.h"

#include "controls/RangePrompt.h"
#include "document/LanguageTable.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

GifLoopDialog::GifLoopDialog(const LanguageTable& texts, MessageSink* sink, QWidget* parent)
    : QDialog(parent), m_sink(sink),
      m_forever(new QRadioButton(QStringLiteral("Repeat Forever"), this)),
      m_times(new QRadioButton(QStringLiteral("Repeat Times"), this)), m_count(new QLineEdit(this)),
      m_best(new QCheckBox(QStringLiteral("Best quality, smaller file"), this)),
      m_choices(new QVBoxLayout) {
    setWindowTitle(QStringLiteral("GIF Animation Loop Setting"));
    setFixedSize(kWidth, kHeight);
    m_forever->setObjectName(QStringLiteral("repeatForever")); // command 10750
    m_times->setObjectName(QStringLiteral("repeatTimes"));     // command 10751
    m_count->setObjectName(QStringLiteral("repeatCount"));
    m_count->setText(QString::number(kCountRange.low()));
    m_count->setFixedWidth(70);
    m_count->setAlignment(Qt::AlignRight);

    auto* timesRow = new QHBoxLayout;
    timesRow->addWidget(m_times);
    timesRow->addSpacing(8);
    timesRow->addWidget(m_count);
    timesRow->addStretch();
    m_choices->setSpacing(10);
    m_choices->addWidget(m_forever);
    m_choices->addLayout(timesRow);
    m_best->setObjectName(QStringLiteral("bestQuality"));
    m_best->setChecked(s_quality == GifQuality::Best);
    m_choices->addWidget(m_best);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QString::fromStdString(texts.text(kTextOk)),
                                         QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromStdString(texts.text(kTextCancel)),
                       QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &GifLoopDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GifLoopDialog::reject);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(20, 16, 20, 14);
    page->addLayout(m_choices);
    page->addStretch(); // room for the rows of later options
    page->addWidget(buttons);

    connect(m_forever, &QRadioButton::clicked, this, [this] { chooseForever(true); });
    connect(m_times, &QRadioButton::clicked, this, [this] { chooseForever(false); });
    m_forever->setChecked(true);
    m_count->setEnabled(false);
}

std::optional<int> GifLoopDialog::ask(QWidget* parent, const LanguageTable& texts,
                                      MessageSink* sink) {
    GifLoopDialog dialog(texts, sink, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.loopSetting();
}

void GifLoopDialog::chooseForever(bool always) {
    // ("forever" is a Qt keyword macro.)
    m_forever->setChecked(always);
    m_times->setChecked(!always);
    m_count->setEnabled(!always);
    if (!always) {
        // The count is what the user came to change.
        m_count->setFocus(Qt::OtherFocusReason);
        m_count->selectAll();
    }
}

void GifLoopDialog::accept() {
    // The count only matters, and is only checked, when "Repeat Times" is chosen: a disabled
    // field could not take the focus for a correction.
    if (m_forever->isChecked()) {
        m_loopSetting = 0;
    } else {
        const std::optional<int> count = RangePrompt::check(*m_count, kCountRange, m_sink);
        if (!count)
            return;
        m_loopSetting = *count;
    }
    s_quality = m_best->isChecked() ? GifQuality::Best : GifQuality::Classic;
    QDialog::accept();
}
