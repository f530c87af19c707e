#include "dialogs/StartProfile.h"

#include <QFile>

#include <filesystem>

namespace {

std::int32_t i32At(const QByteArray& bytes, int offset) {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v |= std::uint32_t(static_cast<unsigned char>(bytes[offset + k])) << (8 * k);
    return static_cast<std::int32_t>(v);
}

void appendI32(QByteArray& bytes, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const char le[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    bytes.append(le, 4);
}

} // namespace

StartProfile StartProfile::read(const std::string& path) {
    StartProfile profile;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return profile;
    const QByteArray bytes = file.read(kFileSize);
    if (bytes.size() >= 4)
        profile.showAtStartup = i32At(bytes, 0);
    if (bytes.size() >= 8)
        profile.choice = i32At(bytes, 4);
    return profile;
}

bool StartProfile::write(const std::string& path) const {
    QByteArray bytes;
    appendI32(bytes, showAtStartup); // offset 0
    appendI32(bytes, choice);        // offset 4
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
