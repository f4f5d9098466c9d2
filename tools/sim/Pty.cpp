#include "sim/Pty.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace zorel8z::sim {

namespace {

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

int openSlave(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
}

} // namespace

Pty::~Pty() {
    hangUp();
    if (!m_linkPath.isEmpty())
        ::unlink(QFile::encodeName(m_linkPath).constData());
}

bool Pty::fail(const QString& what) {
    m_error = what + QStringLiteral(": ") + errnoText();
    hangUp();
    return false;
}

bool Pty::open(const QString& linkPath, bool holdSlave) {
    if (isOpen()) {
        m_error = QStringLiteral("already open");
        return false;
    }
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail(QStringLiteral("grantpt/unlockpt"));
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail(QStringLiteral("ptsname"));
    m_slavePath = QFile::decodeName(name);
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(QStringLiteral("fcntl"));

    // Raw mode must be in place before any client can open the slave, or the line discipline would
    // translate CR and echo bytes back to the simulator.
    const int slave = openSlave(m_slavePath);
    if (slave < 0)
        return fail(QStringLiteral("open ") + m_slavePath);
    termios tio{};
    if (::tcgetattr(slave, &tio) != 0) {
        ::close(slave);
        return fail(QStringLiteral("tcgetattr"));
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0) {
        ::close(slave);
        return fail(QStringLiteral("tcsetattr"));
    }
    if (holdSlave)
        m_heldSlave = slave;
    else
        ::close(slave); // leaves the master in the hung-up state until a client opens the slave

    if (!linkPath.isEmpty()) {
        const QByteArray link = QFile::encodeName(linkPath);
        struct stat st {};
        if (::lstat(link.constData(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                errno = EEXIST;
                return fail(QStringLiteral("link ") + linkPath);
            }
            ::unlink(link.constData());
        }
        if (::symlink(name, link.constData()) != 0)
            return fail(QStringLiteral("symlink ") + linkPath);
        m_linkPath = linkPath;
    }
    m_error.clear();
    return true;
}

bool Pty::holdSlave() {
    if (!isOpen())
        return false;
    if (m_heldSlave < 0)
        m_heldSlave = openSlave(m_slavePath);
    return m_heldSlave >= 0;
}

bool Pty::clientAttached() const {
    if (!isOpen())
        return false;
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & POLLHUP) == 0;
}

int Pty::pendingInput() const {
    int count = 0;
    if (m_heldSlave < 0 || ::ioctl(m_heldSlave, FIONREAD, &count) != 0)
        return -1;
    return count;
}

void Pty::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    if (m_heldSlave >= 0)
        ::close(m_heldSlave);
    m_master = -1;
    m_heldSlave = -1;
}

} // namespace zorel8z::sim
