#pragma once

#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"
#include "document/ProjectStore.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes readBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

inline bool writeBytes(const std::string& path, const Bytes& bytes) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
               qint64(bytes.size());
}

inline std::int32_t i32At(const Bytes& bytes, std::size_t offset) {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v |= std::uint32_t(bytes.at(offset + k)) << (8 * k);
    return static_cast<std::int32_t>(v);
}

inline float f32At(const Bytes& bytes, std::size_t offset) {
    const std::uint32_t v = static_cast<std::uint32_t>(i32At(bytes, offset));
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

inline void putI32(Bytes& bytes, std::size_t offset, std::int32_t value) {
    for (int k = 0; k < 4; ++k)
        bytes.at(offset + k) = static_cast<std::uint8_t>(std::uint32_t(value) >> (8 * k));
}

inline std::string textAt(const Bytes& bytes, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(bytes.data() + offset));
}

// A program root in a temporary folder, its language table, a recording sink, a store and an
// editor with the unnamed project open.
class ProjectFilesTest : public ::testing::Test {
protected:
    ProjectFilesTest()
        : folders(root.path().toStdString()), store(folders, sink), editor(&listener) {
        editor.startUnnamed(texts.text(kTextUnnamedProject));
    }

    // A new empty project of the given name (defaults otherwise).
    void newProject(const std::string& name) {
        ProjectProperties properties;
        properties.name = name;
        editor.newProject(properties);
    }
    std::string fileOf(const std::string& name) const { return folders.projectFile(name); }

    QTemporaryDir root;
    ProgramFolders folders;
    LanguageTable texts;
    RecordingMessageSink sink;
    ProjectStore store;
    RecordingListener listener;
    TestEditor editor;
};
