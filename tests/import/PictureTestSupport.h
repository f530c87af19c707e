#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The pictures of make_pictures.py, written once per test program into a temporary folder.
class PictureFolder {
public:
    static const PictureFolder& instance();
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray read(const QString& name) const;
    bool ok() const { return m_ok; }

private:
    PictureFolder();
    QTemporaryDir m_dir;
    bool m_ok = false;
};
