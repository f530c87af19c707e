#include "document/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <filesystem>
#include <unistd.h>

namespace {

std::string applicationFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath().toStdString();
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : exe.parent_path().string();
}

} // namespace

ProgramFolders::ProgramFolders(std::string root) : m_root(std::move(root)) {
    while (m_root.size() > 1 && m_root.back() == '/')
        m_root.pop_back();
}

ProgramFolders ProgramFolders::forExecutable() {
    const std::string folder = applicationFolder();
    ProgramFolders folders(folder);
    if (::access(folder.c_str(), W_OK) != 0) {
        QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (userFolder.isEmpty())
            userFolder = QDir::homePath() + QStringLiteral("/.zentravo");
        QDir().mkpath(userFolder);
        folders = ProgramFolders(userFolder.toStdString());
    }
    // An installed program finds its samples in its shared data folder, unless the program
    // folder has samples of its own.
    const std::filesystem::path installed =
        std::filesystem::path(folder) / ".." / "share" / "zentravo" / "template";
    std::error_code error;
    if (!std::filesystem::exists(folders.m_root + "/template/template_1.vrn", error) &&
        std::filesystem::exists(installed / "template_1.vrn", error))
        folders.m_bundledTemplates =
            std::filesystem::weakly_canonical(installed, error).string() + "/";
    return folders;
}

std::string ProgramFolders::folder(std::string_view literal) const {
    std::string path = m_root + "/" + std::string(literal) + "/";
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        std::filesystem::create_directory(path, error); // one level; failures are not reported
    return path;
}

std::string ProgramFolders::dataFolder() const {
    return folder("Data");
}
std::string ProgramFolders::templateFolder() const {
    if (!m_bundledTemplates.empty())
        return m_bundledTemplates;
    return folder("template");
}
std::string ProgramFolders::actorsFolder() const {
    return folder("Actors");
}

std::string ProgramFolders::projectIndexFile() const {
    return dataFolder() + "Project.vrx";
}
std::string ProgramFolders::languageFile() const {
    return dataFolder() + "lang.qld";
}
std::string ProgramFolders::recentProjectsFile() const {
    return dataFolder() + "recent.txt";
}
std::string ProgramFolders::recoveryFolder() const {
    dataFolder(); // the one level folder() creates is the last
    return folder("Data/Recovery");
}

std::string ProgramFolders::projectFolder(std::string_view name) const {
    return dataFolder() + projectStorageName(name) + "/";
}

std::string ProgramFolders::projectFile(std::string_view name) const {
    return projectFolder(name) + projectStorageName(name) + ".vrn";
}

std::string ProgramFolders::sampleFile(int number) const {
    return templateFolder() + "template_" + std::to_string(number) + ".vrn";
}

std::string ProgramFolders::projectStorageName(std::string_view name) {
    std::string stored(name);
    if (stored == "con")
        stored += "n";
    return stored;
}

bool ProgramFolders::isValidProjectName(std::string_view name) {
    if (name.empty() || name.size() > 259 || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}
