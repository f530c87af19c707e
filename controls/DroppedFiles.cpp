#include "controls/DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

std::vector<std::string> DroppedFiles::paths(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        files.push_back(url.toLocalFile().toLocal8Bit().toStdString());
    }
    return files;
}

FileDrop::Kind DroppedFiles::kind(const QMimeData* data) {
    return FileDrop::classify(paths(data));
}
