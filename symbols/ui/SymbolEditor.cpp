#include "symbols/ui/SymbolEditor.h"

#include "controls/ImageButton.h"
#include "dialogs/FileChooser.h"
#include "dialogs/FrameSizeDialog.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "export/ui/ProgressPanel.h"
#include "import/ui/ImportVideoDialog.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/SymbolPictureImport.h"
#include "symbols/ui/FrameStrip.h"
#include "symbols/ui/PaintCanvasView.h"
#include "symbols/ui/ToolPalette.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include <tuple>

namespace {

constexpr char kNothingToSave[] = "Nothing on the workspace to create an animation symbol.";
constexpr char kDiscardChanges[] = "Discard the changes to this animation symbol?";
constexpr char kProductCaption[] = "Zentravo";

// Picture files: the program's list of picture types.
const char* const kPictureFilter =
    "(all picture files)|*.gif;*.ico;*.jpg;*.jpeg;*.bmp;*.png|(*.gif)|*.gif|(*.ico)|*.ico|"
    "(*.jpg)|*.jpg|(*.jpeg)|*.jpeg|(*.bmp)|*.bmp|(*.png)|*.png||";
// Video files: every container the video readers open, the common ones of today first.
const char* const kVideoFilter =
    "(all video files)|*.mp4;*.mkv;*.webm;*.mov;*.avi;*.wmv;*.asf|(*.mp4)|*.mp4|(*.mkv)|*.mkv|"
    "(*.webm)|*.webm|(*.mov)|*.mov|(*.avi)|*.avi|(*.wmv)|*.wmv|(*.asf)|*.asf||";

const QRect kStripArea(QPoint(20, 62), QPoint(699, 187));
const QRect kPaletteArea(QPoint(20, 200), QPoint(107, 499));
const QRect kCanvasArea(QPoint(120, 230), QPoint(529, 499));
const QRect kPreviewBox(QPoint(556, 218), QPoint(699, 361));
constexpr int kTextButtonsLeft = 20;
constexpr int kTextButtonsTop = 38;
constexpr int kTextButtonStep = 142;
constexpr QSize kTextButton{130, 16};
constexpr int kToolbarLeft = 120;
constexpr int kToolbarTop = 200;
constexpr int kToolbarStep = 26;
constexpr QSize kToolbarButton{24, 24};
constexpr QSize kDialogButton{125, 22};
// The onion skin toggle stands a little apart from the eight buttons before it.
constexpr int kOnionSkinLeft = kToolbarLeft + 8 * kToolbarStep + 6;

QSize s_rememberedFrameSize = SymbolEditor::kNewSymbolFrame;
bool s_onionSkinOn = false;

QImage transparentFrame(QSize size) {
    QImage frame(size, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    return frame;
}

} // namespace

SymbolEditor::SymbolEditor(const SymbolEditorServices& services, std::string libraryFolder,
                           QWidget* parent)
    : RoundedDialog(parent, kSize, 16), m_services(services), m_folder(std::move(libraryFolder)) {
    m_frames.append(transparentFrame(kNewSymbolFrame));
    build();
    start();
}

SymbolEditor::SymbolEditor(const SymbolEditorServices& services, std::string libraryFolder,
                           SymbolId id, std::uint32_t frameCount, QWidget* parent)
    : RoundedDialog(parent, kSize, 16), m_services(services), m_folder(std::move(libraryFolder)),
      m_symbol(id) {
    const SymbolLibrary library(m_folder);
    // A symbol file always holds a frame: a count of none means the file could not be read.
    m_loaded = frameCount > 0;
    for (std::uint32_t i = 0; i < frameCount; ++i) {
        const QImage frame = library.loadFrame(id, i);
        if (frame.isNull()) {
            m_loaded = false;
            break;
        }
        m_frames.append(frame.convertToFormat(QImage::Format_ARGB32));
    }
    build();
    start();
}

SymbolEditor::SymbolEditor(const SymbolEditorServices& services, std::string libraryFolder,
                           std::optional<SymbolId> editing, const std::vector<QImage>& frames,
                           QWidget* parent)
    : RoundedDialog(parent, kSize, 16), m_services(services), m_folder(std::move(libraryFolder)),
      m_symbol(editing) {
    for (const QImage& frame : frames)
        m_frames.append(frame.convertToFormat(QImage::Format_ARGB32));
    build();
    start();
    m_opened.clear(); // the library holds none of this work yet
}

SymbolEditor::~SymbolEditor() = default;

QSize SymbolEditor::rememberedFrameSize() {
    return s_rememberedFrameSize;
}

void SymbolEditor::setRememberedFrameSize(QSize size) {
    s_rememberedFrameSize = size;
}

bool SymbolEditor::onionSkinOn() {
    return s_onionSkinOn;
}

void SymbolEditor::setOnionSkinOn(bool on) {
    s_onionSkinOn = on;
}

QRect SymbolEditor::previewBox() {
    return kPreviewBox;
}

// ---- building -----------------------------------------------------------------------------

QAbstractButton* SymbolEditor::addCommandButton(int command, const QString& text,
                                                const QString& picture, const QRect& geometry) {
    auto* button = new ImageButton(picture, this);
    if (picture.isEmpty())
        button->setText(text);
    else
        button->setToolTip(text);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QAbstractButton::clicked, this, [this, command] { runCommand(command); });
    m_buttons[command] = button;
    return button;
}

