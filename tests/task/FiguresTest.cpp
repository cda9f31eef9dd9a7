#include "task/LogLineFormat.h"
#include "task/ProgressFigures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tavora::task;

TEST(LogLineFormat, NumbersHaveThreeDigitsAndATrailingBlank) {
    EXPECT_EQ(FormatLogNumber(1), "001 ");
    EXPECT_EQ(FormatLogNumber(42), "042 ");
    EXPECT_EQ(FormatLogNumber(999), "999 ");
    EXPECT_EQ(FormatLogNumber(1000), "1000 ");
    const uint32_t first = NextLogLineNumber();
    EXPECT_EQ(NextLogLineNumber(), first + 1);
}

TEST(LogLineFormat, TimeIsHoursMinutesSeconds) {
    std::tm justAfterMidnight{};
    justAfterMidnight.tm_hour = 0;
    justAfterMidnight.tm_min = 0;
    justAfterMidnight.tm_sec = 7;
    EXPECT_EQ(FormatLogTime(&justAfterMidnight), "00:00:07");
    std::tm evening{};
    evening.tm_hour = 23;
    evening.tm_min = 59;
    evening.tm_sec = 58;
    EXPECT_EQ(FormatLogTime(&evening), "23:59:58");
    EXPECT_EQ(FormatLogTime(nullptr), "-1:-1:-1");
}

TEST(ProgressFigures, PercentagesAreLimitedAndFormatted) {
    EXPECT_EQ(LimitPercent(100.7f), 100.0f);
    EXPECT_EQ(LimitPercent(42.5f), 42.5f);
    EXPECT_EQ(LimitPercent(std::numeric_limits<float>::infinity()), 100.0f);
    EXPECT_EQ(LimitPercent(std::nanf("")), 0.0f); // a task total of 0
    EXPECT_EQ(FormatPercent(0.0f), " 0.00%");
    EXPECT_EQ(FormatPercent(5.25f), " 5.25%");
    EXPECT_EQ(FormatPercent(100.0f), "100.00%");
    EXPECT_EQ(FormatSpeed(12.345), " 12.35x");
    EXPECT_EQ(FormatSpeed(3.0), "  3.00x");
}

TEST(ProgressFigures, TimesAndRemainingTime) {
    EXPECT_EQ(FormatHMS(0), "00:00:00");
    EXPECT_EQ(FormatHMS(3725.9), "01:02:05");
    EXPECT_EQ(FormatHMS(-4), "00:00:00");
    EXPECT_EQ(FormatHMS(std::numeric_limits<double>::infinity()), "00:00:00");
    EXPECT_DOUBLE_EQ(RemainingSeconds(25.0f, 10.0), 30.0);
    EXPECT_DOUBLE_EQ(RemainingSeconds(100.0f, 10.0), 0.0);
}
