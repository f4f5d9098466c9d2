#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The local socket through which a second copy of the window wakes the first. It lives in a module of
// its own, loaded once the window is up: the network library and what it brings (Kerberos among
// others) would otherwise be loaded by every start, before the window could be shown.
namespace zorel8z::gui::instance {

constexpr int kInstanceModuleVersion = 1;

struct InstanceModule {
    int version;
    // Asks the copy listening on `name` to come to the front; false when none answers.
    bool (*wake)(const QString& name);
    // Listens on `name`, in place of a socket a killed copy left behind; `activated` runs for each
    // copy that knocks. The listener is a child of `parent`; null when it cannot listen.
    QObject* (*listen)(const QString& name, QObject* parent, std::function<void()> activated);
};

} // namespace zorel8z::gui::instance

extern "C" {
#if defined(_WIN32)
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
const zorel8z::gui::instance::InstanceModule* zorel8z_instance_module();
}
