#include "dialogs/StartProfile.h"

#include "document/AtomicFile.h"
#include "document/ByteReader.h"
#include "document/ByteWriter.h"

#include <QBuffer>
#include <QFile>

StartProfile StartProfile::read(const std::string& path) {
    StartProfile profile;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return profile;
    // A short file keeps the defaults for what it lacks.
    ByteReader reader(file);
    if (reader.remaining() >= 4)
        profile.showAtStartup = reader.readI32();
    if (reader.remaining() >= 4)
        profile.choice = reader.readI32();
    return profile;
}

bool StartProfile::write(const std::string& path) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ByteWriter writer(buffer);
    writer.writeI32(showAtStartup); // offset 0
    writer.writeI32(choice);        // offset 4
    return writer.ok() && AtomicFile::replace(path, bytes);
}
