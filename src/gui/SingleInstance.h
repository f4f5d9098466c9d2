#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace zorel8z::gui {

// One running copy per executable file. The first copy holds a lock file and listens on a local
// socket; a second copy finds the lock taken, asks the first to come to the front and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` tells copies apart: by default derived from the executable's full path, case ignored.
    explicit SingleInstance(QString key = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True: this is the first copy and now owns the guard. False: another copy runs and has been
    // asked to show itself.
    bool claim();

    static QString keyForExecutable(const QString& path);

signals:
    // Another copy was started: the window should come to the front.
    void activationRequested();

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};

} // namespace zorel8z::gui
