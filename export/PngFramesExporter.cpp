#include "export/PngFramesExporter.h"

#include "export/FramePixels.h"
#include "import/CTavImageEncoder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// A frame compressed to PNG bytes; empty when it could not be.
class PreparedPngFrame : public PreparedFrame {
public:
    QByteArray png;
};

QString local(const std::string& path) {
    return QString::fromLocal8Bit(path.c_str());
}

} // namespace

PngFramesExporter::PngFramesExporter(const ExportSettings& settings) : m_settings(settings) {}

std::string PngFramesExporter::framePath(const std::string& path, int index) {
    std::string base = path;
    if (base.empty() || base.back() == '/')
        base += "frame";
    char number[16];
    std::snprintf(number, sizeof number, "_%04d.png", index);
    return base + number;
}

bool PngFramesExporter::open(const std::string& path, int width, int height, int) {
    clearError();
    m_path = path;
    m_width = width;
    m_height = height;
    m_written.clear();
    m_madeFolders.clear();
    m_open = false;
    const QString folder = QFileInfo(local(framePath(path, 0))).absolutePath();
    const std::string cannotWrite = "Cannot write PNG frames into " + folder.toStdString();
    if (width <= 0 || height <= 0)
        return fail(cannotWrite + ": the stage has no size");
    // The folders that do not exist yet, outermost first: abort() removes them again.
    for (QString missing = folder; !QFileInfo::exists(missing);
         missing = QFileInfo(missing).absolutePath())
        m_madeFolders.insert(m_madeFolders.begin(), missing.toStdString());
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        abort();
        return fail(cannotWrite + ": the folder cannot be made");
    }
    m_open = true;
    return true;
}

std::unique_ptr<PreparedFrame> PngFramesExporter::prepare(QImage frame) const {
    auto prepared = std::make_unique<PreparedPngFrame>();
    if (frame.width() == m_width && frame.height() == m_height) {
        const QImage pixels =
            FramePixels::forOutput(frame, m_settings.transparent, m_settings.background);
        QBuffer buffer(&prepared->png);
        CTavImageEncoder encoder("image/png");
        if (!buffer.open(QIODevice::WriteOnly) ||
            encoder.Save(pixels, &buffer) != CTavImageEncoder::kOk)
            prepared->png.clear();
    }
    prepared->picture = std::move(frame);
    return prepared;
}

bool PngFramesExporter::writePrepared(PreparedFrame& frame, int index) {
    if (!m_open)
        return fail("The PNG frames are not open");
    std::unique_ptr<PreparedFrame> made;
    const PreparedPngFrame* png = own<PreparedPngFrame>(frame, made);
    const std::string path = framePath(m_path, index);
    const std::string failed = "Writing the PNG frame " + path + " failed";
    if (!png || png->png.isEmpty())
        return fail(failed + ": the frame could not be compressed (not of the stage's size, "
                             "or no memory)");
    QSaveFile file(local(path));
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(png->png) == png->png.size() && file.commit();
    if (!written) // the system's reason: Qt words a failed write as "Unknown error"
        return fail(failed + ": " + std::strerror(errno));
    m_written.push_back(path);
    return true;
}

bool PngFramesExporter::finish() {
    if (!m_open)
        return fail("The PNG frames are not open");
    m_open = false;
    return true;
}

void PngFramesExporter::abort() {
    for (const std::string& path : m_written)
        QFile::remove(local(path));
    m_written.clear();
    for (auto folder = m_madeFolders.rbegin(); folder != m_madeFolders.rend(); ++folder)
        QDir().rmdir(local(*folder)); // only when empty: nothing of anyone else's goes
    m_madeFolders.clear();
    m_open = false;
}
