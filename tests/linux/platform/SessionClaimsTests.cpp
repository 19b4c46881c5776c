#include "platform/PosixSessionClaims.h"
#include "recording/RecorderError.h"
#include "support/FlockSessionClaims.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    // Linux's claims and the macOS ones (flock(2) behaves alike here). Claims of separate opens conflict even
    // inside one process; that a killed holder's claim goes with it is shown by the crash test.
    template <class Claims> class SessionClaimsTest : public ::testing::Test {
    };
    using Implementations = ::testing::Types<PosixSessionClaims, FlockSessionClaims>;
    TYPED_TEST_SUITE(SessionClaimsTest, Implementations);

    TYPED_TEST(SessionClaimsTest, OneHolderAtATimeAndALockFileLeftBehindBlocksNobody)
    {
        test::TemporaryDirectory temporary;
        auto dir = temporary.path() / "session";
        std::filesystem::create_directories(dir);
        TypeParam claims;
        EXPECT_FALSE(claims.isClaimed(dir));

        auto first = claims.claim(dir);
        ASSERT_TRUE(first) << first.error().description();
        EXPECT_TRUE(claims.isClaimed(dir));
        EXPECT_TRUE(claims.isClaimed(dir)) << "looking takes no claim and leaves the holder's";
        auto second = claims.claim(dir);
        ASSERT_FALSE(second);
        EXPECT_TRUE(second.error().is(RecorderError::sessionInUse));

        first.value().reset();
        EXPECT_TRUE(std::filesystem::exists(dir / ".claim"));
        EXPECT_FALSE(claims.isClaimed(dir));
        EXPECT_TRUE(claims.claim(dir)) << "the stale lock file is locked again";

        auto missing = claims.claim(temporary.path() / "gone");
        ASSERT_FALSE(missing);
        EXPECT_FALSE(missing.error().is(RecorderError::sessionInUse));
        EXPECT_FALSE(claims.isClaimed(temporary.path() / "gone"));
    }

} // namespace
} // namespace norla
