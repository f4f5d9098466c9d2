#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace zorel8z::gui {

namespace instance {
struct InstanceModule;
}

// One running copy per executable file and per user. The first copy holds a lock file and listens on
// a local socket, both in the user's own runtime folder; a second copy of the same user finds the
// lock taken, asks the first to come to the front and ends. Another user's copy, or a lock left by a
// copy that was killed, stops nobody.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `key` tells copies apart: by default derived from the executable's full path, case ignored.
    // `folder` holds the lock and the socket: by default the user's runtime folder.
    explicit SingleInstance(QString key = QString(), QString folder = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Listen { Now, Later };
    // True: this is the first copy and now owns the guard (or no guard can be kept, and the program
    // runs without one). False: another copy of this user runs and has been asked to show itself. A
    // lock whose holder does not answer is taken over: it was left by a copy that is gone.
    // With Listen::Later the socket opens only when listen() is called: the window calls it once it
    // is up, so that its start does without the network library.
    bool claim(Listen when = Listen::Now);
    // Opens the socket other copies knock on, when this copy holds the lock; false when it cannot.
    bool listen();

    static QString keyForExecutable(const QString& path);
    // The user's runtime folder (XDG_RUNTIME_DIR on Linux), or a folder of this user's own in the
    // temporary folder; empty when neither can be had.
    static QString userFolder();

    QString lockPath() const;
    QString serverName() const;

  signals:
    // Another copy was started: the window should come to the front.
    void activationRequested();

  private:
    // The module with the local socket, loaded on first use from beside the executable; null (and
    // a warning in the log) when it is missing or of another version.
    static const instance::InstanceModule* module();

    QString m_key;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QObject* m_server = nullptr;
};

} // namespace zorel8z::gui
