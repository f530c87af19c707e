#pragma once

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/ProjectDialogs.h"
#include "tests/document/RecordingMessageSink.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>

// Dialogs answered from scripts: each call takes the next queued answer (nothing when the
// queue is empty, as if the user cancelled) and is counted.
class ScriptedDialogs : public ProjectDialogs {
public:
    std::deque<std::optional<ProjectProperties>> newProjects;
    std::deque<std::optional<std::string>> names;
    std::deque<std::optional<std::string>> projects;
    std::deque<std::optional<int>> samples;
    int newProjectCalls = 0, propertiesCalls = 0, nameCalls = 0, chooseCalls = 0,
        sampleCalls = 0;

    std::optional<ProjectProperties> newProject(const ProjectProperties&) override {
        ++newProjectCalls;
        return take(newProjects);
    }
    std::optional<ProjectProperties> editProperties(const ProjectProperties&) override {
        ++propertiesCalls;
        return std::nullopt;
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

// A main window over a program root of its own (a temporary folder holding a copy of the
// bundled samples), with recorded messages and scripted dialogs.
class MainWindowHarness {
public:
    MainWindowHarness() {
        const QDir templates(ZENTRAVO_BINARY_DIR "/bin/template");
        QDir().mkpath(root.filePath("template"));
        for (const QFileInfo& file : templates.entryInfoList(QDir::Files))
            QFile::copy(file.filePath(), root.filePath("template/" + file.fileName()));
        application =
            std::make_unique<Application>(ProgramFolders(root.path().toStdString()));
        window = std::make_unique<MainWindow>(*application,
                                              MainWindowServices{&sink, &dialogs});
    }

    // Waits until the queued messages posted so far have been handled.
    static void settle() { QTest::qWait(20); }

    QTemporaryDir root;
    RecordingMessageSink sink;
    ScriptedDialogs dialogs;
    std::unique_ptr<Application> application;
    std::unique_ptr<MainWindow> window;
};
