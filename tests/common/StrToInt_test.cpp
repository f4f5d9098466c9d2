#include "common/Errors.h"

#include <gtest/gtest.h>

using namespace zorel8z;

TEST(StrToInt, AcceptsDecimalWithSignAndLeadingBlanks) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"0", 0}, {"65536", 65536}, {"-5", -5}, {"+7", 7}, {"  12", 12}, {"007", 7},
                 {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
    for (const auto& c : cases)
        EXPECT_EQ(strToInt(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(StrToInt, RefusesWhatIsNotAnInteger) {
    for (const char* text : {"", " ", "\"1\"", "1.5", "12 ", "0x10", "2147483648", "-", "1e3"}) {
        int v = 0;
        EXPECT_FALSE(tryStrToInt(QString::fromLatin1(text), v)) << text;
        EXPECT_THROW(strToInt(QString::fromLatin1(text)), ConversionError) << text;
    }
}
