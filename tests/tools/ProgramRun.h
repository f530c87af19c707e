#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// One run of an outside program (our CLI, ffmpeg, ffprobe) with what it printed.
struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    static ProgramRun of(const QString& program, const QStringList& arguments,
                         int timeoutMs = 120000) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(timeoutMs);
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
};
