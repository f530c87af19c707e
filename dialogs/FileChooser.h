#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a window asks of a file dialog. The filter is in the program's "desc|pattern||" form.
struct FileRequest {
    QString caption;              // empty: the dialog's own title
    QString filter;               // empty: every file
    QString start;                // a starting folder or file name; empty: the last one used
    bool confirmOverwrite = true; // saves: ask before replacing an existing file
};

// FileChooser: the file dialogs of the program's windows. Windows ask through this interface
// and never open a file dialog themselves, so that tests can answer with scripted choices.
// Every call returns nothing (an empty text or list) when the user cancels.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual QString saveFile(QWidget* parent, const FileRequest& request) = 0;
    virtual QString openFile(QWidget* parent, const FileRequest& request) = 0;
    virtual QStringList openFiles(QWidget* parent, const FileRequest& request) = 0;
};
