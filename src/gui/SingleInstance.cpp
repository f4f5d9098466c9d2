#include "SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include "platform/Platform.h"

namespace zorel8z::gui {

QString SingleInstance::keyForExecutable(const QString& path) {
    const QString canonical = QFileInfo(path).absoluteFilePath().toLower();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("zorel8z-configurator-") + QString::fromLatin1(hash);
}

QString SingleInstance::userFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && platform::ownPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::temp().filePath(QStringLiteral("zorel8z-") + platform::userTag());
    return platform::ownPrivateFolder(own) ? own : QString();
}

SingleInstance::SingleInstance(QString key, QString folder, QObject* parent)
    : QObject(parent),
      m_key(key.isEmpty() ? keyForExecutable(QCoreApplication::applicationFilePath()) : std::move(key)),
      m_folder(folder.isEmpty() ? userFolder() : std::move(folder)) {
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit activationRequested();
        }
    });
}

SingleInstance::~SingleInstance() {
    m_server.close();
}

QString SingleInstance::lockPath() const {
    return QDir(m_folder).filePath(m_key + QStringLiteral(".lock"));
}

QString SingleInstance::serverName() const {
#ifdef Q_OS_UNIX
    return QDir(m_folder).filePath(m_key + QStringLiteral(".socket"));
#else
    // Pipe names are shared by the whole machine.
    return m_key + QLatin1Char('-') + platform::userTag();
#endif
}

bool SingleInstance::wakeRunningCopy() const {
    // A copy that has just taken the lock opens its server a moment later: ask a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(serverName());
        if (socket.waitForConnected(1000)) {
            socket.write("show");
            socket.flush();
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return true;
        }
        QThread::msleep(250);
    }
    return false;
}

bool SingleInstance::claim() {
    // Without a folder of the user's own there is nowhere safe to keep a guard: run without one.
    if (m_folder.isEmpty())
        return true;
    m_lock = std::make_unique<QLockFile>(lockPath());
    // A lock is never stale by its age alone; QLockFile takes over one whose process is gone.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(100)) {
        // A lock that cannot even be tried (no right to the folder) is no other copy.
        if (m_lock->error() != QLockFile::LockFailedError)
            return true;
        if (wakeRunningCopy())
            return false;
        // Nobody answers: the lock was left by a copy that is gone, and its process number now
        // belongs to another program (numbers are handed out again after a restart, on Windows
        // soon). Ending here would end every start, without a word; take the lock over, or run
        // without a guard when it cannot be taken.
        if (!m_lock->removeStaleLockFile() || !m_lock->tryLock(100))
            return true;
    }
    // A socket left behind by a killed copy would make listen() fail.
    QLocalServer::removeServer(serverName());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(serverName());
    return true;
}

} // namespace zorel8z::gui
