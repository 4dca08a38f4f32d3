#include "sys/date_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Calendar time in UTC, so that the expected dates do not depend on the machine's time zone.
bool Utc(std::int64_t seconds, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    return gmtime_r(&t, &out) != nullptr;
}

// What the Windows C runtime converts: 1970 to the end of 3000.
bool Until3000(std::int64_t seconds, std::tm& out) {
    return seconds >= 0 && seconds < 32536850400 && Utc(seconds, out);
}

constexpr std::int64_t kMarch5th2014 = 1394000000;  // 2014-03-05 06:13:20 UTC

struct Case {
    int days;
    const char* want;  // null: no date
};

TEST(DateAfterDays, DayMonthYearOrNothing) {
    constexpr Case cases[] = {
        {0, "05/03/2014"},      {-1, "04/03/2014"}, {36500, "09/02/2114"}, {27, "01/04/2014"},
        {-16134, "01/01/1970"}, {-16135, nullptr},  {INT_MAX, nullptr},    {INT_MIN, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        const auto date = dk::sys::DateAfterDays(kMarch5th2014, c.days, &Until3000);
        if (c.want) {
            ASSERT_TRUE(date.has_value());
            EXPECT_EQ(*date, c.want);
        } else {
            EXPECT_FALSE(date.has_value());
        }
    }
}

TEST(DateAfterDays, ExtremeDaysDoNotOverflowTheSum) {
    const auto date = dk::sys::DateAfterDays(kMarch5th2014, INT_MIN, &Utc);
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->substr(2, 1), "/") << *date;
}

}  // namespace
