#pragma once

#include "foundation/GRef.h"

#include <webkit/webkit.h>

namespace norla {

// Reference-counted WebKit types that are boxed rather than GObjects.
template <> struct GRefTraits<WebKitScriptMessageReply> {
    static WebKitScriptMessageReply* ref(WebKitScriptMessageReply* reply)
    {
        return webkit_script_message_reply_ref(reply);
    }
    static void unref(WebKitScriptMessageReply* reply) { webkit_script_message_reply_unref(reply); }
};
template <> struct GRefTraits<WebKitUserScript> {
    static WebKitUserScript* ref(WebKitUserScript* script) { return webkit_user_script_ref(script); }
    static void unref(WebKitUserScript* script) { webkit_user_script_unref(script); }
};
template <> struct GRefTraits<WebKitSecurityOrigin> {
    static WebKitSecurityOrigin* ref(WebKitSecurityOrigin* origin) { return webkit_security_origin_ref(origin); }
    static void unref(WebKitSecurityOrigin* origin) { webkit_security_origin_unref(origin); }
};
template <> struct GRefTraits<SoupMessageHeaders> {
    static SoupMessageHeaders* ref(SoupMessageHeaders* headers) { return soup_message_headers_ref(headers); }
    static void unref(SoupMessageHeaders* headers) { soup_message_headers_unref(headers); }
};

} // namespace norla
