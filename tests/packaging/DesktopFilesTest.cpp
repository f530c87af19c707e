// The project file type as the desktop learns it: its glob and its magic match the project
// files the program writes (and not other files), shared-mime-info compiles it, and the
// desktop entry, the thumbnailer and the AppStream description name that same type.
#include "document/ProgramFolders.h"
#include "document/ProjectStore.h"
#include "tests/ProgramRun.h"
#include "tests/document/EditorTestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

const QString kType = "application/x-zentravo-project";

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A magic value's bytes: shared-mime-info's string values take C escapes (\0, \n, \x41, \101).
QByteArray unescaped(const QString& value) {
    const QByteArray text = value.toLatin1();
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 'x') {
            bytes += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else if (next >= '0' && next <= '7') {
            qsizetype end = i;
            while (end < text.size() && end < i + 3 && text[end] >= '0' && text[end] <= '7')
                ++end;
            bytes += char(text.mid(i, end - i).toInt(nullptr, 8));
            i = end - 1;
        } else {
            bytes += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
        }
    }
    return bytes;
}

struct MimeType {
    QString type;
    QStringList globs;
    struct Match {
        qsizetype offset;
        QByteArray bytes;
    };
    std::vector<Match> magic;
};

MimeType readMimeXml(const QString& path) {
    MimeType found;
    QXmlStreamReader xml(contents(path));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"mime-type")
            found.type = attributes.value("type").toString();
        else if (xml.name() == u"glob")
            found.globs << attributes.value("pattern").toString();
        else if (xml.name() == u"match") {
            EXPECT_EQ(attributes.value("type"), u"string");
            found.magic.push_back({attributes.value("offset").toLongLong(),
                                   unescaped(attributes.value("value").toString())});
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return found;
}

bool matchesMagic(const MimeType& type, const QByteArray& file) {
    for (const MimeType::Match& match : type.magic)
        if (file.mid(match.offset, match.bytes.size()) == match.bytes)
            return true;
    return false;
}

// The value of `key` in a key file's lines ("Key=value").
QString keyValue(const QString& path, const QString& key) {
    const QRegularExpression line("^" + key + "=(.*)$", QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(contents(path))).captured(1);
}

const QString kMimeXml = ZENTRAVO_SOURCE_DIR "/packaging/zentravo-mime.xml";

TEST(DesktopFilesTest, TheMagicMatchesEveryProjectFileTheProgramWritesAndNothingElse) {
    const MimeType type = readMimeXml(kMimeXml);
    EXPECT_EQ(type.type, kType);
    EXPECT_EQ(type.globs, QStringList{"*.vrn"});
    ASSERT_EQ(type.magic.size(), 1u);
    EXPECT_EQ(type.magic.front().offset, 4); // after the object count
    EXPECT_EQ(type.magic.front().bytes, QByteArray("QVXT_2001", 10)); // NUL included

    // The samples, a new empty project, and a project with objects, as saves write them.
    QTemporaryDir folder;
    TestEditor editor;
    ProjectProperties properties;
    properties.name = "Magic";
    editor.newProject(properties);
    const QString empty = folder.filePath("empty.vrn");
    ASSERT_TRUE(ProjectStore::writeFile(empty.toStdString(), editor.project(), editor.symbols()));
    QImage picture(7, 5, QImage::Format_ARGB32);
    picture.fill(qRgb(1, 2, 3));
    editor.insertLibrarySymbol(SymbolId::create(), {picture});
    const QString full = folder.filePath("full.vrn");
    ASSERT_TRUE(ProjectStore::writeFile(full.toStdString(), editor.project(), editor.symbols()));
    QStringList projects{empty, full};
    for (const QFileInfo& sample :
         QDir(ZENTRAVO_BINARY_DIR "/bin/template").entryInfoList({"*.vrn"}, QDir::Files))
        projects << sample.filePath();
    ASSERT_GE(projects.size(), 3);
    for (const QString& project : projects)
        EXPECT_TRUE(matchesMagic(type, contents(project))) << project.toStdString();

    // Other files of the program do not match: a symbol file, the index, a picture.
    const QString png = folder.filePath("picture.png");
    ASSERT_TRUE(picture.save(png));
    for (const QByteArray& other : {contents(png), QByteArray(4, '\0') + "QVXT_2002" + '\0',
                                    QByteArray("QVXT_2001\0", 10), QByteArray()})
        EXPECT_FALSE(matchesMagic(type, other)) << other.left(16).toHex().toStdString();
}

