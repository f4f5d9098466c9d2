#include "platform/LocalBell.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// A plain socket rather than QLocalServer: QtNetwork would cost every start of the window a library
// and its dependencies for this alone. The socket is the same kind QLocalServer makes on Unix.
namespace zorel8z::platform {

namespace {

bool addressOf(const QString& name, sockaddr_un& address) {
    const QByteArray path = QFile::encodeName(name);
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

} // namespace

LocalBell::LocalBell(QObject* parent) : QObject(parent) {}

LocalBell::~LocalBell() {
    close();
}

bool LocalBell::listen(const QString& name) {
    close();
    sockaddr_un address;
    if (!addressOf(name, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // A socket file left behind by a killed copy would make bind() fail.
    ::unlink(address.sun_path);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_name = name;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        for (int caller; (caller = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            ::close(caller);
            emit rung();
        }
    });
    return true;
}

void LocalBell::close() {
    if (m_fd < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(QFile::encodeName(m_name).constData());
    m_name.clear();
}

bool LocalBell::ring(const QString& name, int) {
    // A local connection is made or refused at once; a listener whose queue is full counts as none
    // this time (the caller asks again).
    sockaddr_un address;
    if (!addressOf(name, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (answered)
        ::send(fd, "show", 4, MSG_NOSIGNAL); // what older copies listened for; they read nothing else
    ::close(fd);
    return answered;
}

} // namespace zorel8z::platform
