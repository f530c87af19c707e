#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>

class QImage;
class QIODevice;

// CTavImageEncoder: saves a QImage with the image writer that matches a MIME type or a file
// name, chosen once at construction. Status codes follow the classic picture-library values:
// 0 Ok, 1 GenericError (also: no encoder matched), 2 InvalidParameter, 7 Win32Error (the file
// could not be created or replaced). A failed save never leaves a half-written target.
class CTavImageEncoder {
public:
    static constexpr int kOk = 0;
    static constexpr int kGenericError = 1;
    static constexpr int kInvalidParameter = 2;
    static constexpr int kWin32Error = 7;
    // TIFF compression value for LZW (the only one the TIFF writer offers besides none).
    static constexpr std::int32_t kCompressionLzw = 2;

    // A MIME type ("image/png") or a file name ("Frame.PNG" selects by "*.png").
    explicit CTavImageEncoder(const char* mimeTypeOrFileName);

    // JPEG quality 0..100 for the next save (not checked here).
    void SetJpgQuality(std::int32_t quality) { m_jpegQuality = quality; }
    // Writes the picture to a temporary file beside path and renames it over path on success.
    int Save(const QImage& image, const char* path);
    // Writes the picture at the stream's position; the stream must be open for writing.
    int Save(const QImage& image, QIODevice* stream);

    bool IsValid() const { return m_valid; }
    // Lower-case MIME type of the chosen encoder; empty when none matched.
    const std::string& GetMimeType() const { return m_mimeType; }

private:
    int write(const QImage& image, QIODevice* device) const;

    QByteArray m_format; // the Qt image writer's format name, standing for the encoder's id
    bool m_valid = false;
    std::string m_mimeType;
    std::int32_t m_jpegQuality = 90;
    std::int32_t m_tiffCompression = kCompressionLzw;
};
