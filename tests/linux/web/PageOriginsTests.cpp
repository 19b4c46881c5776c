#include "web/PageOrigins.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    TEST(PageOriginsTest, ARequestIsTheMainDocumentsUnlessItsPageLetInAFrameOfAnotherOrigin)
    {
        PageOrigins origins;
        origins.didCommitMainDocument("http://127.0.0.1:8080/chat");
        origins.didReceiveFrameDocument("http://127.0.0.1:8080/embed");
        origins.didReceiveFrameDocument("about:blank");
        auto requester = origins.mediaCaptureRequester();
        EXPECT_TRUE(requester.isMainFrame);
        EXPECT_EQ(requester.securityOrigin.host, "127.0.0.1");
        EXPECT_EQ(requester.securityOrigin.port, 8080);

        // Another port is another origin; so is a document with no host.
        origins.didReceiveFrameDocument("http://127.0.0.1:9090/embed");
        EXPECT_FALSE(origins.mediaCaptureRequester().isMainFrame);
        EXPECT_EQ(origins.mediaCaptureRequester().securityOrigin.host, "");

        // A new page starts clean; going back to the one with the frame (from the back/forward cache,
        // which loads nothing again) finds it as it was.
        origins.didCommitMainDocument("http://127.0.0.1:8080/tasks");
        EXPECT_TRUE(origins.mediaCaptureRequester().isMainFrame);
        origins.didReceiveFrameDocument("data:text/html,x");
        EXPECT_FALSE(origins.mediaCaptureRequester().isMainFrame);
        origins.didCommitMainDocument("http://127.0.0.1:8080/calendar");
        origins.didCommitMainDocument("http://127.0.0.1:8080/chat");
        EXPECT_FALSE(origins.mediaCaptureRequester().isMainFrame);
    }

} // namespace
} // namespace norla
