// Exports from the real main window's menu, and a user's whole session from start to restart.
#include "app/MainWindow.h"

#include "document/LanguageTable.h"
#include "export/Mp4Exporter.h"
#include "export/WebmExporter.h"
#include "export/ui/ExportDialog.h"
#include "export/ui/GifLoopDialog.h"
#include "stage/ui/StageView.h"
#include "tests/ProgramRun.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSlider>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Chooses `text` in the popup menu that is open.
bool chooseMenuItem(MainWindow& window, const QString& text) {
    QMenu* menu = window.openMenu();
    if (!menu)
        return false;
    for (QAction* action : menu->actions())
        if (action->text() == text) {
            action->trigger();
            menu->close();
            return true;
        }
    return false;
}

class ExportWindowTest : public ::testing::Test, public MainWindowHarness {
protected:
    ExportWindowTest() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

// The visible export dialog, once it is shown.
ExportDialog* shownExportDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<ExportDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Works the export dialog as a person does once it shows: `drive` gets it. The dialog runs
// its own event loop, so this looks for it from timer ticks rather than waiting in a loop of
// its own; the test fails when the dialog never shows.
void whenExportDialogShows(std::function<void(ExportDialog&)> drive) {
    auto* poll = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, ticks, drive] {
        ExportDialog* dialog = shownExportDialog();
        if (!dialog && ++*ticks < 250)
            return;
        poll->stop();
        poll->deleteLater();
        if (dialog)
            drive(*dialog);
        else
            ADD_FAILURE() << "the export dialog did not show";
    });
    poll->start(20);
}

TEST_F(ExportWindowTest, TheExportDialogMakesAShareFormatAndRemembersTheChoicesMade) {
    MainWindow& w = *window;
    QImage square(24, 18, QImage::Format_ARGB32);
    square.fill(qRgb(200, 60, 20));
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), {square}));
    w.runCommand(CommandId::AppendLiner);
    w.editor().editObject(1, [](AnimationObject& moving) { moving.record.endX = 250; });

    const QString clip = root.filePath("clip"); // the format's extension is appended
    whenExportDialogShows([&](ExportDialog& dialog) {
        QComboBox& format = dialog.formatBox();
        format.setFocus();
        // Down the list with the keyboard to WebM; the quality shows its default.
        for (int i = 0; i < 10 && format.currentData().toString() != "webm"; ++i)
            QTest::keyClick(&format, Qt::Key_Down);
        EXPECT_EQ(format.currentData().toString(), "webm");
        EXPECT_EQ(dialog.qualitySlider().value(), WebmExporter::kDefaultQuality);
        EXPECT_TRUE(dialog.transparentBox().isEnabled());
        dialog.transparentBox().setFocus();
        QTest::keyClick(&dialog.transparentBox(), Qt::Key_Space);
        EXPECT_TRUE(dialog.transparentBox().isChecked());
        // The file starts as the project's name in the home folder, with the format's
        // extension; typed over, it is the file written.
        const QString name = QString::fromStdString(w.editor().document().lock().project().name());
        EXPECT_EQ(dialog.pathEdit().text(), QDir::home().filePath(name + ".webm"));
        dialog.pathEdit().setFocus();
        QTest::keyClick(&dialog.pathEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&dialog.pathEdit(), clip);
        QTest::keyClick(&dialog.pathEdit(), Qt::Key_Return); // OK is the default button
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Return did not accept the dialog";
            dialog.reject();
        }
    });
    w.runCommand(CommandId::FileMenu);
    ASSERT_TRUE(chooseMenuItem(w, "Export Video or Image..."));
    ASSERT_TRUE(waitForExportEnd());
    EXPECT_TRUE(sink.messages.empty());
    const ProgramRun probe = ProgramRun::of(
        "/usr/bin/ffprobe", {"-v", "error", "-show_entries", "stream=codec_name:stream_tags",
                             "-of", "default=nw=1", clip + ".webm"});
    EXPECT_TRUE(probe.out.contains("codec_name=vp9")) << probe.out.toStdString();
    EXPECT_TRUE(probe.out.toLower().contains("tag:alpha_mode=1")) << probe.out.toStdString();

    // The next time the dialog shows what was chosen; cancelled, it exports nothing. A format
    // without transparency greys the box out.
    bool shown = false;
    whenExportDialogShows([&](ExportDialog& dialog) {
        shown = true;
        EXPECT_EQ(dialog.formatBox().currentData().toString(), "webm");
        EXPECT_TRUE(dialog.transparentBox().isChecked());
        EXPECT_EQ(dialog.pathEdit().text(), clip + ".webm");
        dialog.formatBox().setCurrentIndex(dialog.formatBox().findData("mp4"));
        EXPECT_FALSE(dialog.transparentBox().isEnabled());
        EXPECT_EQ(dialog.qualitySlider().value(), Mp4Exporter::kDefaultQuality);
        QTest::keyClick(&dialog.formatBox(), Qt::Key_Escape);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Escape did not cancel the dialog";
            dialog.reject();
        }
    });
    w.runCommand(CommandId::ExportChosen);
    EXPECT_TRUE(shown);
    EXPECT_EQ(QDir(root.path()).entryList({"clip*"}).size(), 1);
}

