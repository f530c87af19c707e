#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <sys/resource.h>

// One run of an outside program (our CLI and application, ffmpeg, ffprobe, Python, CMake) to
// its end, with what it printed. A program that did not finish in time or crashed has exit
// code -1. Every test that runs a program runs it through this.
struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    bool ok() const { return exitCode == 0; }

    // addressSpaceBytes > 0: the program runs with that much address space (RLIMIT_AS), so
    // that memory it would take beyond it fails there.
    static ProgramRun
    of(const QString& program, const QStringList& arguments, int timeoutMs = 120000,
       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
       qint64 addressSpaceBytes = 0) {
        QProcess process;
        process.setProcessEnvironment(environment);
        if (addressSpaceBytes > 0) {
            process.setChildProcessModifier([addressSpaceBytes] {
                const rlimit limit{rlim_t(addressSpaceBytes), rlim_t(addressSpaceBytes)};
                setrlimit(RLIMIT_AS, &limit);
            });
        }
        process.start(program, arguments);
        const bool finished = process.waitForFinished(timeoutMs);
        if (!finished) {
            process.kill();
            process.waitForFinished(5000);
        }
        const bool normal = finished && process.exitStatus() == QProcess::NormalExit;
        return {normal ? process.exitCode() : -1, process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
};
