// Zentravo: opens the project given on the command line, or else the first sample project,
// and shows its stage.
#include "app/MessageBoxSink.h"
#include "app/PreviewWindow.h"
#include "document/Document.h"
#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"
#include "document/ProjectEditor.h"
#include "document/ProjectStore.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const ProgramFolders folders = ProgramFolders::forExecutable();
    const LanguageTable language = LanguageTable::loadAtStart(folders, Language::English);
    MessageBoxSink sink;
    ProjectStore store(folders, sink);
    Document document;
    ProjectEditor editor(document);
    editor.startUnnamed(language.text(57));
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1)
        store.openFromFile(editor, arguments.at(1).toLocal8Bit().toStdString());
    else
        store.openSample(editor, 1);
    PreviewWindow window(editor);
    window.show();
    return app.exec();
}
