#include "SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStandardPaths>

#include "common/Modules.h"
#include "instance/InstanceModule.h"
#include "platform/Platform.h"

namespace zorel8z::gui {

QString SingleInstance::keyForExecutable(const QString& path) {
    const QString canonical = QFileInfo(path).absoluteFilePath().toLower();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("zorel8z-configurator-") + QString::fromLatin1(hash);
}

QString SingleInstance::userFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && platform::ownPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::temp().filePath(QStringLiteral("zorel8z-") + platform::userTag());
    return platform::ownPrivateFolder(own) ? own : QString();
}

SingleInstance::SingleInstance(QString key, QString folder, QObject* parent)
    : QObject(parent),
      m_key(key.isEmpty() ? keyForExecutable(QCoreApplication::applicationFilePath()) : std::move(key)),
      m_folder(folder.isEmpty() ? userFolder() : std::move(folder)) {}

SingleInstance::~SingleInstance() = default;

const instance::InstanceModule* SingleInstance::module() {
    static const instance::InstanceModule* loaded = [] () -> const instance::InstanceModule* {
        // The socket lives as long as the window.
        static QLibrary library;
        QString error;
        const auto* found = loadModuleTable<instance::InstanceModule>(
            library, QStringLiteral(ZOREL_INSTANCE_MODULE), QString(), "zorel8z_instance_module",
            instance::kInstanceModuleVersion, error);
        if (found)
            return found;
        qWarning("%s", qPrintable(error));
        return nullptr;
    }();
    return loaded;
}

QString SingleInstance::lockPath() const {
    return QDir(m_folder).filePath(m_key + QStringLiteral(".lock"));
}

QString SingleInstance::serverName() const {
#ifdef Q_OS_UNIX
    return QDir(m_folder).filePath(m_key + QStringLiteral(".socket"));
#else
    // Pipe names are shared by the whole machine.
    return m_key + QLatin1Char('-') + platform::userTag();
#endif
}

bool SingleInstance::claim(Listen when) {
    // Without a folder of the user's own there is nowhere safe to keep a guard: run without one.
    if (m_folder.isEmpty())
        return true;
    m_lock = std::make_unique<QLockFile>(lockPath());
    // A lock is never stale by its age alone; QLockFile takes over one whose process is gone.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(100)) {
        // A lock that cannot even be tried (no right to the folder) is no other copy.
        if (m_lock->error() != QLockFile::LockFailedError)
            return true;
        const instance::InstanceModule* sockets = module();
        if (sockets && sockets->wake(serverName()))
            return false;
        // Nobody answers: the lock was left by a copy that is gone, and its process number now
        // belongs to another program (numbers are handed out again after a restart, on Windows
        // soon). Ending here would end every start, without a word; take the lock over, or run
        // without a guard when it cannot be taken.
        if (!m_lock->removeStaleLockFile() || !m_lock->tryLock(100))
            return true;
    }
    if (when == Listen::Now)
        listen();
    return true;
}

bool SingleInstance::listen() {
    if (m_server)
        return true;
    if (!m_lock || !m_lock->isLocked())
        return false;
    const instance::InstanceModule* sockets = module();
    if (!sockets)
        return false;
    m_server = sockets->listen(serverName(), this, [this] { emit activationRequested(); });
    return m_server != nullptr;
}

} // namespace zorel8z::gui
