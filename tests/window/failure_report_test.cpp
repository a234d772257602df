#include "window/failure_report.h"

#include <gtest/gtest.h>

namespace vorlund {
namespace {

using Failures = std::vector<std::string>;

TEST(FailureReport, TellsEachFailureOnceWhileItLasts)
{
    FailureReport report;
    report.beginRound();
    EXPECT_TRUE(report.note("a.mp3: disk full"));
    EXPECT_FALSE(report.note("a.mp3: disk full")) << "met twice in one round";
    EXPECT_TRUE(report.note("b.mp3: disk full"));
    report.endRound();

    report.beginRound();
    EXPECT_FALSE(report.note("b.mp3: disk full"));
    EXPECT_FALSE(report.note("a.mp3: disk full"));
    report.endRound();
    EXPECT_EQ(report.current(), (Failures{"a.mp3: disk full", "b.mp3: disk full"}));
}

TEST(FailureReport, ClearsAFailureThatARoundDidNotMeetAndTellsItAgainWhenItReturns)
{
    FailureReport report;
    report.beginRound();
    report.note("a.mp3: disk full");
    report.note("b.mp3: in use");
    report.endRound();

    report.beginRound();
    report.note("b.mp3: in use");
    report.endRound();
    EXPECT_EQ(report.current(), Failures{"b.mp3: in use"});

    report.beginRound();
    EXPECT_TRUE(report.note("a.mp3: disk full"));
    report.endRound();
    EXPECT_EQ(report.current(), Failures{"a.mp3: disk full"});
}

} // namespace
} // namespace vorlund
