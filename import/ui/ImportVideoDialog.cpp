#include "import/ui/ImportVideoDialog.h"

#include "controls/ImageButton.h"
#include "controls/WindowShape.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "export/ui/ProgressPanel.h"
#include "import/ui/FrameRangeBar.h"
#include "symbols/FitSize.h"
#include "symbols/FrameLists.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kCorner = 8; // a 16 x 16 ellipse quarter
constexpr const char* kLoadFailedCaption = "Load video failed";
const QColor kFace(0xF1, 0xF3, 0xF6);
const QColor kEdge(0x8C, 0x95, 0xA0);
const QColor kCaption(0x22, 0x2A, 0x33);
const QColor kBoxFace(0x2B, 0x2F, 0x35);
const QColor kBoxEdge(0xB8, 0xC2, 0xCD);
const QColor kLabel(0x4A, 0x54, 0x60);

// The ruler at 14,32 - 536,100 (its scroll bar inside, along the bottom).
const QRect kRuler(QPoint(14, 32), QPoint(535, 99));
// The two preview boxes side by side under the ruler, each with a label above it.
constexpr int kBoxTop = 130;
constexpr int kBoxHeight = 236;
constexpr int kBoxWidth = 254;
constexpr int kBoxGap = 14;
constexpr int kLabelHeight = 18;

// Cancel from 220 pixels left of the right edge and 30 above the bottom, OK 180 further left.
constexpr int kButtonWidth = 85;
constexpr int kButtonHeight = 20;

