#include "platform/LocalBell.h"

#include <QLocalServer>
#include <QLocalSocket>

// Windows has no Unix-domain sockets in every version the program runs on; Qt's local pipes serve.
namespace zorel8z::platform {

LocalBell::LocalBell(QObject* parent) : QObject(parent) {}

LocalBell::~LocalBell() {
    close();
}

bool LocalBell::listen(const QString& name) {
    close();
    auto* server = new QLocalServer(this);
    QLocalServer::removeServer(name);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        delete server;
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket* caller = server->nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            emit rung();
        }
    });
    m_server = server;
    m_name = name;
    return true;
}

void LocalBell::close() {
    if (!m_server)
        return;
    m_server->close();
    delete m_server;
    m_server = nullptr;
    m_name.clear();
}

bool LocalBell::ring(const QString& name, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write("show");
    socket.flush();
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

} // namespace zorel8z::platform