TEST(DesktopFilesTest, SharedMimeInfoCompilesTheTypeAndEveryFileNamesIt) {
    QTemporaryDir data;
    ASSERT_TRUE(QDir().mkpath(data.filePath("mime/packages")));
    ASSERT_TRUE(QFile::copy(kMimeXml, data.filePath("mime/packages/zentravo.xml")));
    // With the folder on the search path, as an installed type is (else it says it is not).
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_DIRS", data.path());
    environment.insert("XDG_DATA_HOME", data.path());
    const ProgramRun update = ProgramRun::of("/usr/bin/update-mime-database",
                                             {data.filePath("mime")}, 60000, environment);
    ASSERT_TRUE(update.ok()) << update.err.toStdString();
    EXPECT_TRUE(update.err.isEmpty()) << update.err.toStdString(); // no complaint about the XML
    EXPECT_TRUE(contents(data.filePath("mime/globs2")).contains("50:" + kType.toLatin1() + ":*.vrn"));
    EXPECT_TRUE(contents(data.filePath("mime/types")).contains(kType.toLatin1()));
    const QByteArray magic = contents(data.filePath("mime/magic"));
    EXPECT_TRUE(magic.contains("[50:" + kType.toLatin1() + "]"));
    EXPECT_TRUE(magic.contains(QByteArray(">4=\0\x0aQVXT_2001\0", 15))); // offset 4, 10 bytes

    // The desktop entry opens that type with a file argument; the thumbnailer and the
    // AppStream description name it too.
    const QString desktop = ZENTRAVO_SOURCE_DIR "/app/zentravo.desktop";
    EXPECT_EQ(keyValue(desktop, "MimeType"), kType + ";");
    EXPECT_TRUE(keyValue(desktop, "Exec").endsWith(" %f"));
    const QString thumbnailer = ZENTRAVO_SOURCE_DIR "/packaging/zentravo.thumbnailer";
    EXPECT_EQ(keyValue(thumbnailer, "MimeType"), kType + ";");
    EXPECT_EQ(keyValue(thumbnailer, "Exec"), "zentravo-cli thumbnail %i %o %s");
    const QByteArray metainfo = contents(ZENTRAVO_METAINFO);
    EXPECT_TRUE(metainfo.contains("<mediatype>" + kType.toLatin1() + "</mediatype>"));
    EXPECT_TRUE(metainfo.contains("<id>" ZENTRAVO_APP_ID "</id>"));
    EXPECT_TRUE(metainfo.contains("<release version=\"" ZENTRAVO_VERSION "\""));
    EXPECT_TRUE(metainfo.contains("<launchable type=\"desktop-id\">zentravo.desktop</launchable>"));
    // The screenshots it names are ours, in the source tree, at the sizes it states.
    const QRegularExpression shot("<image type=\"source\" width=\"(\\d+)\" height=\"(\\d+)\">"
                                  "[^<]*/screenshots/([^<]+)</image>");
    int screenshots = 0;
    for (const QRegularExpressionMatch& match : shot.globalMatch(QString::fromUtf8(metainfo))) {
        ++screenshots;
        const QImage image(ZENTRAVO_SOURCE_DIR "/packaging/screenshots/" + match.captured(3));
        EXPECT_EQ(image.size(), QSize(match.captured(1).toInt(), match.captured(2).toInt()))
            << match.captured(3).toStdString();
    }
    EXPECT_GE(screenshots, 1);
}

} // namespace
