// Settings values: decimals within 32 bits, negative ones included; anything else is refused.
#include "settings/profile_number.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileNumberTest, AcceptsSignedAndUnsignedDecimalsWithin32Bits) {
  struct Case {
    const char* text;
    uint32_t bits;
  } cases[] = {{"100", 100},
               {"  -1 ", 0xFFFFFFFFu},
               {"+5", 5},
               {"0", 0},
               {"\t42\r", 42},
               {"4294967295", 0xFFFFFFFFu},
               {"-2147483648", 0x80000000u},
               {"-2147483647", 0x80000001u},
               {"00000000000000000000000007", 7}};
  for (const Case& c : cases) {
    uint32_t bits = 12345;
    EXPECT_TRUE(ParseProfileNumber(c.text, &bits)) << c.text;
    EXPECT_EQ(bits, c.bits) << c.text;
  }
}

TEST(ProfileNumberTest, RefusesEverythingElseAndLeavesTheResultAlone) {
  const char* refused[] = {"",    " ",          "-",           "+",
                           "abc", "12a",        "1 2",         "0x20",
                           "--1", "4294967296", "-2147483649", "99999999999999999999999999999999",
                           "1.5", "\"7\""};
  for (const char* text : refused) {
    uint32_t bits = 12345;
    EXPECT_FALSE(ParseProfileNumber(text, &bits)) << text;
    EXPECT_EQ(bits, 12345u) << text;
  }
  uint32_t bits = 12345;
  EXPECT_FALSE(ParseProfileNumber(std::string_view("1\0002", 3), &bits));
}

}  // namespace
