#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// One request per connection: "raise\n" or "open\t<path in UTF-8>\n"; the answer is "ok\n".
constexpr char kRaise[] = "raise";
constexpr char kOpen[] = "open\t";

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)) {
    if (m_folder.isEmpty())
        m_folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (m_folder.isEmpty())
        m_folder = QDir::tempPath();
    QDir().mkpath(m_folder);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                const QByteArray line = socket->readLine().trimmed();
                socket->write("ok\n");
                socket->flush();
                if (line == kRaise)
                    emit activationRequested(QString());
                else if (line.startsWith(kOpen))
                    emit activationRequested(QString::fromUtf8(line.mid(int(sizeof kOpen) - 1)));
            });
        }
    });
}

SingleInstance::~SingleInstance() {
    m_server.close();
}

QString SingleInstance::serverName() const {
    return QDir(m_folder).filePath(QString::fromLatin1(kKey));
}

bool SingleInstance::claim() {
    m_lock = std::make_unique<QLockFile>(serverName() + ".lock");
    // Held for the whole run: only a lock whose process is gone counts as stale.
    m_lock->setStaleLockTime(0);
    // A lock file that is there before a successful tryLock was left by a copy that is gone.
    qint64 holder = 0;
    QString host;
    QString application;
    const bool left = m_lock->getLockInfo(&holder, &host, &application);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    m_previousCopyPid = left ? holder : 0;
    // The lock is ours, so a socket of that name is left over from a copy that was killed.
    QLocalServer::removeServer(serverName());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    // Without its socket this copy still runs; a later copy then finds no one to ask and ends.
    m_server.listen(serverName());
    return true;
}

bool SingleInstance::askFirstCopy(const QString& projectFile) const {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kAnswerMilliseconds))
        return false;
    const QByteArray request = projectFile.isEmpty()
                                   ? QByteArray(kRaise) + '\n'
                                   : QByteArray(kOpen) + projectFile.toUtf8() + '\n';
    socket.write(request);
    if (!socket.waitForBytesWritten(kAnswerMilliseconds))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kAnswerMilliseconds))
            return false;
    return socket.readLine().trimmed() == "ok";
}
