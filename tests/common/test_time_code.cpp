#include <gtest/gtest.h>

#include "common/time_code.h"
#include "qstring_print.h"

namespace {

std::string text(float s, int style, int decimals, int* fields = nullptr) {
    return secToText(s, style, decimals, fields).toStdString();
}

}  // namespace

TEST(SecToText, ExamplesOfEveryStyle) {
    int fields = 0;
    EXPECT_EQ(text(3723.45f, 3, 2, &fields), "01:02:03.45");
    EXPECT_EQ(fields, 3);
    EXPECT_EQ(text(3723.455f, 3, 2), "01:02:03.45");  // 0.004 added, then cut
    EXPECT_EQ(text(5.2f, 1, 2, &fields), "5.20");
    EXPECT_EQ(fields, 1);
    EXPECT_EQ(text(59.5f, 2, 0, &fields), "00:59");  // the seconds field is cut
    EXPECT_EQ(fields, 2);
    EXPECT_EQ(text(75.5f, 0, 2, &fields), "75.50");
    EXPECT_EQ(fields, 1);
    EXPECT_EQ(text(3723.45f, 0, 2, &fields), "3723.45");
    EXPECT_EQ(fields, 1);
    EXPECT_EQ(text(75.5f, 1, 2, &fields), "01:15.50");
    EXPECT_EQ(fields, 2);
    EXPECT_EQ(text(5.2f, 2, 2), "00:05.20");
    EXPECT_EQ(text(5.2f, 3, 2), "00:00:05.20");
    EXPECT_EQ(text(4500.0f, 4, 2, &fields), "75:00.00");
    EXPECT_EQ(fields, 2);
    EXPECT_EQ(text(0.0f, 3, 2), "00:00:00.00");
    EXPECT_EQ(text(7.0f, 3, 3), "00:00:07.000");
}

TEST(SecToText, ReplacesTheCallersValueWithTheRoundedOne) {
    float s = 3723.4551f;
    secToText(s, 3, 2, nullptr);
    EXPECT_FLOAT_EQ(s, 3723.45f);
    float again = s;
    EXPECT_EQ(secToText(again, 3, 2, nullptr), "01:02:03.45");
    EXPECT_FLOAT_EQ(again, s);
    float tiny = 0.9961f;  // + 0.004 reaches a whole second
    EXPECT_EQ(secToText(tiny, 1, 2, nullptr), "1.00");
}

TEST(SecToText, TextReadsBackToTheSameTime) {
    // An hour with no whole minutes must still show its minutes field, and seconds after a
    // minutes field are two digits; a rounding up carries instead of showing 60.
    int fields = 0;
    EXPECT_EQ(text(3605.2f, 1, 2, &fields), "01:00:05.20");
    EXPECT_EQ(fields, 3);
    EXPECT_EQ(text(65.5f, 1, 2), "01:05.50");
    EXPECT_EQ(text(59.95f, 2, 1), "01:00.0");
    EXPECT_EQ(text(119.5f, 1, 0), "02:00");
    for (float s : {0.0f, 0.5f, 59.99f, 60.0f, 3599.99f, 3600.0f, 86399.5f}) {
        for (int style = 1; style <= 4; ++style) {
            float v = s;
            const QString t = secToText(v, style, 2, nullptr);
            EXPECT_NEAR(textToSec(t.contains(u':') ? t : "00:" + t), v, 0.006) << t.toStdString();
        }
    }
}

TEST(TextToSec, FieldsCountInSixties) {
    bool ok = false;
    EXPECT_FLOAT_EQ(textToSec("00:01:15.50", &ok), 75.5f);
    EXPECT_TRUE(ok);
    EXPECT_FLOAT_EQ(textToSec("01:02:03.45"), 3723.45f);
    EXPECT_FLOAT_EQ(textToSec("2:30"), 150.0f);
    EXPECT_FLOAT_EQ(textToSec("1:00:00:00"), 216000.0f);
    EXPECT_FLOAT_EQ(textToSec("75.5", &ok), 0.0f);  // plain seconds are not a time code
    EXPECT_TRUE(ok);
    EXPECT_FLOAT_EQ(textToSec(""), 0.0f);
}

TEST(TextToSec, ANonNumberFieldIsReported) {
    for (const char* bad : {"00:ab:10", "1::2", "00:01:1,5", "1:2e1", ":", "00:01:"}) {
        bool ok = true;
        EXPECT_FLOAT_EQ(textToSec(QString::fromUtf8(bad), &ok), 0.0f) << bad;
        EXPECT_FALSE(ok) << bad;
    }
    bool ok = false;
    EXPECT_FLOAT_EQ(textToSec(" 00:01:02 ", &ok), 62.0f);
    EXPECT_TRUE(ok);
}

TEST(CeilSeconds, SmallestWholeNumberNotBelow) {
    EXPECT_EQ(ceilSeconds(2.0), 2);
    EXPECT_EQ(ceilSeconds(2.01), 3);
    EXPECT_EQ(ceilSeconds(0.0), 0);
    EXPECT_EQ(ceilSeconds(-1.5), -1);
}
