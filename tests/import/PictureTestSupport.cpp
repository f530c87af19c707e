#include "tests/import/PictureTestSupport.h"

#include <QFile>
#include <QProcess>

PictureFolder::PictureFolder() {
    QProcess maker;
    maker.setProcessChannelMode(QProcess::ForwardedChannels);
    maker.start("/usr/bin/python3",
                {ZENTRAVO_SOURCE_DIR "/tests/import/make_pictures.py", m_dir.path()});
    m_ok = maker.waitForFinished(60000) && maker.exitStatus() == QProcess::NormalExit &&
           maker.exitCode() == 0;
}

const PictureFolder& PictureFolder::instance() {
    static PictureFolder folder;
    return folder;
}

QByteArray PictureFolder::read(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
