#include "platform/Platform.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <io.h>
#include <iterator>
#include <windows.h>

namespace zorel8z::platform {

OpenResult openRegularFile(const QString& path, QFile& file, QString& reason) {
    // Pipes and devices have names of their own (\\.\pipe\…, COM1, NUL) that are not files on a disk.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return OpenResult::NotRegular;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return OpenResult::Failed;
    }
    if (file.isSequential()) {
        file.close();
        return OpenResult::NotRegular;
    }
    return OpenResult::Opened;
}

bool syncToDisk(int handle, QString& reason) {
    if (::_commit(handle) == 0)
        return true;
    reason = qt_error_string(errno);
    return false;
}

// Folders under the user's profile are closed to other users already.
bool ownPrivateFolder(const QString& path) {
    return QDir().mkpath(path);
}

QString userTag() {
    const QByteArray user = qgetenv("USERNAME");
    return QString::fromLatin1(QCryptographicHash::hash(user, QCryptographicHash::Sha1).toHex().left(12));
}

QString deviceFile(const QString& portName) {
    return portName;
}

// Windows refuses a busy port, not a user: there is no group to join.
bool accessDenied(const QString&, QString& ownerGroup) {
    ownerGroup.clear();
    return false;
}

namespace {

// The Windows code page number of "windows-1251" or "cp1251"; 0 for any other name.
UINT systemCodePage(const QByteArray& name) {
    static const QRegularExpression form(QStringLiteral("^(?:windows-|cp)([0-9]{3,5})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(name));
    if (!match.hasMatch())
        return 0;
    const UINT page = match.captured(1).toUInt();
    CPINFO info{};
    return ::GetCPInfo(page, &info) && info.MaxCharSize == 1 ? page : 0;
}

} // namespace

bool hasCodePage(const QByteArray& name) {
    if (QStringEncoder(name.constData()).isValid() && QStringDecoder(name.constData()).isValid())
        return true;
    return systemCodePage(name) != 0;
}

QByteArray encodeCodePage(const QByteArray& name, const QString& text) {
    QStringEncoder encoder(name.constData());
    if (encoder.isValid())
        return encoder.encode(text);
    const UINT page = systemCodePage(name);
    if (page == 0 || text.isEmpty())
        return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const char unmappable = 0x1A;
    const int size = ::WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), nullptr, 0,
                                           &unmappable, nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    ::WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), bytes.data(), size, &unmappable,
                          nullptr);
    return bytes;
}

QString decodeCodePage(const QByteArray& name, const QByteArray& bytes) {
    QStringDecoder decoder(name.constData());
    if (decoder.isValid())
        return decoder.decode(bytes);
    const UINT page = systemCodePage(name);
    if (page == 0 || bytes.isEmpty())
        return {};
    const int size = ::MultiByteToWideChar(page, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString text(size, Qt::Uninitialized);
    ::MultiByteToWideChar(page, 0, bytes.constData(), int(bytes.size()),
                          reinterpret_cast<wchar_t*>(text.data()), size);
    return text;
}

HiddenTyping::HiddenTyping() {
    HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (in != INVALID_HANDLE_VALUE && ::GetConsoleMode(in, &mode)) {
        m_interactive = true;
        m_state = new DWORD(mode);
        ::SetConsoleMode(in, mode & ~DWORD(ENABLE_ECHO_INPUT));
    }
}

HiddenTyping::~HiddenTyping() {
    if (auto* saved = static_cast<DWORD*>(m_state)) {
        ::SetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), *saved);
        delete saved;
    }
}

QString executableDir() {
    wchar_t path[32768];
    const DWORD n = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    if (n == 0 || n >= std::size(path))
        return QString();
    return QFileInfo(QString::fromWCharArray(path, int(n))).absolutePath();
}

} // namespace zorel8z::platform
