#pragma once

#include "app/Application.h"
#include "app/MainWindow.h"
#include "dialogs/ProjectDialogs.h"
#include "dialogs/FileChooser.h"
#include "export/ui/ProgressWindow.h"
#include "stage/ui/StageView.h"
#include "symbols/ui/ModalSymbolEditor.h"
#include "symbols/ui/SymbolEditor.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/ui/UiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// Dialogs answered from scripts: each call takes the next queued answer (nothing when the
// queue is empty, as if the user cancelled) and is counted.
class ScriptedDialogs : public ProjectDialogs {
public:
    std::deque<std::optional<ProjectProperties>> newProjects;
    std::deque<std::optional<ProjectProperties>> properties;
    std::deque<std::optional<std::string>> names;
    std::deque<std::optional<std::string>> projects;
    std::deque<std::optional<int>> samples;
    int newProjectCalls = 0, propertiesCalls = 0, nameCalls = 0, chooseCalls = 0, sampleCalls = 0;
    ProjectProperties shownProperties; // what the last properties dialog was opened with

    std::optional<ProjectProperties> newProject(const ProjectProperties&) override {
        ++newProjectCalls;
        return take(newProjects);
    }
    std::optional<ProjectProperties> editProperties(const ProjectProperties& current) override {
        ++propertiesCalls;
        shownProperties = current;
        return take(properties);
    }
    std::optional<std::string> projectName() override {
        ++nameCalls;
        return take(names);
    }
    std::optional<std::string> chooseProject(const std::string&) override {
        ++chooseCalls;
        return take(projects);
    }
    std::optional<int> chooseSample() override {
        ++sampleCalls;
        return take(samples);
    }

private:
    template <typename T> static T take(std::deque<T>& queue) {
        if (queue.empty())
            return T{};
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};

// Files dragged from a file manager onto `window` at `at` (window pixels), as Qt delivers them:
// the drag enters the widget under the pointer (or the first of its parents that takes drops
// and accepts it), moves over it in small steps, and is dropped there, or leaves when `drop`
// is false. True when the drag was accepted and the drop taken.
inline bool dragFiles(QWidget* window, QPoint at, const QStringList& paths, bool drop = true) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.push_back(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QWidget* under = window->childAt(at);
    QWidget* target = nullptr;
    for (QWidget* w = under ? under : window; w && !target; w = w->parentWidget()) {
        if (w->acceptDrops()) {
            const QPoint start = w->mapFrom(window, at - QPoint(12, 0));
            QDragEnterEvent enter(start, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w, &enter);
            if (enter.isAccepted())
                target = w;
        }
        if (w == window)
            break;
    }
    if (!target)
        return false;
    for (int step = 1; step <= 6; ++step) {
        QDragMoveEvent move(target->mapFrom(window, at - QPoint(12 - 2 * step, 0)), Qt::CopyAction,
                            &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
    if (!drop) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
        return false;
    }
    QDropEvent dropped(QPointF(target->mapFrom(window, at)), Qt::CopyAction, &data,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

// A main window over a program root of its own (a temporary folder holding a copy of the
// bundled samples), with recorded messages and scripted dialogs.
class MainWindowHarness {
public:
    MainWindowHarness() {
        const QDir templates(ZENTRAVO_BINARY_DIR "/bin/template");
        QDir().mkpath(root.filePath("template"));
        for (const QFileInfo& file : templates.entryInfoList(QDir::Files))
            QFile::copy(file.filePath(), root.filePath("template/" + file.fileName()));
        application = std::make_unique<Application>(ProgramFolders(root.path().toStdString()));
        MainWindowServices services;
        services.sink = &sink;
        services.dialogs = &dialogs;
        services.files = &files;
        services.exportAnswers.gifLoops = [this] { return gifLoops; };
        services.helpOpener = [this](const QUrl& page) {
            helpPagesOpened.push_back(page);
            return desktopOpensHelp;
        };
        window = std::make_unique<MainWindow>(*application, services);
    }

    // Waits until the messages queued to the window so far have been handled: a call queued
    // after them runs after them.
    void settle() {
        bool handled = false;
        QMetaObject::invokeMethod(
            window.get(), [&handled] { handled = true; }, Qt::QueuedConnection);
        EXPECT_TRUE(QTest::qWaitFor([&handled] { return handled; }, 5000));
    }

    // Waits until the worker has drawn the model as it is now (hit regions and handles).
    void waitForDraw() {
        StageCanvas& canvas = window->stage().canvas();
        const int draws = canvas.drawCount();
        canvas.requestRedraw();
        EXPECT_TRUE(QTest::qWaitFor([&] { return canvas.drawCount() > draws; }, 5000));
        settle();
    }

    // Runs `command` of the main window with `drive` working the symbol editor it opens; true
    // when `drive` ran. An editor that `drive` leaves open fails the test and is rejected.
    bool withEditor(CommandId command, std::function<void(SymbolEditor&)> drive) {
        bool ran = false;
        window->symbolEditor().setOpened([&](SymbolEditor& editor) {
            QTimer::singleShot(0, &editor, [&] {
                ran = true;
                drive(editor);
                if (editor.isVisible()) {
                    ADD_FAILURE() << "the editor was left open";
                    editor.reject();
                }
            });
        });
        window->runCommand(command);
        window->symbolEditor().setOpened({});
        return ran;
    }

    // The progress window while it is shown.
    static ProgressWindow* shownProgressWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<ProgressWindow*>(widget); shown && shown->isVisible())
                return shown;
        return nullptr;
    }
    // Waits until the export the window started has ended (finished or cancelled).
    bool waitForExportEnd() {
        ExportPipeline& pipeline = window->exportCommands().pipeline();
        const bool ended = QTest::qWaitFor(
            [&] { return shownProgressWindow() == nullptr && !pipeline.isRunning(); }, 30000);
        settle();
        return ended;
    }
    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir root;
    RecordingMessageSink sink;
    ScriptedDialogs dialogs;
    ScriptedFileChooser files;
    std::optional<int> gifLoops = 0; // what the GIF loop dialog answers
    bool desktopOpensHelp = false;   // whether the desktop has a handler for the help page
    std::vector<QUrl> helpPagesOpened;
    std::unique_ptr<Application> application;
    std::unique_ptr<MainWindow> window;
};

// The harness's window shown and active, the stage holding the focus; key() types where a
// person's key goes: to the control that has the focus.
class ShownMainWindow : public MainWindowHarness {
public:
    ShownMainWindow() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::setActiveWindow(window.get());
        window->stage().setFocus();
    }
    void key(int keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window.get(), Qt::Key(keyCode), modifiers);
    }
};
