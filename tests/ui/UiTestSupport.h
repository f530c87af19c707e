#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Answers the next modal dialog of type T: once it is the active modal widget, `answer` runs on
// it (and should close it). A dialog that does not appear within `timeoutMs` fails the test;
// a modal window of another type open by then is rejected so that its exec() returns.
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
