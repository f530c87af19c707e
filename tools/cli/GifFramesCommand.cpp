#include "tools/cli/GifFramesCommand.h"

#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"

#include <QDir>
#include <QImage>
#include <QString>
#include <QStringDecoder>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Straight (non-premultiplied) RGBA of the decoded picture; the transparent index has alpha 0.
QImage toRgba(const CxImage& image) {
    QImage out(image.GetWidth(), image.GetHeight(), QImage::Format_RGBA8888);
    for (int y = 0; y < image.GetHeight(); ++y) {
        uchar* line = out.scanLine(y);
        const int row = image.GetHeight() - 1 - y;
        for (int x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD c = image.GetPixelColor(x, row, true);
            line[x * 4 + 0] = c.rgbRed;
            line[x * 4 + 1] = c.rgbGreen;
            line[x * 4 + 2] = c.rgbBlue;
            line[x * 4 + 3] = c.rgbReserved;
        }
    }
    return out;
}

// A comment as a JSON string in ASCII. Comments are bytes: they read as UTF-8 when they are
// valid UTF-8, else as Latin-1 (as project texts do); every character outside printable ASCII
// is written as \uXXXX (UTF-16 units, so characters past U+FFFF give a surrogate pair).
std::string jsonString(const char* text) {
    const QByteArrayView bytes(text, static_cast<qsizetype>(std::strlen(text)));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (utf8.hasError())
        decoded = QString::fromLatin1(bytes);
    std::string s = "\"";
    for (const QChar c : decoded) {
        const char16_t unit = c.unicode();
        if (unit == '"' || unit == '\\') {
            s += '\\';
            s += static_cast<char>(unit);
        } else if (unit < 0x20 || unit >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(unit));
            s += buf;
        } else {
            s += static_cast<char>(unit);
        }
    }
    return s + "\"";
}

} // namespace

int GifFramesCommand::run(const char* gifPath, const char* outDir, std::ostream& out,
                          std::ostream& err) {
    std::ifstream in(gifPath, std::ios::binary);
    if (!in) {
        err << "zentravo-cli: cannot open " << gifPath << "\n";
        return 1;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (!QDir().mkpath(QString::fromLocal8Bit(outDir))) {
        err << "zentravo-cli: cannot create " << outDir << "\n";
        return 1;
    }

    CxImageGIF first;
    CxMemFile file(bytes.data(), bytes.size());
    if (!first.Decode(&file)) {
        err << "zentravo-cli: " << gifPath << ": " << first.GetLastError() << "\n";
        return 1;
    }
    const int frames = first.GetNumFrames();
    std::vector<unsigned> delays;
    std::vector<int> disposals;
    // Decoding the last frame reads every extension before it: the loop count and comment
    // are taken from there, wherever they sit in the file.
    int loops = first.GetLoops();
    std::string comment = first.comment();
    for (int n = 0; n < frames; ++n) {
        CxImageGIF frame;
        CxMemFile frameFile(bytes.data(), bytes.size());
        frame.SetFrame(n);
        if (!frame.Decode(&frameFile)) {
            err << "zentravo-cli: " << gifPath << ": frame " << n << ": " << frame.GetLastError()
                << "\n";
            return 1;
        }
        char name[32];
        std::snprintf(name, sizeof name, "frame_%03d.png", n);
        const QString path = QDir(QString::fromLocal8Bit(outDir)).filePath(name);
        if (!toRgba(frame).save(path, "PNG")) {
            err << "zentravo-cli: cannot write " << path.toStdString() << "\n";
            return 1;
        }
        if (n == frames - 1) {
            loops = frame.GetLoops();
            comment = frame.comment();
        }
        delays.push_back(frame.GetFrameDelay());
        disposals.push_back(frame.GetDisposalMethod());
    }

    out << "{\"width\": " << first.GetWidth() << ", \"height\": " << first.GetHeight()
        << ", \"frames\": " << frames << ", \"loops\": " << loops
        << ", \"comment\": " << jsonString(comment.c_str()) << ", \"delays\": [";
    for (std::size_t i = 0; i < delays.size(); ++i)
        out << (i ? ", " : "") << delays[i];
    out << "], \"disposal\": [";
    for (std::size_t i = 0; i < disposals.size(); ++i)
        out << (i ? ", " : "") << disposals[i];
    out << "]}\n";
    return 0;
}
