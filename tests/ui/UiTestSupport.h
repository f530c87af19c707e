#pragma once

#include "dialogs/FileChooser.h"
#include "document/MessageTarget.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// Answers the next modal dialog of type T: once it is the active modal widget, `answer` runs on
// it (and should close it). A dialog that does not appear within `timeoutMs`, or is still open
// that long after its answer, fails the test and is rejected so that its exec() returns.
template <typename T> void answerModal(std::function<void(T*)> answer, int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, waited, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (T* dialog = qobject_cast<T*>(modal)) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
            QPointer<T> answered(dialog);
            QTimer::singleShot(timeoutMs, [answered] {
                if (answered && answered->isVisible()) {
                    ADD_FAILURE() << "the answer left the " << T::staticMetaObject.className()
                                  << " open";
                    answered->reject();
                }
            });
            return;
        }
        if ((*waited += 10) < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
        if (auto* other = qobject_cast<QDialog*>(modal))
            other->reject();
    });
    timer->start();
}

// Records the messages posted to the main window.
class RecordingTarget : public MessageTarget {
public:
    struct Posted {
        MainMessage message;
        std::intptr_t wparam;
        std::intptr_t lparam;
    };
    std::vector<Posted> posted;
    void post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) override {
        posted.push_back({message, wparam, lparam});
    }
};

// File choices answered from a script: each call records its request and takes the next
// queued path (nothing when the queue is empty, as if the user cancelled); a choice of several
// files takes the next queued list first.
class ScriptedFileChooser : public FileChooser {
public:
    std::deque<QString> paths;
    std::deque<QStringList> lists;
    std::vector<FileRequest> requests;
    int calls() const { return static_cast<int>(requests.size()); }
    QString saveFile(QWidget*, const FileRequest& request) override { return next(request); }
    QString openFile(QWidget*, const FileRequest& request) override { return next(request); }
    QStringList openFiles(QWidget*, const FileRequest& request) override {
        if (lists.empty()) {
            const QString path = next(request);
            return path.isEmpty() ? QStringList() : QStringList{path};
        }
        requests.push_back(request);
        QStringList chosen = lists.front();
        lists.pop_front();
        return chosen;
    }

private:
    QString next(const FileRequest& request) {
        requests.push_back(request);
        if (paths.empty())
            return QString();
        const QString path = paths.front();
        paths.pop_front();
        return path;
    }
};
