#include "support/PlatformError.h"

#include "platform/AuthenticationSession.h"

#include <gtest/gtest.h>

namespace norla {

TEST(PlatformErrorTest, KeepsDomainAndCodeSoTheCoreKnowsItsErrorsAndFallsBackToTheDomainForText)
{
    auto cancelled = platformError("ASWebAuthenticationSessionErrorDomain", 1, "The operation couldn’t be completed.");
    EXPECT_TRUE(cancelled.is(AuthenticationSessionError::canceledLogin));
    EXPECT_EQ(cancelled.description(), "The operation couldn’t be completed.");
    EXPECT_EQ(platformError("SCStreamErrorDomain", -3801, "").description(), "SCStreamErrorDomain エラー -3801");
    EXPECT_EQ(platformFailure("CMSampleBuffer", -12731).description(), "CMSampleBuffer (-12731)");
}

} // namespace norla
