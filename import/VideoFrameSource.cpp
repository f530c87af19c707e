#include "import/VideoFrameSource.h"

bool VideoFrameSource::open(const std::string& path) {
    std::uint8_t supported = 0;
    m_ffmpeg = VideoFrameReader::Probe(path.c_str(), &supported) && supported == 1;
    m_open = m_ffmpeg ? m_reader.Open(path.c_str()) : m_detector.Open(path.c_str()) == 1;
    return m_open;
}

bool VideoFrameSource::contains(double seconds) const {
    if (!m_open || seconds < 0.0 || seconds > duration())
        return false;
    return m_ffmpeg || seconds < duration();
}

QImage VideoFrameSource::picture() {
    return uprightPicture(m_ffmpeg ? m_reader.copyFrame() : m_detector.copyFrame(), width(),
                          height());
}

QImage VideoFrameSource::seekGrab(double seconds) {
    if (!contains(seconds))
        return QImage();
    const bool grabbed = m_ffmpeg ? m_reader.SeekGrab(seconds) : m_detector.Grab(seconds) == 1;
    return grabbed ? picture() : QImage();
}

QImage VideoFrameSource::stepGrab(double seconds) {
    if (!contains(seconds))
        return QImage();
    const bool grabbed = m_ffmpeg ? m_reader.StepGrab(seconds) : m_detector.Grab(seconds) == 1;
    return grabbed ? picture() : QImage();
}

QImage VideoFrameSource::uprightPicture(const std::vector<std::uint8_t>& bottomUpBgr, int width,
                                        int height) {
    if (width <= 0 || height <= 0 ||
        bottomUpBgr.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return QImage();
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
