#pragma once

#include "dialogs/FileChooser.h"

#include <QFileDialog>

// StandardFileChooser: the FileChooser of the application, over the platform's file dialog.
// A save adds no extension of its own: the caller settles the file's extension.
class StandardFileChooser : public FileChooser {
public:
    QString saveFile(QWidget* parent, const FileRequest& request) override;
    QString openFile(QWidget* parent, const FileRequest& request) override;
    QStringList openFiles(QWidget* parent, const FileRequest& request) override;

private:
    static QStringList run(QWidget* parent, const FileRequest& request,
                           QFileDialog::AcceptMode mode, QFileDialog::FileMode files);
};
