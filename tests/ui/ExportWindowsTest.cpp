#include "export/ui/AviCodecDialog.h"
#include "export/ui/GifLoopDialog.h"
#include "export/ui/ProgressPanel.h"
#include "export/ui/ProgressWindow.h"

#include "document/LanguageTable.h"
#include "export/ExportPipeline.h"
#include "export/FrameExporter.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/ui/UiTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

template <typename T> T* child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A click on a radio button's indicator (its row may be wider than its label).
void choose(QRadioButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

QPushButton* buttonLabelled(QWidget& parent, const QString& text) {
    for (QPushButton* button : parent.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

TEST(ExportWindowsTest, LoopDialogOpensOnForeverAndReturnsTheLoopSetting) {
    const LanguageTable texts;
    struct Row {
        const char* name;
        bool times;
        const char* count;
        std::optional<int> result; // nothing: refused, the dialog stays open
    };
    const Row rows[] = {
        {"foreverButton", false, nullptr, 0},
        {"once", true, "1", 1},
        {"three", true, "3", 3},
        {"zero", true, "0", {}},
        {"1001", true, "1001", {}},
    };
    for (const Row& row : rows) {
        RecordingMessageSink sink;
        GifLoopDialog dialog(texts, &sink);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        auto* foreverButton = child<QRadioButton>(dialog, "repeatForever");
        auto* timesButton = child<QRadioButton>(dialog, "repeatTimes");
        auto* count = child<QLineEdit>(dialog, "repeatCount");
        EXPECT_EQ(dialog.size(), QSize(340, 170));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("GIF Animation Loop Setting"));
        EXPECT_TRUE(foreverButton->isChecked());
        EXPECT_FALSE(timesButton->isChecked());
        EXPECT_FALSE(count->isEnabled());
        EXPECT_EQ(count->text(), QStringLiteral("1"));
        if (row.times) {
            choose(timesButton);
            EXPECT_TRUE(timesButton->isChecked()) << row.name;
            EXPECT_FALSE(foreverButton->isChecked()) << row.name;
            EXPECT_TRUE(count->isEnabled()) << row.name;
            // The field comes focused and selected: typing replaces the 1.
            QTest::keyClicks(count, QString::fromLatin1(row.count));
            EXPECT_EQ(count->text(), QString::fromLatin1(row.count)) << row.name;
            QTest::keyClick(count, Qt::Key_Return); // the OK button is the default
        } else {
            QTest::mouseClick(buttonLabelled(dialog, QStringLiteral("OK")), Qt::LeftButton);
        }
        if (row.result) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << row.name;
            EXPECT_EQ(dialog.loopSetting(), *row.result) << row.name;
            EXPECT_TRUE(sink.messages.empty()) << row.name;
        } else {
            EXPECT_TRUE(dialog.isVisible()) << row.name;
            EXPECT_EQ(sink.only().text, "Please enter an integer between 1 and 1000.") << row.name;
            EXPECT_TRUE(count->hasFocus()) << row.name;
            EXPECT_EQ(count->selectedText(), count->text()) << row.name;
        }
    }
}

TEST(ExportWindowsTest, LoopDialogSwitchesBackAndCancelGivesNoResult) {
    const LanguageTable texts;
    // "Repeat Forever" again after a bad count: the disabled count is not checked.
    answerModal<GifLoopDialog>([](GifLoopDialog* dialog) {
        choose(child<QRadioButton>(*dialog, "repeatTimes"));
        child<QLineEdit>(*dialog, "repeatCount")->setText(QStringLiteral("0"));
        choose(child<QRadioButton>(*dialog, "repeatForever"));
        EXPECT_FALSE(child<QLineEdit>(*dialog, "repeatCount")->isEnabled());
        EXPECT_FALSE(child<QRadioButton>(*dialog, "repeatTimes")->isChecked());
        dialog->accept();
    });
    EXPECT_EQ(GifLoopDialog::ask(nullptr, texts), 0);

    answerModal<GifLoopDialog>([](GifLoopDialog* dialog) {
        choose(child<QRadioButton>(*dialog, "repeatTimes"));
        QTest::keyClicks(child<QLineEdit>(*dialog, "repeatCount"), QStringLiteral("5"));
        QTest::mouseClick(buttonLabelled(*dialog, QStringLiteral("Cancel")), Qt::LeftButton);
    });
    EXPECT_EQ(GifLoopDialog::ask(nullptr, texts), std::nullopt);

    answerModal<GifLoopDialog>(
        [](GifLoopDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(GifLoopDialog::ask(nullptr, texts), std::nullopt);
}

TEST(ExportWindowsTest, LoopDialogBestQualityIsOffAtFirstAndRememberedWhenConfirmed) {
    const LanguageTable texts;
    struct Row {
        const char* name;
        bool startsChecked;
        bool click;   // on the check box
        bool confirm; // OK, else Cancel
        GifQuality after;
    };
    const Row rows[] = {
        {"ticked, then cancelled", false, true, false, GifQuality::Classic},
        {"ticked and confirmed", false, true, true, GifQuality::Best},
        {"left ticked", true, false, true, GifQuality::Best},
        {"unticked and confirmed", true, true, true, GifQuality::Classic},
    };
    EXPECT_EQ(GifLoopDialog::rememberedQuality(), GifQuality::Classic);
    for (const Row& row : rows) {
        answerModal<GifLoopDialog>([&row](GifLoopDialog* dialog) {
            auto* best = child<QCheckBox>(*dialog, "bestQuality");
            EXPECT_EQ(best->text(), QStringLiteral("Best quality, smaller file")) << row.name;
            EXPECT_EQ(best->isChecked(), row.startsChecked) << row.name;
            // Below the repeat rows and above the buttons, inside the dialog's fixed size.
            const QRect box = best->geometry();
            EXPECT_GT(box.top(), child<QLineEdit>(*dialog, "repeatCount")->geometry().bottom());
            QPushButton* ok = buttonLabelled(*dialog, QStringLiteral("OK"));
            EXPECT_LT(box.bottom(), ok->mapTo(dialog, QPoint(0, 0)).y());
            if (row.click)
                QTest::mouseClick(best, Qt::LeftButton, {}, QPoint(8, best->height() / 2));
            QTest::mouseClick(row.confirm ? ok : buttonLabelled(*dialog, QStringLiteral("Cancel")),
                              Qt::LeftButton);
        });
        EXPECT_EQ(GifLoopDialog::ask(nullptr, texts).has_value(), row.confirm) << row.name;
        EXPECT_EQ(GifLoopDialog::rememberedQuality(), row.after) << row.name;
    }
}

QColor pixelAt(QWidget& widget, int x, int y) {
    return widget.grab().toImage().pixelColor(x, y);
}

TEST(ExportWindowsTest, ProgressWindowFollowsTheProgressAndClosesWhenDone) {
    const LanguageTable texts;
    QWidget owner;
    owner.setGeometry(100, 100, 800, 600);
    owner.show();
    ExportProgress progress;
    ProgressWindow window(progress, texts, &owner);
    EXPECT_EQ(window.size(), QSize(419, 88));
    EXPECT_EQ(window.cancelButton()->geometry(), QRect(319, 55, 70, 20));
    EXPECT_EQ(window.cancelButton()->text(), QStringLiteral("Cancel"));

    progress.percent = 40;
    QElapsedTimer clock;
    clock.start();
    answerModal<ProgressWindow>([&](ProgressWindow* shown) {
        EXPECT_EQ(shown->geometry().center(), owner.frameGeometry().center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown->percent() == 40; }, 2000));
        // The bar runs from x 20 over 379 pixels: 40 % fills it to x 171.
        const QColor filled = pixelAt(*shown, 160, 29);
        const QColor empty = pixelAt(*shown, 190, 29);
        EXPECT_GT(filled.blue(), filled.red() + 60) << filled.name().toStdString();
        EXPECT_LT(std::abs(empty.blue() - empty.red()), 40) << empty.name().toStdString();
        progress.percent = 100;
        progress.done = true;
    });
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_EQ(window.percent(), 100);
    EXPECT_LT(clock.elapsed(), 3000);
}

TEST(ExportWindowsTest, ProgressWindowIgnoresEnterAndEscapeAndDrags) {
    const LanguageTable texts;
    ExportProgress progress;
    ProgressWindow window(progress, texts);
    window.show();
    QApplication::setActiveWindow(&window);
    window.cancelButton()->setFocus();
    for (QWidget* target :
         {static_cast<QWidget*>(&window), static_cast<QWidget*>(window.cancelButton())})
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    EXPECT_TRUE(window.isVisible());

    // A press anywhere and a move drag the window along.
    const QPoint start = window.pos();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(200, 10));
    QTest::mouseMove(&window, QPoint(230, 30));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(230, 30));
    EXPECT_EQ(window.pos(), start + QPoint(30, 20));

    // The button closes the window at once, as does a close request from the window system.
    QTest::mouseClick(window.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    window.setResult(QDialog::Rejected);
    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST(ExportWindowsTest, ProgressPanelShowsTheSetPercentAndHidesWhenDone) {
    QWidget owner;
    owner.resize(600, 300);
    ProgressPanel panel(&owner);
    owner.show();
    EXPECT_EQ(panel.size(), QSize(419, 88));
    panel.setPercent(75);
    EXPECT_GT(pixelAt(panel, 280, 29).blue(), pixelAt(panel, 280, 29).red() + 60);

    ExportProgress progress;
    progress.percent = 10;
    panel.watch(&progress);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.percent() == 10; }, 2000));
    EXPECT_TRUE(panel.isVisible());
    progress.percent = 100;
    progress.done = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.isHidden(); }, 2000));
    EXPECT_EQ(panel.percent(), 100);
    EXPECT_FALSE(panel.isWatching());
}

