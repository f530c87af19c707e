// One copy per user: the application started a second time hands over to the first.
#include "app/SingleInstance.h"

#include "tests/ProgramRun.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Asks from another thread, as a separate copy would, while this thread's event loop lets
// the first copy answer.
bool askFromAnotherThread(const SingleInstance& copy, const QString& file) {
    std::atomic<int> answer{-1};
    std::thread asking([&] { answer = copy.askFirstCopy(file) ? 1 : 0; });
    (void)QTest::qWaitFor([&] { return answer >= 0; }, 10000);
    asking.join();
    return answer == 1;
}

// The environment of a second copy whose runtime folder is `folder`.
QProcessEnvironment runtimeIn(const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", folder);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
}

TEST(SingleInstanceTest, ASecondCopyRaisesTheFirstAndEndsWithoutAWindow) {
    QTemporaryDir runtime;
    SingleInstance first(runtime.path());
    ASSERT_TRUE(first.claim());
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    // The real program as a separate process: it must end by itself, successfully.
    QProcess second;
    second.setProcessEnvironment(runtimeIn(runtime.path()));
    second.start(ZENTRAVO_APP, {"/tmp/some project.vrn"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toString(), "/tmp/some project.vrn");

    // Without a file it only asks to be brought forward.
    const SingleInstance third(runtime.path());
    EXPECT_TRUE(askFromAnotherThread(third, QString()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked.count() == 2; }, 2000));
    EXPECT_EQ(asked.at(1).at(0).toString(), QString());
}

TEST(SingleInstanceTest, ASecondCopyEndsAlsoWhenTheFirstDoesNotAnswer) {
    QTemporaryDir runtime;
    SingleInstance names(runtime.path());
    // A first copy that holds the lock and accepts connections but never answers.
    QLockFile lock(names.serverName() + ".lock");
    ASSERT_TRUE(lock.tryLock(0));
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(names.serverName()));
    QElapsedTimer clock;
    clock.start();
    QProcess second;
    second.setProcessEnvironment(runtimeIn(runtime.path()));
    second.start(ZENTRAVO_APP, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_LT(clock.elapsed(), 12000);
}

TEST(SingleInstanceTest, ALockLeftByAKilledCopyIsTakenOver) {
    QTemporaryDir runtime;
    SingleInstance copy(runtime.path());
    // What a killed copy leaves: a lock file naming a process that is gone, and a socket
    // file that nobody listens on.
    QFile stale(copy.serverName() + ".lock");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147483000\nzentravo_app_tests\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    QFile socketLeft(copy.serverName());
    ASSERT_TRUE(socketLeft.open(QIODevice::WriteOnly));
    socketLeft.close();

    ASSERT_TRUE(copy.claim());
    QSignalSpy asked(&copy, &SingleInstance::activationRequested);
    const SingleInstance later(runtime.path());
    EXPECT_FALSE(SingleInstance(runtime.path()).claim()); // now it is held
    EXPECT_TRUE(askFromAnotherThread(later, "a.vrn"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked.count() == 1; }, 2000));
}

} // namespace
