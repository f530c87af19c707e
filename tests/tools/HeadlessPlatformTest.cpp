// zentravo-cli needs no display: started from a desktop session whose X server is gone (the
// environment still names the xcb platform and a display), it runs its commands on the
// offscreen platform instead of aborting.
#include "tests/ProgramRun.h"

#include <QFile>
#include <QImage>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A display number no X server answers on: the first from 99 without a socket or lock file.
QString deadDisplay() {
    int number = 99;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
           QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
        ++number;
    return QStringLiteral(":%1").arg(number);
}

TEST(HeadlessPlatformTest, CommandsRunWhenTheEnvironmentNamesAGoneDisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", deadDisplay());
    environment.remove("WAYLAND_DISPLAY");
    QTemporaryDir folder;
    const QString sheet = folder.filePath("sheet.png");

    struct Row {
        QStringList arguments;
    };
    const Row rows[] = {
        {{"demo"}},
        {{"text-sheet", sheet}},        // measures and draws text: the fonts of a GUI application
        {{"demo", "-platform", "xcb"}}, // the command's arguments are not the platform's
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const ProgramRun run = ProgramRun::of(ZENTRAVO_CLI, row.arguments, 60000, environment);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("display")) << run.err.toStdString();
        EXPECT_FALSE(run.out.isEmpty());
    }
    const QImage drawn(sheet);
    EXPECT_FALSE(drawn.isNull());
}

} // namespace
