#pragma once

#include <curl/curl.h>

namespace zorel8z::remote {

// libcurl and the TLS, Kerberos and LDAP libraries it pulls in cost every start of the window and
// of the command-line tool several milliseconds and megabytes, though most runs never talk to a
// station. So libcurl is loaded on the first request, not linked. The pointers have the types of
// libcurl's own declarations, so a mismatch fails to compile.
struct CurlApi {
    decltype(&::curl_global_init) global_init;
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_perform) easy_perform;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_strerror) easy_strerror;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
    decltype(&::curl_url) url;
    decltype(&::curl_url_set) url_set;
    decltype(&::curl_url_get) url_get;
    decltype(&::curl_url_cleanup) url_cleanup;
    decltype(&::curl_free) free;
};

// Loads and initialises libcurl on the first call (thread-safe); later calls return the same table.
// Throws zorel8z::Error naming the library when it is missing or lacks a function.
const CurlApi& curlApi();

// Whether libcurl has been loaded into this process yet.
bool curlLoaded();

} // namespace zorel8z::remote