// An exporter whose frames after the first wait until the test lets them go, so that a cancel
// meets a frame in progress. Its file exists from open() on.
class HeldExporter : public FrameExporter {
public:
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};

    bool open(const std::string& path, int, int, int) override {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::WriteOnly);
    }
    bool writeFrame(const QImage&, int index) override {
        if (index == 0)
            return true;
        holding = true;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }
    bool finish() override { return true; }
    void abort() override {}
    std::string error() const override { return {}; }
};

struct ExportBench {
    TestEditor editor;
    RecordingMessageSink sink;
    ExportPipeline pipeline{editor.document(), sink, nullptr};
    QTemporaryDir folder;
    std::string path = folder.filePath(QStringLiteral("out.gif")).toStdString();

    explicit ExportBench(int duration) {
        ProjectProperties properties;
        properties.name = "Export";
        properties.width = 40;
        properties.height = 30;
        properties.duration = duration;
        properties.frameRate = 30;
        editor.newProject(properties);
        QImage square(8, 8, QImage::Format_ARGB32);
        square.fill(Qt::blue);
        editor.insertLibrarySymbol(SymbolId::create(), {square});
    }
    bool fileExists() const { return QFile::exists(QString::fromStdString(path)); }
};

TEST(ExportWindowsTest, ProgressButtonLeavesTheExportToTheCallersCancel) {
    const LanguageTable texts;
    ExportBench bench(50);
    auto exporter = std::make_unique<HeldExporter>();
    HeldExporter& held = *exporter;
    ASSERT_TRUE(bench.pipeline.start(bench.path, std::move(exporter)));

    ProgressWindow window(bench.pipeline.progress(), texts);
    answerModal<ProgressWindow>([&](ProgressWindow* shown) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return held.holding.load(); }, 5000));
        QTest::mouseClick(shown->cancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    ASSERT_TRUE(bench.pipeline.isRunning()); // the caller cancels it
    EXPECT_TRUE(bench.fileExists());

    // The cancel waits for the frame being written, then ends every thread of the export.
    held.release = true;
    bench.pipeline.cancel();
    EXPECT_FALSE(bench.pipeline.isRunning());
    EXPECT_TRUE(bench.pipeline.result().cancelled);
    EXPECT_FALSE(bench.fileExists());
    EXPECT_TRUE(bench.sink.messages.empty());
    bench.pipeline.cancel(); // nothing left to cancel
}

