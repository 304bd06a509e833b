#include <gtest/gtest.h>

#include "app/value_text.h"

using namespace app;

TEST(ValueText, LeadingNumberIgnoresWhatFollows) {
    EXPECT_EQ(leadingNumber("100"), 100);
    EXPECT_EQ(leadingNumber(" -12.5px"), -12.5);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("3e2x"), 300);
    EXPECT_EQ(leadingNumber("7e"), 7);        // exponent without digits is not part of it
    EXPECT_EQ(leadingNumber("1e999"), 0);     // overflow is no number
    EXPECT_EQ(leadingWhole("2.5", 0, 9), 2);  // half to even
    EXPECT_EQ(leadingWhole("3.5", 0, 9), 4);
    EXPECT_FALSE(leadingWhole("10", 0, 9).has_value());
}

TEST(ValueText, BooleansFromWordsOrNumbers) {
    EXPECT_EQ(textToBool("True"), true);
    EXPECT_EQ(textToBool("FALSE"), false);
    EXPECT_EQ(textToBool("-1"), true);
    EXPECT_EQ(textToBool("0"), false);
    EXPECT_EQ(textToBool("0.5"), true);
    EXPECT_FALSE(textToBool("yes").has_value());
    EXPECT_FALSE(textToBool("1x").has_value());
    EXPECT_FALSE(textToBool("").has_value());
    EXPECT_EQ(generalNumber(5000), "5000");
    EXPECT_EQ(generalNumber(-12.25), "-12.25");
    // Written numbers read back exactly, however many digits they were read with.
    for (const double x : {0.0222222222222222222, 1.0 / 3.0, 123456.789012345678, 1e-7})
        EXPECT_EQ(leadingNumber(generalNumber(x)), x) << generalNumber(x).toStdString();
}
