#pragma once

#include "web/ScriptMessage.h"

#include <set>
#include <string>

namespace norla {

// What WebKitGTK does not say about the frames of a page, kept from its load and policy signals: the
// origin of the document the main frame shows (the committed one, not the address a load has moved the
// web view's URL to), and whether that page has let in a frame document of another origin.
//
// WebKitGTK names neither the frame nor the origin that asks for the camera or microphone. A frame of
// another origin can only ask when the page delegated the permission to it; so a request counts as the
// main document's unless the page holds such a frame, and then as one of an unknown origin.
class PageOrigins {
public:
    // The main frame committed a document at `uri`.
    void didCommitMainDocument(const char* uri);
    // A frame of the page received the document at `uri`.
    void didReceiveFrameDocument(const char* uri);

    const SecurityOrigin& mainDocumentOrigin() const { return m_mainOrigin; }
    bool holdsFrameOfAnotherOrigin() const;
    // Who asked for the camera or microphone, as far as can be known.
    FrameInfo mediaCaptureRequester() const;

    static SecurityOrigin originOf(const char* uri);

private:
    std::string m_mainURI;
    SecurityOrigin m_mainOrigin;
    // Main documents (by URI) that let in a frame of another origin, so that a page restored from the
    // back/forward cache, which loads nothing again, is still known to hold one.
    std::set<std::string, std::less<>> m_pagesWithForeignFrames;
};

} // namespace norla
