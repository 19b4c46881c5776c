// Progress of norla-rec's long commands: the estimate it shows, and the built tool showing it on a
// terminal and nowhere else.
#include "ProgressEstimate.h"
#include "RecTool.h"

#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>

namespace norla {
namespace {

    using namespace std::chrono_literals;

    TEST(ProgressEstimateTest, TellsThePercentAndTheTimeLeftOnceThePaceIsKnown)
    {
        // Too early to tell the pace, whether by time or by work done.
        EXPECT_EQ(ProgressEstimate::after(0.3, 0.2s).line("mixdown"), "mixdown  30%  --:-- left");
        EXPECT_EQ(ProgressEstimate::after(0.001, 20s).line("mixdown"), "mixdown   0%  --:-- left");
        // A quarter in ten seconds leaves thirty; partial seconds round up.
        EXPECT_EQ(ProgressEstimate::after(0.25, 10s).line("merge"), "merge  25%  0:30 left");
        EXPECT_EQ(ProgressEstimate::after(0.999, 100s).timeLeft, 1s);
        EXPECT_EQ(ProgressEstimate::after(0.01, 40s).line("merge"), "merge   1%  1:06:00 left");
        // Out-of-range readings are clamped rather than shown as nonsense.
        EXPECT_EQ(ProgressEstimate::after(1.7, 1s).line("merge"), "merge 100%  0:00 left");
        EXPECT_EQ(ProgressEstimate::after(std::nan(""), 1s).percent, 0);
        EXPECT_EQ(ProgressEstimate::after(-0.5, 1s).percent, 0);
    }

    // The percentages drawn on the terminal, in order.
    std::vector<int> percentages(const std::string& terminal)
    {
        static const std::regex line(R"(\r\x1b\[K[a-z]+ +([0-9]+)%  [-:0-9]+ left)");
        std::vector<int> seen;
        for (std::sregex_iterator it(terminal.begin(), terminal.end(), line), end; it != end; ++it)
            seen.push_back(std::stoi((*it)[1]));
        return seen;
    }

    // In a pipe standard error stays empty (the contract tests); on a terminal the line is drawn.
    TEST(NorlaRecProgressTest, AMixdownShowsProgressOnATerminal)
    {
        test::TemporaryDirectory temporary;
        auto dir = temporary.path();
        auto tone = test::tone(440, 0.5f, 16000 * 300);
        test::writeSamples(dir / "system.f32", tone);
        test::writeSamples(dir / "mic.f32", tone);
        auto run = test::runRecTool({ "mixdown", dir.string() }, { true, {} });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, (dir / "meeting.m4a").string() + "\n"); // standard output carries the result alone
        auto seen = percentages(run.err);
        ASSERT_FALSE(seen.empty()) << run.err;
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << run.err;
        // The line is erased at the end, so the terminal is left clean for what follows.
        EXPECT_TRUE(run.err.ends_with("\r\x1b[K")) << run.err;
    }

} // namespace
} // namespace norla
