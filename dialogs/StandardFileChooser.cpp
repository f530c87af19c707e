#include "dialogs/StandardFileChooser.h"

#include "controls/FileFilter.h"

QString StandardFileChooser::saveFile(QWidget* parent, const FileRequest& request) {
    const QStringList chosen = run(parent, request, QFileDialog::AcceptSave, QFileDialog::AnyFile);
    return chosen.isEmpty() ? QString() : chosen.front();
}

QString StandardFileChooser::openFile(QWidget* parent, const FileRequest& request) {
    const QStringList chosen =
        run(parent, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
    return chosen.isEmpty() ? QString() : chosen.front();
}

QStringList StandardFileChooser::openFiles(QWidget* parent, const FileRequest& request) {
    return run(parent, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles);
}

QStringList StandardFileChooser::run(QWidget* parent, const FileRequest& request,
                                     QFileDialog::AcceptMode mode, QFileDialog::FileMode files) {
    QFileDialog dialog(parent, request.caption, request.start);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(files);
    if (!request.filter.isEmpty())
        dialog.setNameFilters(FileFilter::toQt(request.filter).split(QStringLiteral(";;")));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}
