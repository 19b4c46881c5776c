#include "foundation/GRef.h"
#include "foundation/SignalConnection.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <memory>

namespace norla {
namespace {

    TEST(GRefTests, AdoptTakesOverTheReferenceAndRetainAddsOne)
    {
        GObject* raw = G_OBJECT(g_simple_action_new("a", nullptr));
        bool finalized = false;
        g_object_weak_ref(
            raw, [](gpointer flag, GObject*) { *static_cast<bool*>(flag) = true; }, &finalized);
        {
            auto owner = GRef<GObject>::adopt(raw);
            {
                auto borrowed = GRef<GObject>::retain(owner.get());
                auto copy = borrowed;
                auto moved = std::move(copy);
                EXPECT_EQ(raw->ref_count, 3u);
            }
            EXPECT_EQ(raw->ref_count, 1u);
            EXPECT_FALSE(finalized);
        }
        EXPECT_TRUE(finalized);
    }

    TEST(SignalConnectionTests, DeliversUntilTheHandleGoesAwayAndThenFreesTheCallable)
    {
        auto action = GRef<GSimpleAction>::adopt(g_simple_action_new("go", nullptr));
        int calls = 0;
        auto capture = std::make_shared<int>(0);
        std::weak_ptr<int> watch = capture;
        {
            auto connection = connectSignal<void(GSimpleAction*, GVariant*)>(
                action.get(), "activate", [&calls, capture](GSimpleAction*, GVariant*) { ++calls; });
            capture.reset();
            EXPECT_TRUE(connection.isConnected());
            g_action_activate(G_ACTION(action.get()), nullptr);
            EXPECT_EQ(calls, 1);
            EXPECT_FALSE(watch.expired());
        }
        EXPECT_TRUE(watch.expired());
        g_action_activate(G_ACTION(action.get()), nullptr);
        EXPECT_EQ(calls, 1);
    }

    TEST(SignalConnectionTests, AnInstanceFinalizedFirstLeavesNothingToDisconnect)
    {
        auto action = GRef<GSimpleAction>::adopt(g_simple_action_new("go", nullptr));
        auto connection = connectSignal<void(GSimpleAction*, GVariant*)>(action.get(), "activate", [](auto...) {});
        action.reset();
        EXPECT_FALSE(connection.isConnected());
        connection.disconnect();
        SignalConnection moved = std::move(connection);
        EXPECT_FALSE(moved.isConnected());
    }

} // namespace
} // namespace norla
