#include "document/AtomicFile.h"

#include <QFile>

#include <filesystem>

bool AtomicFile::replace(const std::string& path, const QByteArray& bytes) {
    const std::string temporary = path + ".saving";
    QFile file(QString::fromStdString(temporary));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool written = file.write(bytes) == bytes.size();
    file.close();
    written = written && file.error() == QFileDevice::NoError;
    std::error_code error;
    if (written)
        std::filesystem::rename(temporary, path, error);
    if (!written || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}
