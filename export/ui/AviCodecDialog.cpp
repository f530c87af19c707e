#include "export/ui/AviCodecDialog.h"

#include "controls/RangePrompt.h"
#include "document/LanguageTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultQuality = 75; // percent, shown while the codec's default is used
constexpr int kDefaultKeyFrames = 15;
constexpr int kDefaultKilobytes = 300;

QLineEdit* numberField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setFixedWidth(70);
    field->setAlignment(Qt::AlignRight);
    return field;
}

} // namespace

AviCodecDialog::AviCodecDialog(const LanguageTable& texts, MessageSink* sink, QWidget* parent,
                               const AviCompressOptions& initial)
    : QDialog(parent), m_codecs(AviCodecList::available()), m_sink(sink) {
    setWindowTitle(QStringLiteral("Video Compression"));
    buildControls(texts);
    showOptions(initial);
    updateEnabled();
}

void AviCodecDialog::buildControls(const LanguageTable& texts) {
    m_codec = new QComboBox(this);
    m_codec->setObjectName(QStringLiteral("codec"));
    for (const AviCodecInfo& info : m_codecs.codecs())
        m_codec->addItem(QString::fromStdString(info.name), QString::fromStdString(info.codec));
    m_quality = new QCheckBox(QStringLiteral("Compression quality:"), this);
    m_quality->setObjectName(QStringLiteral("useQuality"));
    m_qualitySlider = new QSlider(Qt::Horizontal, this);
    m_qualitySlider->setObjectName(QStringLiteral("quality"));
    m_qualitySlider->setRange(0, 100);
    m_qualityValue = new QLabel(this);
    m_qualityValue->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Codec default")));
    m_keyFrames = new QCheckBox(QStringLiteral("Key frame every"), this);
    m_keyFrames->setObjectName(QStringLiteral("useKeyFrames"));
    m_keyFrameEvery = numberField(this, "keyFrameEvery");
    m_dataRate = new QCheckBox(QStringLiteral("Data rate limit"), this);
    m_dataRate->setObjectName(QStringLiteral("useDataRate"));
    m_kilobytes = numberField(this, "kilobytesPerSecond");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(new QLabel(QStringLiteral("Compressor:"), this), 0, 0);
    grid->addWidget(m_codec, 0, 1, 1, 2);
    grid->addWidget(m_quality, 1, 0);
    grid->addWidget(m_qualitySlider, 1, 1);
    grid->addWidget(m_qualityValue, 1, 2);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(m_keyFrameEvery);
    m_keyFrameUnit = new QLabel(QStringLiteral("frames"), this);
    keyRow->addWidget(m_keyFrameUnit);
    keyRow->addStretch();
    grid->addWidget(m_keyFrames, 2, 0);
    grid->addLayout(keyRow, 2, 1, 1, 2);
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(m_kilobytes);
    m_dataRateUnit = new QLabel(QStringLiteral("KB/s"), this);
    rateRow->addWidget(m_dataRateUnit);
    rateRow->addStretch();
    grid->addWidget(m_dataRate, 3, 0);
    grid->addLayout(rateRow, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QString::fromStdString(texts.text(kTextOk)),
                                         QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromStdString(texts.text(kTextCancel)),
                       QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    ok->setEnabled(!m_codecs.codecs().empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &AviCodecDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AviCodecDialog::reject);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(20, 16, 20, 14);
    page->addLayout(grid);
    page->addSpacing(12);
    page->addStretch();
    page->addWidget(buttons);
    setMinimumWidth(440);

    connect(m_codec, &QComboBox::currentIndexChanged, this, &AviCodecDialog::updateEnabled);
    for (QCheckBox* box : {m_quality, m_keyFrames, m_dataRate})
        connect(box, &QCheckBox::toggled, this, &AviCodecDialog::updateEnabled);
    connect(m_qualitySlider, &QSlider::valueChanged, this, &AviCodecDialog::updateEnabled);
}

void AviCodecDialog::showOptions(const AviCompressOptions& options) {
    m_codec->setCurrentIndex(std::max(0, m_codecs.indexOf(options.codec)));
    m_quality->setChecked(options.quality >= 0);
    m_qualitySlider->setValue(options.quality >= 0 ? std::min(options.quality, 10000) / 100
                                                   : kDefaultQuality);
    m_keyFrames->setChecked(options.keyFrameEvery > 0);
    m_keyFrameEvery->setText(
        QString::number(options.keyFrameEvery > 0 ? options.keyFrameEvery : kDefaultKeyFrames));
    m_dataRate->setChecked(options.bytesPerSecond > 0);
    m_kilobytes->setText(QString::number(options.bytesPerSecond > 0
                                             ? std::max(1, options.bytesPerSecond / 1024)
                                             : kDefaultKilobytes));
}

const AviCodecInfo* AviCodecDialog::currentCodec() const {
    const int row = m_codec->currentIndex();
    return row >= 0 ? &m_codecs.codecs()[std::size_t(row)] : nullptr;
}

void AviCodecDialog::updateEnabled() {
    const AviCodecInfo* info = currentCodec();
    const bool rate = info && info->dataRate;
    const bool quality = info && info->quality && !(rate && m_dataRate->isChecked());
    const bool keys = info && info->keyFrames;
    m_quality->setEnabled(quality);
    m_qualitySlider->setEnabled(quality && m_quality->isChecked());
    m_qualityValue->setEnabled(quality);
    m_qualityValue->setText(quality && m_quality->isChecked()
                                ? QString::number(m_qualitySlider->value())
                                : QStringLiteral("Codec default"));
    m_keyFrames->setEnabled(keys);
    m_keyFrameEvery->setEnabled(keys && m_keyFrames->isChecked());
    m_keyFrameUnit->setEnabled(m_keyFrameEvery->isEnabled());
    m_dataRate->setEnabled(rate);
    m_kilobytes->setEnabled(rate && m_dataRate->isChecked());
    m_dataRateUnit->setEnabled(m_kilobytes->isEnabled());
}

void AviCodecDialog::accept() {
    const AviCodecInfo* info = currentCodec();
    if (!info)
        return;
    AviCompressOptions options;
    options.codec = info->codec;
    if (m_keyFrameEvery->isEnabled()) {
        const std::optional<int> frames =
            RangePrompt::check(*m_keyFrameEvery, kKeyFrameRange, m_sink);
        if (!frames)
            return;
        options.keyFrameEvery = *frames;
    }
    if (m_kilobytes->isEnabled()) {
        const std::optional<int> kilobytes =
            RangePrompt::check(*m_kilobytes, kDataRateRange, m_sink);
        if (!kilobytes)
            return;
        options.bytesPerSecond = *kilobytes * 1024;
    }
    if (m_qualitySlider->isEnabled())
        options.quality = m_qualitySlider->value() * 100;
    m_options = options;
    QDialog::accept();
}

std::optional<AviCompressOptions> AviCodecDialog::ask(QWidget* parent, const LanguageTable& texts,
                                                      MessageSink* sink,
                                                      const AviCompressOptions& initial) {
    AviCodecDialog dialog(texts, sink, parent, initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

AviExporter::CodecChooser AviCodecDialog::chooser(QWidget* parent, const LanguageTable& texts,
                                                  MessageSink* sink) {
    // The parent may be gone by the time an exporter asks; the dialog then has none.
    return [parent = QPointer<QWidget>(parent), &texts, sink] { return ask(parent, texts, sink); };
}
