#include "InstanceModule.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace zorel8z::gui::instance {

namespace {

bool wake(const QString& name) {
    // A copy that has just taken the lock opens its socket once its window is up: ask a few times.
    for (int attempt = 0; attempt < 8; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(name);
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

QObject* listen(const QString& name, QObject* parent, std::function<void()> activated) {
    auto* server = new QLocalServer(parent);
    QObject::connect(server, &QLocalServer::newConnection, server, [server, activated] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            activated();
        }
    });
    // A socket left behind by a killed copy would make listen() fail.
    QLocalServer::removeServer(name);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        delete server;
        return nullptr;
    }
    return server;
}

const InstanceModule kModule{kInstanceModuleVersion, &wake, &listen};

} // namespace

} // namespace zorel8z::gui::instance

const zorel8z::gui::instance::InstanceModule* zorel8z_instance_module() {
    return &zorel8z::gui::instance::kModule;
}
