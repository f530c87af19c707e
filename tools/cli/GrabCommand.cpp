#include "tools/cli/GrabCommand.h"

extern "C" {
#include <libavutil/log.h>
}

#include "import/MediaDetReader.h"
#include "import/VideoFrameReader.h"

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Turns the import layout (bottom row first, blue-green-red) into an upright RGB picture.
QImage uprightPicture(const std::vector<std::uint8_t>& bottomUpBgr, int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source =
            bottomUpBgr.data() + static_cast<std::size_t>(height - 1 - y) * width * 3;
        std::uint8_t* target = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            target[x * 3 + 0] = source[x * 3 + 2];
            target[x * 3 + 1] = source[x * 3 + 1];
            target[x * 3 + 2] = source[x * 3 + 0];
        }
    }
    return picture;
}

bool parseSeconds(const char* text, double& seconds) {
    char* end = nullptr;
    seconds = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(seconds);
}

} // namespace

int GrabCommand::run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    double seconds = 0.0;
    if (argc != 3 || !parseSeconds(argv[1], seconds)) {
        err << "usage: zentravo-cli grab VIDEO SECONDS OUT.png\n";
        return 2;
    }
    const char* path = argv[0];
    // stderr is the command's own channel: FFmpeg's warnings about damaged or odd files stay
    // out of it; the readers' own log lines (panic level) still show.
    av_log_set_level(AV_LOG_FATAL);

    std::uint8_t supported = 0;
    VideoFrameReader ffmpegReader;
    MediaDetReader detector;
    const bool useFfmpeg = VideoFrameReader::Probe(path, &supported) && supported == 1;
    const bool opened = useFfmpeg ? ffmpegReader.Open(path) : detector.Open(path) == 1;
    if (!opened) {
        err << "Can not load this video file.\n";
        return 1;
    }
    const double duration = useFfmpeg ? ffmpegReader.GetDuration() : detector.GetDuration();
    // The dialog refuses times before 0 and beyond the duration; the detector also refuses
    // the time equal to its stream length.
    const bool outside = seconds < 0.0 || seconds > duration || (!useFfmpeg && seconds >= duration);
    if (outside) {
        err << "The time " << seconds << " s is outside the video (0 to " << duration << " s).\n";
        return 1;
    }
    const bool grabbed = useFfmpeg ? ffmpegReader.SeekGrab(seconds) : detector.Grab(seconds) == 1;
    if (!grabbed) {
        err << "No frame could be decoded at " << seconds << " s.\n";
        return 1;
    }
    const int width = useFfmpeg ? ffmpegReader.GetWidth() : detector.GetWidth();
    const int height = useFfmpeg ? ffmpegReader.GetHeight() : detector.GetHeight();
    const QImage picture =
        uprightPicture(useFfmpeg ? ffmpegReader.copyFrame() : detector.copyFrame(), width, height);
    if (!picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        err << "Can not write " << argv[2] << ".\n";
        return 1;
    }
    out << (useFfmpeg ? "ffmpeg" : "media detector") << " reader, " << width << "x" << height
        << ", " << duration << " s\n";
    return 0;
}
