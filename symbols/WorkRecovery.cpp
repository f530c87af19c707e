#include "symbols/WorkRecovery.h"

#include "document/AtomicFile.h"
#include "document/ProjectReader.h"
#include "document/ProjectStore.h"
#include "symbols/Symbol.h"

#include <QFile>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr char kNewSymbol[] = "new";

// The note of a folder: its writer, when it last saved, and what the symbol file replaces.
struct Info {
    WorkRecovery::Writer writer;
    QDateTime saved;
    std::optional<std::string> symbol; // "new" or 32 hex digits
};

QByteArray infoBytes(const WorkRecovery::Writer& writer, const QDateTime& saved,
                     const SymbolWork* symbol) {
    QByteArray bytes = "pid=" + QByteArray::number(qint64(writer.pid)) + '\n' +
                       "host=" + QByteArray::fromStdString(writer.host) + '\n' +
                       "saved=" + saved.toString(Qt::ISODateWithMs).toLatin1() + '\n';
    if (symbol)
        bytes +=
            "symbol=" +
            QByteArray::fromStdString(symbol->editing ? symbol->editing->toHex() : kNewSymbol) +
            '\n';
    return bytes;
}

// The note of `folder`; nothing when it is missing or lacks a field.
std::optional<Info> readInfo(const std::string& folder) {
    QFile file(QString::fromStdString(folder + WorkRecovery::kInfoFile));
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4096)
        return std::nullopt;
    Info info;
    bool pid = false;
    bool host = false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "pid")
            info.writer.pid = value.toLongLong(&pid);
        else if (key == "host") {
            info.writer.host = value.toStdString();
            host = true;
        } else if (key == "saved")
            info.saved = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        else if (key == "symbol")
            info.symbol = value.toStdString();
    }
    if (!pid || !host || !info.saved.isValid())
        return std::nullopt;
    return info;
}

bool isFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

void removeFile(const std::string& path) {
    std::error_code error;
    fs::remove(path, error);
}

// Every frame of a symbol file, or nothing when any stated frame cannot be read.
std::optional<std::vector<QImage>> readFrames(const std::string& path) {
    const std::optional<Symbol::Contents> contents = Symbol::readContents(path);
    if (!contents || contents->storedCount == 0 || contents->frames.size() != contents->storedCount)
        return std::nullopt;
    std::vector<QImage> frames;
    for (std::uint32_t i = 0; i < contents->storedCount; ++i) {
        QImage frame = Symbol::loadFrame(path, i);
        if (frame.isNull())
            return std::nullopt;
        frames.push_back(std::move(frame));
    }
    return frames;
}

// The process id a run's folder is named after ("<pid>-<ms>"), 0 when it is not so named.
std::int64_t pidOfFolderName(const std::string& name) {
    const std::size_t dash = name.find('-');
    if (dash == std::string::npos || dash == 0)
        return 0;
    bool ok = false;
    const qint64 pid = QByteArray::fromStdString(name.substr(0, dash)).toLongLong(&ok);
    return ok ? pid : 0;
}

} // namespace

WorkRecovery::WorkRecovery(std::string recoveryFolder, Writer self)
    : m_folder(std::move(recoveryFolder)), m_self(std::move(self)) {
    m_own = m_folder + std::to_string(m_self.pid) + "-" +
            std::to_string(QDateTime::currentMSecsSinceEpoch()) + "/";
}

WorkRecovery::Writer WorkRecovery::thisProcess() {
    return Writer{::getpid(), QSysInfo::machineHostName().toStdString()};
}

bool WorkRecovery::isRunning(std::int64_t pid) {
    if (pid <= 0 || pid > std::int64_t(std::numeric_limits<pid_t>::max()))
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool WorkRecovery::save(const Project* project, const EmbeddedSymbolList* symbols,
                        const SymbolWork* symbol) {
    if (!project && !symbol) {
        discard();
        return true;
    }
    std::error_code error;
    fs::create_directories(m_own, error);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    bool saved = AtomicFile::replace(m_own + kInfoFile, infoBytes(m_self, now, symbol));
    if (project && symbols)
        saved = ProjectStore::writeFile(m_own + kProjectFile, *project, *symbols) && saved;
    else
        removeFile(m_own + kProjectFile);
    if (symbol)
        saved = Symbol::writeFile(m_own + kSymbolFile, symbol->frames) && saved;
    else
        removeFile(m_own + kSymbolFile);
    return saved;
}

void WorkRecovery::discard() {
    remove(m_own);
}

std::vector<std::string> WorkRecovery::leftBehind(std::int64_t deadLockPid) const {
    std::vector<std::pair<QDateTime, std::string>> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        const std::string folder = entry.path().string() + "/";
        if (!entry.is_directory(error) || folder == m_own || name.ends_with(kDamagedSuffix))
            continue;
        // The note names the writer; a folder whose note is damaged is judged by its name.
        const std::optional<Info> info = readInfo(folder);
        const Writer writer = info ? info->writer : Writer{pidOfFolderName(name), m_self.host};
        if (writer.host != m_self.host)
            continue; // another machine's run: whether it still runs cannot be told from here
        const bool gone =
            writer.pid == m_self.pid || writer.pid == deadLockPid || !isRunning(writer.pid);
        if (gone)
            found.emplace_back(info ? info->saved : QDateTime(), folder);
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> folders;
    for (auto& [saved, folder] : found)
        folders.push_back(std::move(folder));
    return folders;
}

WorkRecovery::Recovered WorkRecovery::read(const std::string& folder) {
    Recovered recovered;
    const bool hasProject = isFile(folder + kProjectFile);
    const bool hasSymbol = isFile(folder + kSymbolFile);
    if (!hasProject && !hasSymbol)
        return recovered; // Empty
    const std::optional<Info> info = readInfo(folder);
    recovered.state = Recovered::State::Damaged;
    if (!info)
        return recovered;
    recovered.saved = info->saved;
    if (hasProject) {
        recovered.project = ProjectReader::readFile(folder + kProjectFile);
        if (!recovered.project)
            return recovered;
    }
    if (hasSymbol) {
        std::optional<std::vector<QImage>> frames = readFrames(folder + kSymbolFile);
        if (!frames)
            return recovered;
        SymbolWork work;
        work.frames = std::move(*frames);
        if (info->symbol && *info->symbol != kNewSymbol)
            work.editing = SymbolId::fromHex(*info->symbol);
        recovered.symbol = std::move(work);
    }
    recovered.state = Recovered::State::Readable;
    return recovered;
}

void WorkRecovery::remove(const std::string& folder) {
    std::error_code error;
    fs::remove_all(folder, error);
}

std::string WorkRecovery::setAside(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string aside = path + kDamagedSuffix;
    std::error_code error;
    fs::rename(path, aside, error);
    return error ? std::string() : aside;
}
