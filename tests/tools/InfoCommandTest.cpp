// zentravo-cli info: the real executable on a saved project, read back as JSON.
#include "document/ProjectStore.h"
#include "tests/document/EditorTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include "tests/ProgramRun.h"
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

Result runInfo(const QString& path) {
    const ProgramRun run = ProgramRun::of(ZENTRAVO_CLI, {"info", path}, 30000);
    return {run.exitCode, run.out, run.err};
}

TEST(InfoCommandTest, PrintsASavedProjectAsJson) {
    TestEditor editor;
    ProjectProperties properties;
    properties.name = "Info \"quoted\"";
    properties.width = 200;
    properties.backgroundColor = 0x0000FF; // red as 0x00BBGGRR
    editor.newProject(properties);
    const SymbolId id = SymbolId::create();
    editor.insertLibrarySymbol(id, solidFrames(2, 12, 8));
    AnimationObject text;
    text.setText("Grüße");
    editor.addTextObject(text, FakeMeasurer());
    editor.project().objects[1].guidePoints.append({3, -4});
    editor.project().objects[0].record.easing = kEaseBounce;
    editor.project().layerVisible[0] = 0;

    QTemporaryDir folder;
    const QString path = folder.filePath("info.vrn");
    ASSERT_TRUE(ProjectStore::writeFile(path.toStdString(), editor.project(), editor.symbols()));
    const Result result = runInfo(path);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(result.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out.toStdString();

    const QJsonObject header = json["header"].toObject();
    EXPECT_EQ(header["name"].toString(), "Info \"quoted\"");
    EXPECT_EQ(header["guid"].toString().size(), 32);
    EXPECT_EQ(header["width"].toInt(), 200);
    EXPECT_EQ(header["height"].toInt(), 120);
    EXPECT_EQ(header["frameRate"].toInt(), 12);
    EXPECT_EQ(header["backgroundColor"].toInt(), 0x0000FF);
    EXPECT_EQ(header["placement"].toInt(), 0);

    const QJsonArray layers = json["layers"].toArray();
    ASSERT_EQ(layers.size(), 2);
    EXPECT_EQ(layers[0]["name"].toString(), "Symbol 1");
    EXPECT_EQ(layers[0]["visible"].toBool(), false);
    EXPECT_EQ(layers[1]["name"].toString(), "Text 1");
    EXPECT_EQ(layers[1]["selected"].toBool(), true);

    const QJsonArray objects = json["objects"].toArray();
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects[0]["kind"].toInt(), 1);
    EXPECT_EQ(objects[0]["symbolId"].toString().toStdString(), id.toHex());
    EXPECT_EQ(objects[0]["width"].toInt(), 12);
    EXPECT_EQ(objects[0]["startScale"].toDouble(), 1.0);
    EXPECT_EQ(objects[0]["endFrame"].toInt(), 20);
    EXPECT_EQ(objects[0]["easing"].toString(), "Bounce");
    EXPECT_EQ(objects[1]["easing"].toString(), "Linear");
    EXPECT_EQ(objects[1]["kind"].toInt(), 0);
    EXPECT_EQ(objects[1]["text"].toString(), QString::fromUtf8("Grüße"));
    EXPECT_EQ(objects[1]["headingOffset"].toInt(), 270);
    EXPECT_EQ(objects[1]["guidePoints"].toArray(), (QJsonArray{QJsonArray{3, -4}}));

    const QJsonArray symbols = json["symbols"].toArray();
    ASSERT_EQ(symbols.size(), 1);
    EXPECT_EQ(symbols[0]["id"].toString().toStdString(), id.toHex());
    EXPECT_EQ(symbols[0]["frames"].toArray(), (QJsonArray{QJsonArray{12, 8}, QJsonArray{12, 8}}));
    EXPECT_TRUE(result.err.isEmpty());
}

TEST(InfoCommandTest, FilesItCannotLoadGiveTheMessageAndExitCode1) {
    QTemporaryDir folder;
    const QString damaged = folder.filePath("damaged.vrn");
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(900, '\x7F')); // N and every count absurd
    file.close();
    for (const QString& path : {damaged, folder.filePath("missing.vrn"), folder.path()}) {
        const Result result = runInfo(path);
        EXPECT_EQ(result.exitCode, 1) << path.toStdString();
        EXPECT_EQ(result.err.trimmed(), "Failed to load project");
        EXPECT_TRUE(result.out.isEmpty());
    }
}

} // namespace
