// Settings values: decimals within 32 bits, negative ones included; anything else is refused
// and leaves the result alone.
#include "settings/profile_number.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(ProfileNumberTest, ReadsSignedAndUnsignedDecimalsWithin32BitsAndNothingElse) {
  for (auto [text, bits] : {std::pair{"100", 100u},
                            {"  -1 ", 0xFFFFFFFFu},
                            {"+5", 5u},
                            {"\t42\r", 42u},
                            {"4294967295", 0xFFFFFFFFu},
                            {"-2147483648", 0x80000000u},
                            {"-2147483647", 0x80000001u},
                            {"00000000000000000000000007", 7u}}) {
    uint32_t read = 12345;
    EXPECT_TRUE(ParseProfileNumber(text, &read)) << text;
    EXPECT_EQ(read, bits) << text;
  }
  for (const std::string& text :
       {""s, " "s, "-"s, "+"s, "abc"s, "12a"s, "1 2"s, "0x20"s, "--1"s, "1.5"s, "\"7\""s,
        "4294967296"s, "-2147483649"s, "99999999999999999999"s, "1\0002"s}) {
    uint32_t read = 12345;
    EXPECT_FALSE(ParseProfileNumber(text, &read)) << text;
    EXPECT_EQ(read, 12345u) << text;
  }
}