TEST(ExportWindowsTest, ProgressWindowCountsFramesAndEstimatesTheTimeLeft) {
    struct Row {
        int written, frames;
        qint64 elapsedMs;
        const char* text;
    };
    const Row rows[] = {{0, 72, 0, "0 / 72 frames"},
                        {2, 72, 400, "2 / 72 frames"}, // too few frames to tell the pace
                        {3, 72, 600, "3 / 72 frames, about 14 s left"},
                        {36, 72, 3000, "36 / 72 frames, about 3 s left"},
                        {71, 72, 7100, "71 / 72 frames, about 1 s left"},
                        {72, 72, 7200, "72 / 72 frames"},
                        {0, 0, 0, ""}};
    for (const Row& row : rows)
        EXPECT_EQ(ProgressWindow::statusText(row.written, row.frames, row.elapsedMs),
                  QString::fromLatin1(row.text))
            << row.written;
}

TEST(ExportWindowsTest, ProgressWindowClosesItselfWhenTheExportEnds) {
    const LanguageTable texts;
    ExportBench bench(4);
    auto exporter = std::make_unique<HeldExporter>();
    exporter->release = true;
    ASSERT_TRUE(bench.pipeline.start(bench.path, std::move(exporter)));
    ProgressWindow window(bench.pipeline.progress(), texts);
    QTimer::singleShot(5000, &window, &QDialog::reject); // a hang fails below, not foreverButton
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_TRUE(bench.pipeline.progress().done);
    EXPECT_EQ(window.percent(), 100);
    EXPECT_TRUE(bench.pipeline.reportOutcome());
    EXPECT_TRUE(bench.fileExists());
}