void SymbolEditor::build() {
    setWindowTitle(tr("Symbol Editor"));
    const LanguageTable& texts = m_services.texts;

    m_strip = new FrameStrip(m_frames, this);
    m_strip->setGeometry(kStripArea);
    connect(m_strip, &FrameStrip::frameChosen, this, &SymbolEditor::switchTo);
    connect(m_strip, &FrameStrip::framesAboutToChange, this, &SymbolEditor::releaseCurrent);

    const std::pair<int, const char*> textButtons[] = {{CmdNewBlankFrame, "New Blank Frame"},
                                                       {CmdImportPicture, "Import Picture"},
                                                       {CmdImportVideo, "Import Video"},
                                                       {CmdRemoveFrame, "Remove Frame"}};
    for (std::size_t i = 0; i < std::size(textButtons); ++i)
        addCommandButton(textButtons[i].first, tr(textButtons[i].second), QString(),
                         QRect(QPoint(kTextButtonsLeft + int(i) * kTextButtonStep, kTextButtonsTop),
                               kTextButton));

    const std::tuple<int, const char*, const char*> tools[] = {
        {CmdCut, "Cut", ":/icons/cut.svg"},
        {CmdCopy, "Copy", ":/icons/copy.svg"},
        {CmdPaste, "Paste", ":/icons/paste.svg"},
        {CmdUndo, "Undo", ":/icons/undo.svg"},
        {CmdRedo, "Redo", ":/icons/redo.svg"},
        {CmdZoomIn, "Zoom in", ":/icons/zoomin.svg"},
        {CmdZoomOut, "Zoom out", ":/icons/zoomout.svg"},
        {CmdProperties, "Properties", ":/icons/properties.svg"}};
    for (std::size_t i = 0; i < std::size(tools); ++i) {
        const auto& [command, tip, picture] = tools[i];
        addCommandButton(
            command, tr(tip), QString::fromLatin1(picture),
            QRect(QPoint(kToolbarLeft + int(i) * kToolbarStep, kToolbarTop), kToolbarButton));
    }
    QAbstractButton* onion =
        addCommandButton(CmdOnionSkin, tr("Onion Skin (previous and next frame)"),
                         QStringLiteral(":/symbols/icons/onion-skin.svg"),
                         QRect(QPoint(kOnionSkinLeft, kToolbarTop), kToolbarButton));
    onion->setCheckable(true);
    onion->setChecked(s_onionSkinOn);

    m_palette = new ToolPalette(this);
    m_palette->setGeometry(kPaletteArea);
    m_canvas = new PaintCanvasView(m_services.folders, this);
    m_canvas->setGeometry(kCanvasArea);
    m_canvas->applyToolChange(m_palette->settings());
    connect(m_palette, &ToolPalette::toolChanged, this,
            [this] { m_canvas->applyToolChange(m_palette->settings()); });
    connect(m_canvas, &PaintCanvasView::colorPicked, this,
            [this](quint32 colour) { m_palette->setColor(colour); });
    connect(m_canvas, &PaintCanvasView::canvasChanged, this, &SymbolEditor::canvasChanged);

    // OK 40 pixels above Cancel, both 155 pixels left of the right edge.
    const QRect cancelArea(QPoint(kSize.width() - 155, kSize.height() - 72), kDialogButton);
    QPushButton* cancel = addButton(QString::fromStdString(texts.text(kTextCancel)), cancelArea);
    QPushButton* ok =
        addButton(QString::fromStdString(texts.text(m_symbol ? kTextOk : kTextCreateSymbol)),
                  cancelArea.translated(0, -40));
    m_buttons[CmdCancel] = cancel;
    m_buttons[CmdOk] = ok;
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, [this] { runCommand(CmdOk); });

    m_previewTimer.setInterval(kPreviewIntervalMs);
    connect(&m_previewTimer, &QTimer::timeout, this, &SymbolEditor::previewTick);
}

