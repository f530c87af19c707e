#pragma once

#include "bench/RatioReporter.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

// The files a benchmark program writes and their figures, kept by benchmark name for the table
// it prints after the run; the ffmpeg-like programs it runs; the machine's load beside it.
struct BenchOutput {
    QString file;
    double psnr = 0;
    qint64 bytes = 0;
};

// The folder of the run's files, removed at exit.
inline QTemporaryDir& outputFolder() {
    static QTemporaryDir dir;
    return dir;
}

inline std::map<std::string, BenchOutput>& outputs() { // benchmark function name -> figures
    static std::map<std::string, BenchOutput> o;
    return o;
}

// Keeps `file`'s figures under `name` and shows them as the benchmark's counters.
inline void recordOutput(benchmark::State& state, const char* name, const QString& file,
                         double psnr) {
    BenchOutput& out = outputs()[name];
    out.file = file;
    out.psnr = psnr;
    out.bytes = QFile(file).size();
    state.counters["psnr_dB"] = out.psnr;
    state.counters["kB"] = double(out.bytes) / 1000.0;
}

// Runs `program` once per iteration; false (the benchmark skipped with its message) when it
// fails.
inline bool runEachIteration(benchmark::State& state, const QString& program,
                             const QStringList& arguments) {
    for (auto _ : state) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            state.SkipWithError(
                (program + " failed: " + process.readAllStandardError()).toStdString().c_str());
            return false;
        }
    }
    return true;
}

// The load average line of the machine (1, 5, 15 minutes, tasks).
inline std::string loadAverage() {
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toStdString() : "?";
}

// Runs the benchmarks on the command line (real time), hands their times to `table`, and
// prints the machine's load before and after.
inline void runAndPrint(const std::function<void(const RatioReporter&)>& table) {
    const std::string before = loadAverage();
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    table(reporter);
    std::printf("load average (1, 5, 15 min) before: %s, after: %s, on %d cores\n", before.c_str(),
                loadAverage().c_str(), QThread::idealThreadCount());
}
