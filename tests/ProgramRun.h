#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// One run of an outside program (our CLI and application, ffmpeg, ffprobe, Python, CMake) to
// its end, with what it printed. A program that did not finish in time or crashed has exit
// code -1. Every test that runs a program runs it through this.
struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    bool ok() const { return exitCode == 0; }

    static ProgramRun of(const QString& program, const QStringList& arguments,
                         int timeoutMs = 120000,
                         const QProcessEnvironment& environment =
                             QProcessEnvironment::systemEnvironment()) {
        QProcess process;
        process.setProcessEnvironment(environment);
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
