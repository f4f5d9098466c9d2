#pragma once

#include <QString>

namespace zorel8z::sim {

// A pseudo-terminal pair standing in for a USB serial device. The simulator works the master side;
// the program under test opens the slave path (or the symlink) as its serial port.
class Pty {
public:
    Pty() = default;
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Opens the pair and puts the slave in raw mode. With `linkPath` a symlink to the slave is made
    // there (a stale symlink is replaced; anything else at that path is an error). With `holdSlave`
    // one slave descriptor stays open here, so the master never sees a hang-up while the client
    // closes and reopens the port; without it, clientAttached() can tell when a client opens it.
    // Returns false and sets errorString() on failure.
    bool open(const QString& linkPath = QString(), bool holdSlave = true);

    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }
    // The path a client should open: the symlink when there is one, else the slave itself.
    QString devicePath() const { return m_linkPath.isEmpty() ? m_slavePath : m_linkPath; }
    QString errorString() const { return m_error; }

    bool holdsSlave() const { return m_heldSlave >= 0; }
    bool holdSlave();

    // Whether some client has the slave open. Only meaningful while the slave is not held here.
    bool clientAttached() const;

    // Bytes written on the master that no client has read yet; -1 when the slave is not held.
    int pendingInput() const;

    // Closes the master (and the held slave): a client sees end of file or EIO, and the device node
    // goes away, as when a USB device is unplugged. The symlink stays until destruction.
    void hangUp();

private:
    bool fail(const QString& what);

    int m_master = -1;
    int m_heldSlave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QString m_error;
};

} // namespace zorel8z::sim