QImage importPicture(const QImage& grabbed) {
    return grabbed.isNull() ? QImage() : grabbed.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

ImportVideoDialog::ImportVideoDialog(const QString& path, FrameLists& frames,
                                     const LanguageTable& texts, MessageSink& sink, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_path(path), m_frames(frames),
      m_sink(sink), m_ruler(new FrameRangeBar(this)),
      m_ok(new QPushButton(QString::fromStdString(texts.text(kTextOk)), this)),
      m_cancel(new QPushButton(QString::fromStdString(texts.text(kTextCancel)), this)),
      m_close(new ImageButton(QStringLiteral(":/icons/caption-close.svg"), this)),
      m_progressPanel(new ProgressPanel(this)) {
    setWindowTitle(QStringLiteral("Import Video Frames"));
    setModal(true);
    setFixedSize(kWidth, kHeight);
    WindowShape::round(*this, kCorner);

    m_ruler->setGeometry(kRuler);
    connect(m_ruler, &FrameRangeBar::rangeChanged, this, [this] {
        if (!m_importing)
            refreshPreviews();
    });

    m_close->setObjectName(QStringLiteral("closeButton")); // command 10130: closes like Cancel
    m_close->setGeometry(kWidth - 30, 6, 20, 20);
    connect(m_close, &QAbstractButton::clicked, this, &ImportVideoDialog::reject);

    m_cancel->setGeometry(kWidth - 220, kHeight - 30, kButtonWidth, kButtonHeight);
    m_ok->setGeometry(kWidth - 220 - 180, kHeight - 30, kButtonWidth, kButtonHeight);
    m_ok->setDefault(true);
    m_ok->setEnabled(false); // until a video is loaded
    connect(m_ok, &QPushButton::clicked, this, &ImportVideoDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &ImportVideoDialog::reject);

    // The progress shows over the middle of the previews while an import runs.
    m_progressPanel->move((kWidth - m_progressPanel->width()) / 2,
                          kBoxTop + (kBoxHeight - m_progressPanel->height()) / 2);
    m_progressPanel->hide();
}

bool ImportVideoDialog::load() {
    m_loaded = m_video.open(QFile::encodeName(m_path).toStdString());
    if (!m_loaded) {
        m_sink.show("Can not load this video file.", kLoadFailedCaption, MessageIcon::Exclamation);
        return false;
    }
    m_ruler->setTotal(FrameRangeModel::sampleCount(m_video.duration()));
    m_startSample = m_endSample = -1;
    refreshPreviews();
    return true;
}

bool ImportVideoDialog::run(const QString& path, FrameLists& frames, const LanguageTable& texts,
                            MessageSink& sink, QWidget* parent) {
    ImportVideoDialog dialog(path, frames, texts, sink, parent);
    if (!dialog.load())
        return false;
    return dialog.exec() == QDialog::Accepted;
}

const FrameRangeModel& ImportVideoDialog::model() const {
    return m_ruler->model();
}

void ImportVideoDialog::refreshPreviews() {
    const FrameRangeModel& range = model();
    // Nothing to import (a video shorter than one sample): nothing to confirm either.
    m_ok->setEnabled(m_loaded && range.count() > 0);
    if (!m_loaded || range.count() <= 0)
        return;
    // The last picture shown is the last one imported: the end marker is exclusive.
    const int startSample = range.sampleAt(range.start());
    const int endSample = range.sampleAt(range.end() - 1);
    if (startSample != m_startSample) {
        m_startPicture = importPicture(m_video.seekGrab(range.sampleTime(range.start())));
        m_startSample = startSample;
    }
    if (endSample != m_endSample) {
        m_endPicture = importPicture(m_video.seekGrab(range.sampleTime(range.end() - 1)));
        m_endSample = endSample;
    }
    update();
}

void ImportVideoDialog::accept() {
    if (m_importing || !m_loaded)
        return;
    importRange();
    QDialog::accept();
}

void ImportVideoDialog::reject() {
    if (!m_importing)
        QDialog::reject();
}

void ImportVideoDialog::importRange() {
    const FrameRangeModel& range = model();
    const int start = range.start();
    const int end = range.end();
    if (end <= start)
        return;
    m_importing = true;
    for (QWidget* control : {static_cast<QWidget*>(m_ok), static_cast<QWidget*>(m_cancel),
                             static_cast<QWidget*>(m_close), static_cast<QWidget*>(m_ruler)})
        control->setEnabled(false);
    m_progress = 0;
    m_progressPanel->setPercent(0);
    m_progressPanel->show();
    m_progressPanel->raise();

    // The FFmpeg reader steps forward from the picture a seek left it on.
    if (m_video.usesFfmpeg())
        m_video.seekGrab(range.sampleTime(start));
    int imported = 0;
    for (int i = start; i < end; ++i) {
        const QImage picture = importPicture(m_video.stepGrab(range.sampleTime(i)));
        if (picture.isNull())
            break; // the first picture that cannot be read ends the import
        m_frames.append(picture);
        ++imported;
        m_progress = (i - start + 1) * 100 / (end - start);
        m_progressPanel->setPercent(m_progress);
        m_progressPanel->repaint();
        // Shows the progress; the controls are disabled and input waits until the end.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    m_importing = false;
    // The frames read so far stay; the user is told that the rest is missing rather than
    // finding fewer frames in the strip than the ruler promised.
    if (imported < end - start)
        m_sink.show(QStringLiteral("Only %1 of the %2 frames could be read from this video file.")
                        .arg(imported)
                        .arg(end - start)
                        .toStdString(),
                    kLoadFailedCaption, MessageIcon::Exclamation);
}

QRect ImportVideoDialog::previewBox(int which) const {
    const int left = kRuler.left() + which * (kBoxWidth + kBoxGap);
    return QRect(left, kBoxTop, kBoxWidth, kBoxHeight);
}

void ImportVideoDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    WindowShape::paintFace(painter, rect(), kCorner, kFace, kEdge);

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(kCaption);
    painter.drawText(QRect(16, 6, 300, 22), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
    painter.setFont(font());

    // Each label tells the time of its picture.
    const FrameRangeModel& range = model();
    const double times[] = {range.sampleTime(range.start()), range.sampleTime(range.end() - 1)};
    const QString labels[] = {QStringLiteral("First frame"), QStringLiteral("Last frame")};
    const QImage* pictures[] = {&m_startPicture, &m_endPicture};
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int which = 0; which < 2; ++which) {
        const QRect box = previewBox(which);
        const QImage& picture = *pictures[which];
        painter.setPen(kLabel);
        painter.drawText(
            QRect(box.left(), box.top() - kLabelHeight - 2, box.width(), kLabelHeight),
            Qt::AlignLeft | Qt::AlignBottom,
            picture.isNull()
                ? labels[which]
                : QStringLiteral("%1 at %2 s").arg(labels[which]).arg(times[which], 0, 'f', 2));
        painter.fillRect(box, kBoxFace);
        painter.setPen(kBoxEdge);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (picture.isNull())
            continue;
        // Fitted into the box inside its edge, shape kept, small pictures enlarged too.
        const QRect inner = box.adjusted(2, 2, -2, -2);
        const QSize fitted = FitSize::fit(picture.size(), inner.size(), true);
        const QRect target(inner.left() + (inner.width() - fitted.width()) / 2,
                           inner.top() + (inner.height() - fitted.height()) / 2, fitted.width(),
                           fitted.height());
        painter.drawImage(target, picture);
    }
}

void ImportVideoDialog::showEvent(QShowEvent* event) {
    // Centred on the parent's window, or on the screen without one.
    const QRect area =
        parentWidget() ? parentWidget()->window()->frameGeometry() : screen()->availableGeometry();
    move(area.center() - rect().center());
    QDialog::showEvent(event);
}