void SymbolEditor::start() {
    m_opened = m_frames.edited; // shares the pictures until one is edited
    m_strip->refresh();
    m_strip->model().selectIndex(0);
    if (m_frames.count() == 0)
        switchTo(-1); // nothing to paint on until a frame is added
    previewTick();
    m_previewTimer.start();
}

QAbstractButton* SymbolEditor::button(int command) const {
    const auto found = m_buttons.find(command);
    return found == m_buttons.end() ? nullptr : found->second;
}

// ---- commands -----------------------------------------------------------------------------

void SymbolEditor::runCommand(int command) {
    PaintCanvas& canvas = m_canvas->canvas();
    switch (command) {
    case CmdNewBlankFrame:
        newBlankFrame();
        break;
    case CmdImportPicture:
        importPicture();
        break;
    case CmdImportVideo:
        importVideo();
        break;
    case CmdRemoveFrame:
        removeFrame();
        break;
    case CmdOk:
        save();
        break;
    case CmdCancel:
        reject();
        break;
    case CmdCut:
        canvas.cut();
        break;
    case CmdCopy:
        canvas.copy();
        break;
    case CmdPaste:
        canvas.paste();
        break;
    case CmdUndo:
        canvas.undo();
        break;
    case CmdRedo:
        canvas.redo();
        break;
    case CmdZoomIn:
        canvas.zoomIn();
        break;
    case CmdZoomOut:
        canvas.zoomOut();
        break;
    case CmdProperties:
        resizeFrame();
        break;
    case CmdOnionSkin:
        s_onionSkinOn = !s_onionSkinOn;
        m_buttons[CmdOnionSkin]->setChecked(s_onionSkinOn);
        showOnionSkin();
        break;
    default:
        break;
    }
}

void SymbolEditor::newBlankFrame() {
    const std::optional<QSize> size =
        FrameSizeDialog::ask(FrameSizeDialog::Mode::AddBlankFrame, rememberedFrameSize(),
                             rememberedFrameSize(), m_services.texts, &m_services.sink, this);
    if (!size)
        return;
    setRememberedFrameSize(*size);
    m_canvas->canvas().dropFloatingSelection();
    m_frames.append(transparentFrame(*size));
    m_strip->refresh();
    m_strip->model().selectIndex(m_frames.count() - 1);
}

