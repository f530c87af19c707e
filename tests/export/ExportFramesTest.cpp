// The frames an export encodes, for every sample and for projects made for the symbol picture
// rules (two objects sharing a symbol, one starting late; symbol and project frame rates that
// differ; hidden layers; a picture cursor saved at a later frame; a damaged one), against the
// hashes recorded from the sequential drawing the exports used before they drew frames in
// parallel (tests/export/record_frame_hashes.sh made tests/export/data/export_frames.txt).
#include "tests/export/ExportFrames.h"

#include "document/ProjectReader.h"
#include "tests/document/EditorTestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QPainter>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

namespace {

// The hash of a frame's pixels, row by row (no padding taken along).
std::string frameHash(const QImage& frame) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        hash.addData(
            QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 4));
    return hash.result().toHex().left(24).toStdString();
}

std::vector<QImage> pictures(int count, int width, int height, int seed) {
    std::vector<QImage> frames;
    for (int i = 0; i < count; ++i) {
        QImage frame(width, height, QImage::Format_ARGB32);
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        painter.setBrush(QColor::fromHsv((seed * 70 + i * 45) % 360, 200, 230));
        painter.drawEllipse(QRect(1, 1, width - 2, height - 2));
        painter.drawText(frame.rect(), Qt::AlignCenter, QString::number(i));
        frames.push_back(frame);
    }
    return frames;
}

// Object `index` spans `start`..`end`, shows its symbol at `rate` pictures a second and sits
// at (x, y).
void place(ProjectEditor& editor, int index, int start, int end, int rate, float x, float y) {
    editor.editObject(index, [=](AnimationObject& object) {
        ObjectRecord& r = object.record;
        r.startFrame = r.motionStartFrame = start;
        r.endFrame = r.motionEndFrame = end;
        r.symbolFrameRate = rate;
        r.startX = r.endX = x;
        r.startY = r.endY = y;
    });
}

// Two objects sharing a five-picture symbol, the second starting late and at another rate;
// a third shares it on a hidden layer.
void sharedSymbol(TestEditor& editor) {
    newStage(editor, 160, 90, 24, 12, 0x604020);
    const SymbolId shared = SymbolId::create();
    editor.insertLibrarySymbol(shared, pictures(5, 30, 30, 1));
    place(editor, 0, 0, 23, 12, 10, 10);
    editor.copySelected();
    editor.paste(); // the same symbol on a layer of its own
    place(editor, 1, 6, 20, 30, 60, 40);
    editor.paste();
    place(editor, 2, 0, 23, 7, 110, 20);
    editor.setLayerVisible(2, false);
}

// Symbol rates below and above the project's, a Liner motion and a guide line motion that
// turns, a text whose opacity changes, and a trail.
void ratesAndMotions(TestEditor& editor) {
    newStage(editor, 200, 120, 30, 15, 0x604020);
    editor.insertLibrarySymbol(SymbolId::create(), pictures(4, 24, 24, 2));
    place(editor, 0, 2, 27, 5, 20, 20);
    editor.editObject(0, [](AnimationObject& object) {
        object.record.motionKind = kLinerMotion;
        object.record.endX = 150;
        object.record.endAngle = 120;
        object.record.endScale = 1.6f;
    });
    editor.insertLibrarySymbol(SymbolId::create(), pictures(3, 20, 20, 3));
    place(editor, 1, 0, 29, 30, 0, 0);
    editor.editObject(1, [](AnimationObject& object) {
        object.record.motionKind = kGuideLineMotion;
        object.record.trailFlag = 1;
        for (int k = 0; k < 40; ++k)
            object.guidePoints.append({20 + 4 * k, 60 + (k % 10) * 3});
    });
    AnimationObject text;
    text.setText("Frames");
    text.record.font.height = -20;
    editor.addTextObject(text, FakeMeasurer());
    editor.editObject(2, [](AnimationObject& object) {
        object.record.motionKind = kLinerMotion;
        object.record.endOpacity = 0;
    });
}

// A project saved while the stage showed a later frame: its symbols' picture cursors stand
// at 2 and at a damaged 99.
void savedCursors(TestEditor& editor) {
    newStage(editor, 120, 80, 16, 10, 0x604020);
    const SymbolId first = SymbolId::create();
    const SymbolId second = SymbolId::create();
    editor.insertLibrarySymbol(first, pictures(3, 30, 30, 4));
    editor.insertLibrarySymbol(second, pictures(6, 30, 30, 5));
    place(editor, 1, 3, 15, 10, 60, 30); // starts late: frames 0..2 show nothing of it
    editor.symbols().find(first)->currentFrame = 2;
    editor.symbols().find(second)->currentFrame = 99;
}

struct Case {
    const char* name;
    std::function<void(TestEditor&)> build; // empty for a sample
    int sample = 0;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {{"shared-symbol", sharedSymbol},
                                          {"rates-and-motions", ratesAndMotions},
                                          {"saved-cursors", savedCursors},
                                          {"sample-1", {}, 1},
                                          {"sample-2", {}, 2},
                                          {"sample-3", {}, 3},
                                          {"sample-4", {}, 4}};
    return all;
}

void open(const Case& c, TestEditor& editor) {
    if (c.build) {
        c.build(editor);
        return;
    }
    const std::string path =
        ZENTRAVO_BINARY_DIR "/bin/template/template_" + std::to_string(c.sample) + ".vrn";
    std::optional<LoadedProject> loaded = ProjectReader::readFile(path);
    ASSERT_TRUE(loaded) << path;
    editor.openLoaded(std::move(loaded->project), std::move(loaded->symbols));
}

std::vector<std::string> hashes(TestEditor& editor) {
    std::vector<std::string> result;
    for (const QImage& frame : exportFrames(editor.document()))
        result.push_back(frameHash(frame));
    return result;
}

const char* kData = ZENTRAVO_SOURCE_DIR "/tests/export/data/export_frames.txt";

// "name frame hash" lines.
std::map<std::string, std::vector<std::string>> recorded() {
    std::map<std::string, std::vector<std::string>> table;
    QFile file(kData);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return table;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList words = in.readLine().split(' ', Qt::SkipEmptyParts);
        if (words.size() == 3)
            table[words[0].toStdString()].push_back(words[2].toStdString());
    }
    return table;
}

TEST(ExportFramesTest, EveryFrameEqualsTheSequentialDrawing) {
    if (const char* record = std::getenv("ZENTRAVO_RECORD_EXPORT_FRAMES")) {
        QFile file(QString::fromLocal8Bit(record));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        QTextStream out(&file);
        for (const Case& c : cases()) {
            TestEditor editor;
            open(c, editor);
            const std::vector<std::string> frames = hashes(editor);
            for (std::size_t f = 0; f < frames.size(); ++f)
                out << c.name << ' ' << f << ' ' << QString::fromStdString(frames[f]) << '\n';
        }
        return;
    }
    const auto table = recorded();
    ASSERT_FALSE(table.empty()) << kData;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        TestEditor editor;
        open(c, editor);
        const auto expected = table.find(c.name);
        ASSERT_NE(expected, table.end());
        EXPECT_EQ(hashes(editor), expected->second);
    }
}

} // namespace
