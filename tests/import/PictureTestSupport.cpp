#include "tests/import/PictureTestSupport.h"

#include "tests/ProgramRun.h"

#include <QFile>

#include <iostream>

PictureFolder::PictureFolder() {
    const ProgramRun maker = ProgramRun::of(
        "/usr/bin/python3", {ZENTRAVO_SOURCE_DIR "/tests/import/make_pictures.py", m_dir.path()},
        60000);
    m_ok = maker.ok();
    if (!m_ok)
        std::cerr << maker.out.toStdString() << maker.err.toStdString();
}

const PictureFolder& PictureFolder::instance() {
    static PictureFolder folder;
    return folder;
}

QByteArray PictureFolder::read(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
