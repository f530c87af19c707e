#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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