TEST_F(ExportWindowTest, AGifFromTheMenuEqualsTheCommandLineExportOfTheSavedProject) {
    MainWindow& w = *window;
    QImage square(24, 18, QImage::Format_ARGB32);
    square.fill(qRgb(200, 60, 20));
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), {square}));
    w.runCommand(CommandId::AppendLiner);
    w.editor().editObject(1, [](AnimationObject& moving) {
        moving.record.endX = 250;
        moving.record.endAngle = 90;
    });
    dialogs.names.push_back("Exported");
    w.runCommand(CommandId::Save);
    const QString project = root.filePath("Data/Exported/Exported.vrn");
    ASSERT_TRUE(QFileInfo::exists(project));

    const QString fromWindow = root.filePath("window"); // ".gif" is appended
    files.paths.push_back(fromWindow);
    gifLoops = 3;
    w.runCommand(CommandId::FileMenu);
    ASSERT_TRUE(chooseMenuItem(w, "Export Animation to GIF"));
    // The export runs inside the progress window's own event loop, within this wait.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w.exportCommands().pipeline().progress().done.load(); }, 30000));
    ASSERT_TRUE(waitForExportEnd());
    EXPECT_TRUE(sink.messages.empty());

    const QString fromCli = root.filePath("cli.gif");
    const ProgramRun cli =
        ProgramRun::of(ZENTRAVO_CLI, {"export", project, fromCli, "--loops", "3"});
    ASSERT_TRUE(cli.ok()) << cli.err.toStdString();
    const QByteArray expected = readAll(fromCli);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(readAll(fromWindow + ".gif"), expected);
}

TEST_F(ExportWindowTest, BestQualityTickedInTheLoopDialogReachesTheNextExports) {
    MainWindow& w = *window;
    QImage square(24, 18, QImage::Format_ARGB32);
    square.fill(qRgb(30, 160, 90));
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), {square}));
    w.runCommand(CommandId::AppendLiner);
    w.editor().editObject(1, [](AnimationObject& moving) { moving.record.endY = 150; });
    dialogs.names.push_back("Best");
    w.runCommand(CommandId::Save);
    const QString project = root.filePath("Data/Best/Best.vrn");
    ASSERT_TRUE(QFileInfo::exists(project));

    // The user ticks the box once; the choice stays for the rest of the program's run.
    auto tick = [](bool best) {
        answerModal<GifLoopDialog>([best](GifLoopDialog* dialog) {
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("bestQuality"));
            ASSERT_NE(box, nullptr);
            box->setChecked(best);
            dialog->accept();
        });
        return GifLoopDialog::ask(nullptr, LanguageTable()).has_value();
    };
    ASSERT_TRUE(tick(true));
    const QString fromWindow = root.filePath("best.gif");
    files.paths.push_back(fromWindow);
    gifLoops = 0;
    w.runCommand(CommandId::ExportGif);
    ASSERT_TRUE(waitForExportEnd());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(tick(false)); // back to the program's starting choice

    const QString fromCli = root.filePath("cli.gif");
    const ProgramRun cli =
        ProgramRun::of(ZENTRAVO_CLI, {"export", project, fromCli, "--quality", "best"});
    ASSERT_TRUE(cli.ok()) << cli.err.toStdString();
    const QByteArray expected = readAll(fromCli);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(readAll(fromWindow), expected);
}

