#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// SingleInstance: makes sure one copy of the program runs per user. The first copy holds a
// lock file and listens on a local socket, both named by the fixed 36-character key in the
// user's runtime folder; a later copy finds the lock taken, asks the first copy over the
// socket to bring its window forward (and to open a project file, when it was started with
// one), and ends without a window, also when the first copy does not answer. A lock left by a
// copy that was killed belongs to no running process: it is removed and taken over, and so is
// the socket name it left behind.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kKey = "5B3F9C1E-7A2D-4E8B-9C61-0F4A2D7E8B13";
    // How long a later copy waits for the first copy's answer.
    static constexpr int kAnswerMilliseconds = 2000;

    // `folder`: where the lock file and the socket live (the user's runtime folder by default).
    explicit SingleInstance(QString folder = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this copy is the first one: it now holds the lock and listens.
    bool claim();
    // After claim(): the process named by a lock that a copy left behind when it did not end
    // cleanly (this copy took that lock over); 0 when the lock was free.
    qint64 previousCopyPid() const { return m_previousCopyPid; }
    // A later copy's request to the first: raise its window and open `projectFile` (empty:
    // only raise). True when the first copy answered.
    bool askFirstCopy(const QString& projectFile) const;

    QString serverName() const;

signals:
    // A later copy asked this one to come forward, with a project file to open or none.
    void activationRequested(const QString& projectFile);

private:
    void readRequest();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    qint64 m_previousCopyPid = 0;
    QLocalServer m_server;
};
