#include "foundation/GRef.h"
#include "foundation/SignalConnection.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <memory>

namespace norla {
namespace {

    TEST(SignalConnectionTest, DeliversUntilTheHandleGoesThenFreesTheCallableAndOutlivesItsInstance)
    {
        auto action = GRef<GSimpleAction>::adopt(g_simple_action_new("go", nullptr));
        int calls = 0;
        auto capture = std::make_shared<int>(0);
        std::weak_ptr<int> watch = capture;
        {
            auto connection = connectSignal<void(GSimpleAction*, GVariant*)>(
                action.get(), "activate", [&calls, capture](GSimpleAction*, GVariant*) { ++calls; });
            capture.reset();
            g_action_activate(G_ACTION(action.get()), nullptr);
            EXPECT_EQ(calls, 1);
            EXPECT_FALSE(watch.expired());
        }
        EXPECT_TRUE(watch.expired());
        g_action_activate(G_ACTION(action.get()), nullptr);
        EXPECT_EQ(calls, 1);

        auto connection = connectSignal<void(GSimpleAction*, GVariant*)>(action.get(), "activate", [](auto...) {});
        EXPECT_TRUE(connection.isConnected());
        action.reset();
        EXPECT_FALSE(connection.isConnected()) << "an instance finalized first leaves nothing to disconnect";
        SignalConnection moved = std::move(connection);
        moved.disconnect();
    }

} // namespace
} // namespace norla
