#include "platform/Platform.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace zorel8z::platform {

OpenResult openRegularFile(const QString& path, QFile& file, QString& reason) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = qt_error_string(errno);
        return OpenResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenResult::NotRegular;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        reason = file.errorString();
        return OpenResult::Failed;
    }
    return OpenResult::Opened;
}

bool syncToDisk(int handle, QString& reason) {
    if (::fsync(handle) == 0 || errno == EINVAL || errno == EROFS)
        return true; // EINVAL, EROFS: the file system has no syncing to offer
    reason = qt_error_string(errno);
    return false;
}

bool ownPrivateFolder(const QString& path) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    if (::lstat(native.constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

QString userTag() {
    return QString::number(::getuid());
}

QString deviceFile(const QString& portName) {
    if (!portName.contains(QLatin1Char('/')))
        return QStringLiteral("/dev/") + portName;
    return portName;
}

bool accessDenied(const QString& path, QString& ownerGroup) {
    ownerGroup.clear();
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return false;
    ownerGroup = QFileInfo(path).group();
    // Joining the administrators' group is no advice to give.
    if (ownerGroup == QLatin1String("root") || ownerGroup == QLatin1String("wheel"))
        ownerGroup.clear();
    return true;
}

bool hasCodePage(const QByteArray& name) {
    return QStringEncoder(name.constData()).isValid() && QStringDecoder(name.constData()).isValid();
}

QByteArray encodeCodePage(const QByteArray& name, const QString& text) {
    QStringEncoder encoder(name.constData());
    return encoder.encode(text);
}

QString decodeCodePage(const QByteArray& name, const QByteArray& bytes) {
    QStringDecoder decoder(name.constData());
    return decoder.decode(bytes);
}

HiddenTyping::HiddenTyping() {
    auto* saved = new termios{};
    if (::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, saved) == 0) {
        m_interactive = true;
        m_state = saved;
        termios quiet = *saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    } else {
        delete saved;
    }
}

HiddenTyping::~HiddenTyping() {
    if (auto* saved = static_cast<termios*>(m_state)) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, saved);
        delete saved;
    }
}

QString executableDir() {
    const QString target = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return target.isEmpty() ? QString() : QFileInfo(target).absolutePath();
}

} // namespace zorel8z::platform
