#pragma once

#include <QLibrary>
#include <QString>

namespace zorel8z {

// Loads the module `fileName` into `library` and resolves its entry point `entry`. The module is looked
// for beside the program (a build tree, the window's folder, Windows), then in `otherFolder`, relative to
// the program's folder (where the installed tool finds the window's modules); empty for none. Null,
// with `error` saying where it was looked for or why it failed, when any step fails. The library is
// never unloaded (QLibrary's destructor leaves it loaded).
QFunctionPointer loadModule(QLibrary& library, const QString& fileName, const QString& otherFolder,
                            const char* entry, QString& error);

// Said of a module whose entry point answers with another version than the program's.
QString otherModuleVersion(const QLibrary& library);

// loadModule() for a module whose entry point returns its table of functions, `Module`, which starts
// with its version: the table when the version is `version`, null with `error` saying why otherwise.
template <typename Module>
const Module* loadModuleTable(QLibrary& library, const QString& fileName, const QString& otherFolder,
                              const char* entry, int version, QString& error) {
    using Entry = const Module* (*)();
    const auto resolved = reinterpret_cast<Entry>(loadModule(library, fileName, otherFolder, entry, error));
    if (!resolved)
        return nullptr;
    const Module* module = resolved();
    if (module && module->version == version)
        return module;
    error = otherModuleVersion(library);
    return nullptr;
}

} // namespace zorel8z
