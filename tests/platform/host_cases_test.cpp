// The host back end against the results Windows' own functions give.
#include "tests/platform/platform_cases.h"

#include <gtest/gtest.h>

TEST(HostBackEnd, SplitsPathsAndFormatsAsWindowsDoes) {
  for (int i = 0; i < CaseCount(); ++i) {
    char actual[CASE_LINE_SIZE];
    char expected[CASE_LINE_SIZE];
    RunCase(i, actual, sizeof actual);
    ExpectedLine(i, expected, sizeof expected);
    EXPECT_STREQ(actual, expected);
  }
}
