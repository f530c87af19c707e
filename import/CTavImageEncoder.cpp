#include "import/CTavImageEncoder.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace {

// The encoders in the order they are tried, each with its MIME type and its file-name
// extension list. Only those Qt can write at run time take part (Qt has no GIF writer).
struct EncoderRow {
    const char* format;
    const char* mimeType;
    const char* extensions;
};
constexpr EncoderRow kEncoders[] = {
    {"bmp", "image/bmp", "*.bmp;*.dib;*.rle"},
    {"jpeg", "image/jpeg", "*.jpg;*.jpeg;*.jpe;*.jfif"},
    {"gif", "image/gif", "*.gif"},
    {"tiff", "image/tiff", "*.tif;*.tiff"},
    {"png", "image/png", "*.png"},
};

} // namespace

CTavImageEncoder::CTavImageEncoder(const char* mimeTypeOrFileName) {
    std::string key =
        QByteArray(mimeTypeOrFileName ? mimeTypeOrFileName : "").toLower().toStdString();
    // A file name becomes "*" + its last extension; a MIME type holds no '.' and stays.
    const std::size_t dot = key.rfind('.');
    if (dot != std::string::npos)
        key = "*" + key.substr(dot);

    // An empty key would be a substring of every extension list.
    if (key.empty())
        return;
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    for (const EncoderRow& row : kEncoders) {
        if (!writable.contains(QByteArray(row.format)))
            continue;
        if (key == row.mimeType || std::string(row.extensions).find(key) != std::string::npos) {
            m_format = row.format;
            m_mimeType = row.mimeType;
            m_valid = true;
            break;
        }
    }
}

int CTavImageEncoder::write(const QImage& image, QIODevice* device) const {
    QImageWriter writer(device, m_format);
    if (m_mimeType == "image/jpeg")
        writer.setQuality(m_jpegQuality);
    // Qt's TIFF writer: compression 1 is LZW, 0 none.
    if (m_mimeType == "image/tiff")
        writer.setCompression(m_tiffCompression == kCompressionLzw);
    return writer.write(image) ? kOk : kGenericError;
}

int CTavImageEncoder::Save(const QImage& image, const char* path) {
    if (!m_valid)
        return kGenericError;
    if (image.isNull() || !path || !*path)
        return kInvalidParameter;
    // The old file stays in place until the new one is complete.
    QSaveFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly))
        return kWin32Error;
    const int status = write(image, &file);
    if (status != kOk) {
        file.cancelWriting();
        return status;
    }
    return file.commit() ? kOk : kWin32Error;
}

int CTavImageEncoder::Save(const QImage& image, QIODevice* stream) {
    if (!m_valid)
        return kGenericError;
    if (image.isNull() || !stream || !stream->isWritable())
        return kInvalidParameter;
    return write(image, stream);
}
