#include "remote/CurlLibrary.h"

#include "common/Errors.h"

#include <QLibrary>
#include <QStringList>

#include <atomic>

namespace zorel8z::remote {

namespace {

std::atomic<bool> g_loaded{false};

// The names libcurl's runtime goes by: the Debian package's soname, and the DLLs its Windows builds
// make (CMake, autotools, and some vendors' 64-bit builds).
QStringList candidateNames() {
#ifdef Q_OS_WIN
    return {QStringLiteral("libcurl"), QStringLiteral("libcurl-4"), QStringLiteral("libcurl-x64")};
#else
    return {QStringLiteral("libcurl.so.4")};
#endif
}

template <typename F> void resolve(QLibrary& library, const char* name, F& target) {
    target = reinterpret_cast<F>(library.resolve(name));
    if (!target)
        throw Error(QStringLiteral("libcurl: %1 (%2)").arg(QString::fromLatin1(name), library.fileName()));
}

CurlApi load() {
    // Never unloaded (QLibrary's destructor leaves it loaded): handles may outlive any one user, and
    // libcurl is not made to be unloaded. Static, so that nothing is left to leak at exit.
    static QLibrary library;
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    QStringList failures;
    for (const QString& name : candidateNames()) {
        library.setFileName(name);
        if (library.load())
            break;
        failures << library.errorString();
    }
    if (!library.isLoaded())
        throw Error(QStringLiteral("libcurl: ") + failures.join(QStringLiteral("; ")));
    CurlApi api{};
    resolve(library, "curl_global_init", api.global_init);
    resolve(library, "curl_easy_init", api.easy_init);
    resolve(library, "curl_easy_setopt", api.easy_setopt);
    resolve(library, "curl_easy_perform", api.easy_perform);
    resolve(library, "curl_easy_getinfo", api.easy_getinfo);
    resolve(library, "curl_easy_cleanup", api.easy_cleanup);
    resolve(library, "curl_easy_strerror", api.easy_strerror);
    resolve(library, "curl_slist_append", api.slist_append);
    resolve(library, "curl_slist_free_all", api.slist_free_all);
    resolve(library, "curl_url", api.url);
    resolve(library, "curl_url_set", api.url_set);
    resolve(library, "curl_url_get", api.url_get);
    resolve(library, "curl_url_cleanup", api.url_cleanup);
    resolve(library, "curl_free", api.free);
    // One global initialisation before the first handle; never undone, since another part of the
    // program may still hold a handle at exit.
    const CURLcode result = api.global_init(CURL_GLOBAL_DEFAULT);
    if (result != CURLE_OK)
        throw Error(QStringLiteral("libcurl: ") + QString::fromUtf8(api.easy_strerror(result)));
    g_loaded = true;
    return api;
}

} // namespace

const CurlApi& curlApi() {
    // A failed load throws out of the initialiser, so the next call tries again.
    static const CurlApi api = load();
    return api;
}

bool curlLoaded() {
    return g_loaded;
}

} // namespace zorel8z::remote
