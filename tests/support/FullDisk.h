#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace zorel8z::test {

// A file system of a few pages of its own (tmpfs), which a test fills to the last byte to see what a
// save does on a full disk. Mounting needs root, or a user namespace where root is not at hand; a
// mount namespace of the test's own keeps the mount from outliving the test process.
class FullDisk {
  public:
    FullDisk() = default;
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    ~FullDisk() {
        if (m_mounted)
            ::umount2(m_dir.constData(), MNT_DETACH);
        if (!m_dir.isEmpty())
            ::rmdir(m_dir.constData());
    }

    // Mounts the file system; false with `why` where this machine cannot.
    bool mount(QString& why) {
        QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/zorel-fulldisk-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            why = QStringLiteral("mkdtemp: ") + QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        m_dir = pattern;
        if (::geteuid() == 0) {
            // Best effort: a private mount namespace; without it the mount is still undone at the end.
            if (::unshare(CLONE_NEWNS) == 0)
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
        } else if (!enterUserNamespace(why)) {
            return false;
        }
        if (::mount("tmpfs", m_dir.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0777") != 0) {
            why = QStringLiteral("mount tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        m_mounted = true;
        return true;
    }

    QString path() const { return QString::fromLocal8Bit(m_dir); }
    QString filePath(const QString& name) const { return path() + QLatin1Char('/') + name; }

    // Takes every free block; true once a write has been refused for want of space.
    bool fill() const {
        const QByteArray name = m_dir + "/filler";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, '\0');
        bool full = false;
        for (int k = 0; k < 100000 && !full; ++k) {
            if (::write(fd, block.constData(), size_t(block.size())) < 0)
                full = errno == ENOSPC;
        }
        // Whatever is left is smaller than a block: take it byte by byte.
        while (::write(fd, "", 1) == 1) {
        }
        full = full && errno == ENOSPC;
        ::close(fd);
        return full;
    }

  private:
    static bool writeProc(const char* file, const QByteArray& text) {
        const int fd = ::open(file, O_WRONLY);
        if (fd < 0)
            return false;
        const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
        ::close(fd);
        return ok;
    }

    static bool enterUserNamespace(QString& why) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            why = QStringLiteral("not root, and no user namespace for a tmpfs of our own (unshare: %1)")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        writeProc("/proc/self/setgroups", "deny");
        if (!writeProc("/proc/self/uid_map", "0 " + QByteArray::number(uint(uid)) + " 1") ||
            !writeProc("/proc/self/gid_map", "0 " + QByteArray::number(uint(gid)) + " 1")) {
            why = QStringLiteral("cannot map the user into its namespace");
            return false;
        }
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
        return true;
    }

    QByteArray m_dir;
    bool m_mounted = false;
};

} // namespace zorel8z::test