TEST_F(ExportWindowTest, ClosingTheProgressWindowAfterAFewFramesLeavesNoFile) {
    MainWindow& w = *window;
    DocumentTestAccess::project(w.document()).header.duration = 60; // five seconds at 12 fps
    QImage square(24, 18, QImage::Format_ARGB32);
    square.fill(qRgb(20, 60, 200));
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), {square}));
    const QString path = root.filePath("cancelled.swf");
    files.paths.push_back(path);
    // The progress window runs its own event loop: a timer presses its button from inside it
    // once a few frames are written.
    bool fileDuringExport = false;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        ProgressWindow* progress = shownProgressWindow();
        if (!progress || w.exportCommands().pipeline().progress().percent < 5)
            return;
        fileDuringExport = QFileInfo::exists(path);
        presser.stop();
        progress->cancelButton()->click();
    });
    presser.start(20);
    QTimer::singleShot(0, [&] { w.runCommand(CommandId::ExportSwf); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !presser.isActive(); }, 15000));
    ASSERT_TRUE(waitForExportEnd());
    EXPECT_TRUE(fileDuringExport);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(w.stage().canvas().editView());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ExportWindowTest, NothingToExportAndACancelledFileChoiceWriteNothing) {
    MainWindow& w = *window;
    w.runCommand(CommandId::ExportGif);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "No animation to export.");
    EXPECT_EQ(files.calls(), 0);
    QImage square(8, 8, QImage::Format_ARGB32);
    square.fill(Qt::red);
    ASSERT_TRUE(w.editor().insertLibrarySymbol(SymbolId::create(), {square}));
    w.runCommand(CommandId::ExportAvi); // the file choice is cancelled
    EXPECT_EQ(files.calls(), 1);
    EXPECT_FALSE(w.exportCommands().pipeline().isRunning());
}

// A user's session: start, open a sample, step through frames, change the layer order and
// take it back and again, save, quit, and start again with the saved file: the project is the
// one that was saved.
TEST(UserSessionTest, WhatWasSavedIsWhatTheNextStartOpens) {
    MainWindowHarness first;
    MainWindow& w = *first.window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    first.dialogs.samples.push_back(1);
    w.runCommand(CommandId::OpenSample);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.projectCommands().isSampleProject(); }, 5000));
    w.runCommand(CommandId::NextFrameButton);
    w.runCommand(CommandId::NextFrameButton);
    EXPECT_EQ(w.document().currentFrame(), 2);
    w.runCommand(CommandId::PreviousFrame);
    EXPECT_EQ(w.document().currentFrame(), 1);

    auto layerNames = [](MainWindow& window) {
        auto lock = window.document().lock();
        std::vector<std::string> names;
        for (int k = 0; k < lock.project().layerCount(); ++k)
            names.push_back(lock.project().layerName(k));
        return names;
    };
    const std::vector<std::string> loaded = layerNames(w);
    w.editor().selectLayerAndObject(0, -1);
    w.runCommand(CommandId::LayerToFrontButton);
    const std::vector<std::string> moved = layerNames(w);
    EXPECT_NE(moved, loaded);
    EXPECT_EQ(moved.back(), loaded.front());
    w.runCommand(CommandId::Undo);
    EXPECT_EQ(layerNames(w), loaded);
    w.runCommand(CommandId::Redo);
    EXPECT_EQ(layerNames(w), moved);

    w.runCommand(CommandId::Save);
    const QString saved = first.root.filePath("Data/Sample Project 1/Sample Project 1.vrn");
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(w.document().isModified());
    w.runCommand(CommandId::Exit); // nothing to ask: the project is saved
    EXPECT_TRUE(first.sink.messages.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 6000));

    // The next start, with the saved file as the command line gives it.
    Application again(ProgramFolders(first.root.path().toStdString()));
    MainWindowServices services;
    services.sink = &first.sink;
    services.dialogs = &first.dialogs;
    MainWindow next(again, services);
    ASSERT_TRUE(next.openProjectFile(saved));
    EXPECT_EQ(layerNames(next), moved);
    EXPECT_EQ(next.document().lock().project().name(), "Sample Project 1");
    EXPECT_FALSE(next.document().isModified());
}

} // namespace
