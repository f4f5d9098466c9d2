#include "SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace zorel8z::gui {

QString SingleInstance::keyForExecutable(const QString& path) {
    const QString canonical = QFileInfo(path).absoluteFilePath().toLower();
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("zorel8z-configurator-") + QString::fromLatin1(hash);
}

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent),
      m_key(key.isEmpty() ? keyForExecutable(QCoreApplication::applicationFilePath()) : std::move(key)) {
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit activationRequested();
        }
    });
}

SingleInstance::~SingleInstance() { m_server.close(); }

bool SingleInstance::claim() {
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_key + QStringLiteral(".lock")));
    // A copy that crashed leaves a stale lock; QLockFile recognises a dead owner.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(100)) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(1000)) {
            socket.write("show");
            socket.flush();
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
        }
        return false;
    }
    // A server name left behind by a crashed copy would make listen() fail.
    QLocalServer::removeServer(m_key);
    m_server.listen(m_key);
    return true;
}

} // namespace zorel8z::gui
