#include "tools/cli/GrabCommand.h"

extern "C" {
#include <libavutil/log.h>
}

#include "import/VideoFrameSource.h"

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

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

    VideoFrameSource video;
    if (!video.open(path)) {
        err << "Can not load this video file.\n";
        return 1;
    }
    const double duration = video.duration();
    if (!video.contains(seconds)) {
        err << "The time " << seconds << " s is outside the video (0 to " << duration << " s).\n";
        return 1;
    }
    const QImage picture = video.seekGrab(seconds);
    if (picture.isNull()) {
        err << "No frame could be decoded at " << seconds << " s.\n";
        return 1;
    }
    if (!picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        err << "Can not write " << argv[2] << ".\n";
        return 1;
    }
    out << (video.usesFfmpeg() ? "ffmpeg" : "media detector") << " reader, " << video.width()
        << "x" << video.height()
        << ", " << duration << " s\n";
    return 0;
}