TEST(ExportWindowsTest, CodecListKeepsTheDialogOrderOfKnownCodecs) {
    const AviCodecList list({"mpeg4", "libfancy", "rawvideo"});
    ASSERT_EQ(list.codecs().size(), 2u);
    EXPECT_EQ(list.codecs()[0].name, "Full Frames (Uncompressed)");
    EXPECT_EQ(list.codecs()[1].codec, "mpeg4");
    EXPECT_EQ(list.indexOf("mpeg4"), 1);
    EXPECT_EQ(list.indexOf("libfancy"), -1);
    EXPECT_EQ(AviCodecList::available().indexOf("rawvideo"), 0);
}

void chooseCodec(AviCodecDialog& dialog, const char* codec) {
    auto* box = child<QComboBox>(dialog, "codec");
    const int row = box->findData(QString::fromLatin1(codec));
    ASSERT_GE(row, 0) << codec << " is not in this FFmpeg build";
    box->setCurrentIndex(row);
}

TEST(ExportWindowsTest, CodecDialogReturnsTheSettingsTheCodecTakes) {
    const LanguageTable texts;
    RecordingMessageSink sink;
    {
        // Motion JPEG at quality 50: it has no key-frame setting to give.
        AviCodecDialog dialog(texts, &sink);
        dialog.show();
        chooseCodec(dialog, "mjpeg");
        EXPECT_FALSE(child<QCheckBox>(dialog, "useKeyFrames")->isEnabled());
        child<QCheckBox>(dialog, "useQuality")->setChecked(true);
        child<QSlider>(dialog, "quality")->setValue(50);
        child<QCheckBox>(dialog, "useKeyFrames")->setChecked(true);
        QTest::mouseClick(buttonLabelled(dialog, QStringLiteral("OK")), Qt::LeftButton);
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.options().codec, "mjpeg");
        EXPECT_EQ(dialog.options().quality, 5000);
        EXPECT_EQ(dialog.options().keyFrameEvery, 0);
        EXPECT_EQ(dialog.options().bytesPerSecond, 0);
    }
    {
        // MPEG-4 with a key frame every 12 frames and 200 KB/s: the data rate replaces the
        // quality. A bad interval is refused first.
        AviCompressOptions initial;
        initial.quality = 8000;
        AviCodecDialog dialog(texts, &sink, nullptr, initial);
        dialog.show();
        chooseCodec(dialog, "mpeg4");
        EXPECT_TRUE(child<QSlider>(dialog, "quality")->isEnabled());
        child<QCheckBox>(dialog, "useKeyFrames")->setChecked(true);
        child<QLineEdit>(dialog, "keyFrameEvery")->setText(QStringLiteral("0"));
        child<QCheckBox>(dialog, "useDataRate")->setChecked(true);
        child<QLineEdit>(dialog, "kilobytesPerSecond")->setText(QStringLiteral("200"));
        EXPECT_FALSE(child<QSlider>(dialog, "quality")->isEnabled());
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(sink.only().text, "Please enter an integer between 1 and 10000.");
        child<QLineEdit>(dialog, "keyFrameEvery")->setText(QStringLiteral("12"));
        dialog.accept();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.options().codec, "mpeg4");
        EXPECT_EQ(dialog.options().quality, -1);
        EXPECT_EQ(dialog.options().keyFrameEvery, 12);
        EXPECT_EQ(dialog.options().bytesPerSecond, 200 * 1024);
    }
}

TEST(ExportWindowsTest, CodecDialogAsTheExportersChoice) {
    const LanguageTable texts;
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("out.avi")).toStdString();

    // Cancelled: no file, and no message to show.
    AviExporter cancelled(AviCodecDialog::chooser(nullptr, texts));
    answerModal<AviCodecDialog>([](AviCodecDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(cancelled.open(path, 32, 24, 12));
    EXPECT_EQ(cancelled.error(), "");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));

    // Confirmed: the file opens with the chosen codec and takes a frame.
    AviExporter chosen(AviCodecDialog::chooser(nullptr, texts));
    answerModal<AviCodecDialog>([](AviCodecDialog* dialog) {
        chooseCodec(*dialog, "mjpeg");
        dialog->accept();
    });
    ASSERT_TRUE(chosen.open(path, 32, 24, 12));
    QImage frame(32, 24, QImage::Format_RGB32);
    frame.fill(Qt::green);
    EXPECT_TRUE(chosen.writeFrame(frame, 0));
    EXPECT_TRUE(chosen.finish());
    EXPECT_GT(QFile(QString::fromStdString(path)).size(), 0);
}

} // namespace
