#include "document/ProjectStore.h"

#include "document/MessageSink.h"
#include "document/Document.h"
#include "document/ProgramFolders.h"
#include "document/ProjectEditor.h"
#include "document/ProjectReader.h"
#include "document/ProjectWriter.h"

#include <QFile>

#include <filesystem>
#include <unistd.h>

namespace {

bool isReadableFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

ProjectStore::ProjectStore(const ProgramFolders& folders, MessageSink& sink)
    : m_folders(folders), m_sink(sink) {}

void ProjectStore::fileError(const char* text) {
    m_sink.show(text, kErrorCaption, MessageIcon::Exclamation);
}

bool ProjectStore::save(const Project& project, const EmbeddedSymbolList& symbols) {
    const std::string name = project.name();
    // The name becomes a folder name: one that could leave the data folder is refused.
    if (!ProgramFolders::isValidProjectName(name)) {
        fileError(kCannotCreateFolder);
        return false;
    }
    const std::string folder = m_folders.projectFolder(name);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error) &&
        !std::filesystem::create_directory(folder, error)) {
        fileError(kCannotCreateFolder);
        return false;
    }
    bool created = false;
    if (!writeFile(m_folders.projectFile(name), project, symbols, &created)) {
        fileError(created ? kCannotWriteFile : kCannotCreateFile);
        return false;
    }
    return true;
}

bool ProjectStore::save(ProjectEditor& editor) {
    {
        auto lock = editor.document().lock();
        if (!save(lock.project(), lock.symbols()))
            return false;
    }
    editor.markSaved();
    return true;
}

bool ProjectStore::writeFile(const std::string& path, const Project& project,
                             const EmbeddedSymbolList& symbols, bool* created) {
    const std::string temporary = path + ".saving";
    QFile file(QString::fromStdString(temporary));
    if (created)
        *created = false;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (created)
        *created = true;
    bool written = ProjectWriter::write(file, project, symbols) && file.flush();
    // The rename must not reach the disk before the bytes it publishes.
    written = written && ::fsync(file.handle()) == 0;
    file.close();
    written = written && file.error() == QFileDevice::NoError;
    std::error_code error;
    if (written) {
        std::filesystem::rename(temporary, path, error);
        written = !error;
    }
    if (!written)
        std::filesystem::remove(temporary, error);
    return written;
}

std::optional<LoadedProject> ProjectStore::loadExisting(const std::string& path) {
    std::optional<LoadedProject> loaded = ProjectReader::readFile(path);
    if (!loaded)
        fileError(kCannotLoad);
    return loaded;
}

std::optional<LoadedProject> ProjectStore::loadByName(std::string_view name) {
    if (!ProgramFolders::isValidProjectName(name))
        return std::nullopt;
    std::error_code error;
    const std::string path = m_folders.projectFile(name);
    if (!std::filesystem::is_directory(m_folders.projectFolder(name), error) ||
        !isReadableFile(path))
        return std::nullopt;
    return loadExisting(path);
}

std::optional<LoadedProject> ProjectStore::loadFromFile(const std::string& path) {
    if (!isReadableFile(path))
        return std::nullopt;
    return loadExisting(path);
}

namespace {

bool open(ProjectEditor& editor, std::optional<LoadedProject> loaded) {
    if (!loaded)
        return false;
    editor.openLoaded(std::move(loaded->project), std::move(loaded->symbols));
    return true;
}

} // namespace

bool ProjectStore::openByName(ProjectEditor& editor, std::string_view name) {
    return open(editor, loadByName(name));
}

bool ProjectStore::openFromFile(ProjectEditor& editor, const std::string& path) {
    return open(editor, loadFromFile(path));
}

bool ProjectStore::openSample(ProjectEditor& editor, int number) {
    std::optional<LoadedProject> loaded = loadFromFile(m_folders.sampleFile(number));
    if (!loaded)
        return false;
    loaded->project.setName("Sample Project " + std::to_string(number));
    editor.raiseLargestDuration(loaded->project.header.duration);
    return open(editor, std::move(loaded));
}
