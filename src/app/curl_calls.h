#pragma once
// The libcurl calls a download makes, as one table of functions. On Linux
// the table comes from the module vornel-download, loaded by the first
// download, so that libcurl and its TLS, Kerberos and LDAP libraries are
// not mapped by a program that never downloads; elsewhere it is linked in.

#include <curl/curl.h>

namespace vornel::app {

struct CurlCalls {
    decltype(&curl_global_init) globalInit;
    decltype(&curl_multi_init) multiInit;
    decltype(&curl_multi_setopt) multiSetopt;
    decltype(&curl_multi_add_handle) multiAddHandle;
    decltype(&curl_multi_remove_handle) multiRemoveHandle;
    decltype(&curl_multi_socket_action) multiSocketAction;
    decltype(&curl_multi_info_read) multiInfoRead;
    decltype(&curl_multi_cleanup) multiCleanup;
    decltype(&curl_easy_init) easyInit;
    decltype(&curl_easy_setopt) easySetopt;
    decltype(&curl_easy_getinfo) easyGetinfo;
    decltype(&curl_easy_strerror) easyStrerror;
    decltype(&curl_easy_cleanup) easyCleanup;
    decltype(&curl_slist_append) slistAppend;
    decltype(&curl_slist_free_all) slistFreeAll;
};

}  // namespace vornel::app

// The module's one entry point (also linked in where there are no modules).
extern "C" const vornel::app::CurlCalls* vornel_curl_calls();
