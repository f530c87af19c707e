// Zentravo: the application. One copy runs per user: a second copy hands its project file (if
// it was given one) to the first, brings that copy's window forward and ends without a window.
#include "app/Application.h"
#include "app/Autosave.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"

#include <QApplication>
#include <QCursor>

int main(int argc, char** argv) {
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zentravo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zentravo"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QStringList arguments = QApplication::arguments();
    const QString projectFile = arguments.size() > 1 ? arguments.at(1) : QString();

    SingleInstance instance;
    if (!instance.claim()) {
        instance.askFirstCopy(projectFile); // whether or not it answers, this copy ends here
        return 0;
    }

    Application application(ProgramFolders::forExecutable());
    MainWindow window(application);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     [&window](const QString& path) {
                         window.bringForward();
                         if (!path.isEmpty())
                             window.openProjectFile(path);
                     });
    // The autosave's interval in milliseconds (tests shorten it); 2 minutes without it.
    if (const int interval = qEnvironmentVariableIntValue("ZENTRAVO_AUTOSAVE_MS"); interval > 0)
        window.autosave().setInterval(interval);
    window.show();
    // Work left by a copy that did not end cleanly is offered first, over the window (the
    // question waits for the user: no wait cursor).
    QApplication::restoreOverrideCursor();
    const bool restored = window.recoverWork(instance.previousCopyPid());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A project named on the command line is what the user came for (asking to save restored
    // work first); otherwise the welcome screen offers a sample or an existing project (when
    // the profile asks for it), unless work was just restored.
    if (!projectFile.isEmpty())
        window.openProjectFile(projectFile);
    else if (!restored)
        window.scheduleStartScreen();
    QApplication::restoreOverrideCursor();
    return QApplication::exec();
}