void SymbolEditor::importPicture() {
    FileRequest request;
    request.filter = QString::fromLatin1(kPictureFilter);
    request.confirmOverwrite = false;
    const QStringList paths = m_services.files.openFiles(this, request);
    if (paths.isEmpty())
        return;
    bool added = false;
    for (const QString& path : paths) {
        // A file that cannot be read, or has no picture, is passed over without a word; a GIF
        // too large to import says so.
        std::string refusal;
        for (const QImage& frame : SymbolPictureImport::load(path.toStdString(), &refusal)) {
            m_frames.append(frame);
            added = true;
        }
        if (!refusal.empty())
            m_services.sink.show(refusal, kProductCaption, MessageIcon::Exclamation);
    }
    if (added)
        selectLast();
}

void SymbolEditor::importVideo() {
    FileRequest request;
    request.filter = QString::fromLatin1(kVideoFilter);
    request.confirmOverwrite = false;
    const QString path = m_services.files.openFile(this, request);
    if (path.isEmpty())
        return;
    const int before = m_frames.count();
    const bool imported =
        ImportVideoDialog::run(path, m_frames, m_services.texts, m_services.sink, this);
    // Frames read before a failed grab stay; the strip shows them either way.
    if (imported || m_frames.count() != before)
        selectLast();
}

void SymbolEditor::selectLast() {
    releaseCurrent();
    m_strip->refresh();
    m_strip->model().selectIndex(m_frames.count() - 1);
    // Show the new last frame: after an import it usually lies beyond the visible cells.
    m_strip->model().setScroll(m_strip->model().scrollRange());
    m_strip->refresh();
}

void SymbolEditor::removeFrame() {
    m_strip->model().removeSelected(); // the strip announces it first (releaseCurrent)
    m_strip->refresh();
}

void SymbolEditor::resizeFrame() {
    if (m_current < 0)
        return;
    PaintCanvas& canvas = m_canvas->canvas();
    const std::optional<QSize> size =
        FrameSizeDialog::ask(FrameSizeDialog::Mode::FrameProperties, canvas.size(),
                             rememberedFrameSize(), m_services.texts, &m_services.sink, this);
    if (!size)
        return;
    canvas.dropFloatingSelection();
    // Journalled and reported like any edit, also when the size stays (a step to undo).
    canvas.resizePicture(*size);
}

bool SymbolEditor::hasContent() const {
    if (m_frames.count() == 0)
        return false;
    if (m_frames.count() > 1)
        return true;
    const QImage frame = m_frames.edited.front().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < frame.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x)
            if (qAlpha(line[x]) != 0)
                return true;
    }
    return false;
}

void SymbolEditor::save() {
    // The frames are checked as they are: a selection still floating is not yet part of them.
    if (!hasContent()) {
        m_services.sink.show(kNothingToSave, kProductCaption, MessageIcon::Information);
        return;
    }
    // A floating selection belongs to the picture it floats over.
    m_canvas->canvas().dropFloatingSelection();
    ProgressPanel progress(this);
    progress.move((width() - progress.width()) / 2, (height() - progress.height()) / 2);
    progress.show();
    progress.raise();
    progress.repaint();
    const auto advance = [&progress](int percent) {
        progress.setPercent(percent);
        progress.repaint();
    };
    // A new symbol's file is written before its id joins the index, and an edited symbol's
    // file is replaced only by a complete new one: a failed save leaves the library as it was.
    if (m_symbol) {
        if (SymbolLibrary::writeSymbol(m_folder, *m_symbol, m_frames.edited, advance))
            m_saved = m_symbol;
    } else {
        m_saved = SymbolLibrary::addSymbol(m_folder, m_frames.edited, advance);
    }
    progress.hide();
    if (!m_saved) {
        m_services.sink.show("The animation symbol could not be saved in the library folder.",
                             "Error", MessageIcon::Exclamation);
        return;
    }
    accept();
}

