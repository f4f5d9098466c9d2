#include "usb/PortWatcher.h"

#include <QTimer>

namespace zorel8z::usb {

PortWatcher::PortWatcher(Lister list, int intervalMs, QObject* parent)
    : QObject(parent), m_list(std::move(list)), m_intervalMs(intervalMs) {
    m_thread.setObjectName(QStringLiteral("PortWatcher"));
}

PortWatcher::~PortWatcher() {
    m_thread.quit();
    m_thread.wait();
}

bool PortWatcher::watching() const {
    return m_thread.isRunning() || (m_here && m_here->isActive());
}

void PortWatcher::start(const QStringList& known) {
    if (watching())
        return;
#ifdef _WIN32
    m_here = new QTimer(this);
    m_here->setInterval(m_intervalMs);
    connect(m_here, &QTimer::timeout, this, [this, last = known]() mutable {
        QStringList now = m_list();
        if (now == last)
            return;
        last = now;
        emit changed(now);
    });
    m_here->start();
    return;
#endif
    // The timer lives on the watcher's thread, so its ticks and the listing run there.
    auto* timer = new QTimer;
    timer->setInterval(m_intervalMs);
    timer->moveToThread(&m_thread);
    connect(&m_thread, &QThread::started, timer, qOverload<>(&QTimer::start));
    connect(&m_thread, &QThread::finished, timer, &QObject::deleteLater);
    connect(timer, &QTimer::timeout, timer, [this, last = known]() mutable {
        QStringList now = m_list();
        if (now == last)
            return;
        last = now;
        // Emitted on the owner's thread, so that every receiver hears it there, however connected.
        QMetaObject::invokeMethod(
            this, [this, now] { emit changed(now); }, Qt::QueuedConnection);
    });
    m_thread.start();
}

} // namespace zorel8z::usb
