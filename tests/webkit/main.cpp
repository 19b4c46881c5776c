#include "WebKitFixture.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    norla::test::WebKitFixture::installTestDesktop();
    if (!gtk_init_check()) {
        std::fprintf(stderr, "norla_webkit_tests: no display (run under xvfb-run -a)\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
