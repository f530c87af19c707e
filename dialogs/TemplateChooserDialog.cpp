#include "dialogs/TemplateChooserDialog.h"

#include "document/FixedText.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/ProjectReader.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPushButton>

namespace {

constexpr const char* kCaption = "Zentravo";

// Every frame of an animated picture, each drawn over the ones before as the file says.
std::vector<QImage> readFrames(const QString& path) {
    std::vector<QImage> frames;
    QImageReader reader(path);
    const int count = reader.imageCount();
    for (int k = 0; count <= 0 || k < count; ++k) {
        QImage frame = reader.read();
        if (frame.isNull())
            break;
        frames.push_back(std::move(frame));
        if (count <= 0)
            break; // a still picture
    }
    return frames;
}

} // namespace

TemplateChooserDialog::TemplateChooserDialog(const std::string& templateFolder,
                                             const LanguageTable& texts, MessageSink& sink,
                                             QWidget* parent)
    : RoundedDialog(parent, kSize), m_sink(sink),
      m_view(new TemplateGridView(loadPreviews(templateFolder), this)) {
    setWindowTitle(QStringLiteral("Start with Sample Project"));
    m_view->setObjectName(QStringLiteral("templates"));
    m_view->setGeometry(kGridRect);
    connect(m_view, &TemplateGridView::templateActivated, this, &TemplateChooserDialog::accept);

    // Cancel at (right - 235, bottom - 30, right - 170, bottom - 10), OK 260 pixels left of it.
    const QRect cancelRect(QPoint(kSize.width() - 235, kSize.height() - 30),
                           QPoint(kSize.width() - 171, kSize.height() - 11));
    QPushButton* cancel = addButton(QString::fromStdString(texts.text(kTextCancel)), cancelRect);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &TemplateChooserDialog::reject);
    m_ok = addButton(QString::fromStdString(texts.text(kTextOk)), cancelRect.translated(-260, 0));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &TemplateChooserDialog::accept);
    m_ok->setFocus(Qt::OtherFocusReason);
}

std::vector<TemplatePreview> TemplateChooserDialog::loadPreviews(const std::string& folder) {
    std::vector<TemplatePreview> previews;
    for (int number = 1;; ++number) {
        const std::string base = folder + "template_" + std::to_string(number);
        const QString path = QString::fromStdString(base + ".gif");
        if (!QFileInfo(path).isFile())
            break;
        // A preview that cannot be read keeps its place (and its number) with no frames.
        TemplatePreview preview{readFrames(path), {}};
        if (const std::optional<ProjectHeader> header = ProjectReader::readHeader(base + ".vrn"))
            preview.name = QString::fromUtf8(fixedText(header->name).c_str()).trimmed();
        if (preview.name.isEmpty())
            preview.name = QStringLiteral("Sample Project %1").arg(number);
        previews.push_back(std::move(preview));
    }
    return previews;
}

void TemplateChooserDialog::accept() {
    const int selected = m_view->grid().selected();
    if (selected < 0) {
        m_sink.show(kNoSelection, kCaption, MessageIcon::Information);
        return;
    }
    m_chosen = selected;
    RoundedDialog::accept();
}
