#pragma once

#include <QObject>

class QSocketNotifier;

namespace zorel8z::sim {

// Turns SIGINT and SIGTERM into QCoreApplication::quit(), so the tools unwind normally and their
// destructors remove the device symlinks. One instance per process.
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace zorel8z::sim
