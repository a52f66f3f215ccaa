// The module vornel-download: libcurl's calls, handed to the program as a
// table (curl_calls.h). Where there are no modules it is linked in.

#include <QtGlobal>

#include "app/curl_calls.h"

extern "C" Q_DECL_EXPORT const vornel::app::CurlCalls* vornel_curl_calls() {
    static const vornel::app::CurlCalls calls{
        &curl_global_init,         &curl_multi_init,      &curl_multi_setopt,  &curl_multi_add_handle,
        &curl_multi_remove_handle, &curl_multi_socket_action, &curl_multi_info_read, &curl_multi_cleanup,
        &curl_easy_init,           &curl_easy_setopt,     &curl_easy_getinfo,  &curl_easy_strerror,
        &curl_easy_cleanup,        &curl_slist_append,    &curl_slist_free_all,
    };
    return &calls;
}