bool SymbolEditor::hasChanges() const {
    return m_canvas->canvas().selection().hasFloating() || m_frames.edited != m_opened;
}

void SymbolEditor::reject() {
    if (hasChanges() &&
        m_services.sink.show(kDiscardChanges, kProductCaption, MessageIcon::Question,
                             MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    RoundedDialog::reject();
}

// ---- frames -------------------------------------------------------------------------------

void SymbolEditor::switchTo(int index) {
    if (index < 0 || index >= m_frames.count()) {
        // No frame is left to paint on: the canvas goes until a frame is added.
        releaseCurrent();
        m_canvas->hide();
        return;
    }
    if (index == m_current)
        return;
    releaseCurrent();
    m_canvas->show();
    PaintCanvas& canvas = m_canvas->canvas();
    canvas.setPicture(m_frames.edited[std::size_t(index)]);
    m_current = index;
    showOnionSkin();
    m_canvas->update();
    m_previewCursor = 0;
    m_canvas->setFocus();
}

void SymbolEditor::releaseCurrent() {
    if (m_current >= 0 && m_current < m_frames.count())
        m_canvas->canvas().dropFloatingSelection();
    m_current = -1;
    showOnionSkin();
}

void SymbolEditor::showOnionSkin() {
    const int count = m_frames.count();
    const auto frameAt = [this, count](int index) {
        return s_onionSkinOn && m_current >= 0 && m_current < count && index >= 0 && index < count
                   ? m_frames.edited[std::size_t(index)]
                   : QImage();
    };
    m_canvas->setOnionSkin(frameAt(m_current - 1), frameAt(m_current + 1));
}

void SymbolEditor::canvasChanged() {
    if (m_current < 0 || m_current >= m_frames.count())
        return;
    m_frames.edited[std::size_t(m_current)] = m_canvas->canvas().picture().copy();
    m_strip->refresh();
}

void SymbolEditor::previewTick() {
    if (m_previewCursor >= m_frames.count())
        m_previewCursor = 0;
    if (m_frames.count() == 0) {
        m_preview = QImage();
    } else {
        m_preview = SymbolLibrary::fitted(m_frames.edited[std::size_t(m_previewCursor)],
                                          kPreviewBox.size().shrunkBy({4, 4, 4, 4}));
        ++m_previewCursor;
    }
    update(kPreviewBox.adjusted(-2, -2, 2, 2));
}

// ---- painting and keys --------------------------------------------------------------------

void SymbolEditor::paintContents(QPainter& painter) {
    painter.drawText(QRect(kPreviewBox.left(), kToolbarTop, kPreviewBox.width(), 16),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("Preview"));
    // The preview plays on a chequered ground so that transparent parts show as such.
    const QColor light(0xFF, 0xFF, 0xFF);
    const QColor dark(0xE4, 0xE8, 0xED);
    constexpr int kSquare = 8;
    painter.save();
    painter.setClipRect(kPreviewBox);
    for (int y = kPreviewBox.top(); y <= kPreviewBox.bottom(); y += kSquare)
        for (int x = kPreviewBox.left(); x <= kPreviewBox.right(); x += kSquare)
            painter.fillRect(
                x, y, kSquare, kSquare,
                ((x - kPreviewBox.left() + y - kPreviewBox.top()) / kSquare) % 2 ? dark : light);
    painter.restore();
    if (!m_preview.isNull()) {
        const QPoint at =
            kPreviewBox.center() - QPoint(m_preview.width() / 2, m_preview.height() / 2);
        painter.drawImage(at, m_preview);
    }
    painter.setPen(QColor(0x9A, 0xA6, 0xB4));
    painter.drawRect(kPreviewBox.adjusted(-1, -1, 0, 0));
}

void SymbolEditor::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the canvas (it closes a polygon), not to the OK button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    RoundedDialog::keyPressEvent(event);
}
