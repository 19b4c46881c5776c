#include "web/PageOrigins.h"

#include "web/WebKitRefs.h"

#include <string_view>

namespace norla {

namespace {

    bool sameOrigin(const SecurityOrigin& a, const SecurityOrigin& b)
    {
        return a.protocol == b.protocol && a.host == b.host && a.port == b.port;
    }

} // namespace

SecurityOrigin PageOrigins::originOf(const char* uri)
{
    SecurityOrigin origin;
    if (!uri || !*uri)
        return origin;
    auto parsed = GRef<WebKitSecurityOrigin>::adopt(webkit_security_origin_new_for_uri(uri));
    if (!parsed)
        return origin;
    const char* protocol = webkit_security_origin_get_protocol(parsed.get());
    const char* host = webkit_security_origin_get_host(parsed.get());
    origin.protocol = protocol ? protocol : "";
    origin.host = host ? host : "";
    origin.port = webkit_security_origin_get_port(parsed.get());
    return origin;
}

void PageOrigins::didCommitMainDocument(const char* uri)
{
    m_mainURI = uri ? uri : "";
    m_mainOrigin = originOf(uri);
}

void PageOrigins::didReceiveFrameDocument(const char* uri)
{
    // "about:blank" and "about:srcdoc" take the origin of the page that made them. Any other document
    // without a host of its own (an opaque origin) is another origin too.
    if (!uri || std::string_view(uri).starts_with("about:"))
        return;
    auto origin = originOf(uri);
    if (origin.host.empty() || !sameOrigin(origin, m_mainOrigin))
        m_pagesWithForeignFrames.insert(m_mainURI);
}

bool PageOrigins::holdsFrameOfAnotherOrigin() const { return m_pagesWithForeignFrames.contains(m_mainURI); }

FrameInfo PageOrigins::mediaCaptureRequester() const
{
    FrameInfo frame;
    if (holdsFrameOfAnotherOrigin())
        return frame; // perhaps that frame: not the main frame, and no origin that could be granted
    frame.isMainFrame = true;
    frame.securityOrigin = m_mainOrigin;
    return frame;
}

} // namespace norla
