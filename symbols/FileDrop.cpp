#include "symbols/FileDrop.h"

#include "import/CTavImage.h"
#include "import/PictureDecoder.h"

#include <QByteArray>

#include <algorithm>

namespace {

// The lower-case extension of the file name in `path`, empty when it has none.
QByteArray extensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return QByteArray(name.data() + dot + 1, qsizetype(name.size() - dot - 1)).toLower();
}

// The containers the symbol editor's video import offers.
constexpr const char* kVideoExtensions[] = {"mp4", "mkv", "webm", "mov", "avi", "wmv", "asf"};

} // namespace

bool FileDrop::isProject(std::string_view path) {
    return extensionOf(path) == "vrn";
}

bool FileDrop::isPicture(std::string_view path) {
    const QByteArray extension = extensionOf(path);
    return !extension.isEmpty() && CTavImage::FindType(extension.constData()) != kFormatUnknown;
}

bool FileDrop::isVideo(std::string_view path) {
    const QByteArray extension = extensionOf(path);
    return std::any_of(std::begin(kVideoExtensions), std::end(kVideoExtensions),
                       [&extension](const char* known) { return extension == known; });
}

FileDrop::Kind FileDrop::classify(const std::vector<std::string>& paths) {
    if (paths.empty())
        return Kind::None;
    if (paths.size() == 1 && isProject(paths.front()))
        return Kind::Project;
    if (paths.size() == 1 && isVideo(paths.front()))
        return Kind::Video;
    const bool pictures = std::all_of(paths.begin(), paths.end(),
                                      [](const std::string& path) { return isPicture(path); });
    return pictures ? Kind::Pictures : Kind::None;
}
