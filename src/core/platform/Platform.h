#pragma once

#include <QFile>
#include <QString>

// The few things the operating system does differently. Everything outside this folder is
// portable Qt and C++; each function has one implementation per system family.
namespace zorel8z::platform {

enum class OpenResult { Opened, NotRegular, Failed };

// Opens `path` for reading without ever waiting (a FIFO would wait for a writer) and only when what
// was opened is a regular file; the check is made on the open file, not on an earlier look at its name.
// On Failed, `reason` holds the system's words.
OpenResult openRegularFile(const QString& path, QFile& file, QString& reason);

// Forces what was written through `handle` (a C runtime descriptor) onto the device; false with the
// system's `reason` when the device reports the write lost.
bool syncToDisk(int handle, QString& reason);

// Makes `path` if missing; true only when it is a folder that no other user can enter or plant in.
bool ownPrivateFolder(const QString& path);

// A short tag that tells this user from others on the same machine.
QString userTag();

// The device file a port name stands for ("ttyUSB0" is /dev/ttyUSB0 on Linux; "COM5" stays itself).
QString deviceFile(const QString& portName);

// Whether the device at `path` exists but this user may not open it; `ownerGroup` is the group whose
// members may, when joining it is sound advice (never the administrators').
bool accessDenied(const QString& path, QString& ownerGroup);

// Converters for a named 8-bit code page ("windows-1251"): Qt's own where it has one, the system's
// otherwise (a Windows Qt without ICU knows only the UTF forms). A character the page lacks becomes
// 0x1A. hasCodePage tells whether either knows the name.
// The folder of the running program's executable, known before any QCoreApplication exists (which
// QCoreApplication::applicationDirPath needs). Empty when the system does not say.
QString executableDir();

bool hasCodePage(const QByteArray& name);
QByteArray encodeCodePage(const QByteArray& name, const QString& text);
QString decodeCodePage(const QByteArray& name, const QByteArray& bytes);

// While alive, what is typed on the console or terminal behind standard input is not shown.
class HiddenTyping {
  public:
    HiddenTyping();
    ~HiddenTyping();
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;
    // Whether standard input is a terminal at all (then there is someone to ask).
    bool interactive() const { return m_interactive; }

  private:
    bool m_interactive = false;
    // The terminal's or the console's settings before, to put back; the system's own type.
    void* m_state = nullptr;
};

} // namespace zorel8z::platform
