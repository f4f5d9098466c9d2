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

TEST(StrToInt, ErrorNamesTheTextInUkrainian) {
    // What reaches the user from a station's or a file's number that is none.
    const struct {
        const char* text;
        const char* message;
    } cases[] = {{"1e308", "Помилкове число: \"1e308\""},
                 {"", "Помилкове число: \"\""},
                 {"\"1\"", "Помилкове число: \"\"1\"\""}};
    for (const auto& c : cases) {
        try {
            strToInt(QString::fromUtf8(c.text));
            ADD_FAILURE() << c.text;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.text(), QString::fromUtf8(c.message));
        }
    }
}
