// The native profile format in memory (edits that keep every other byte; what is found where,
// the settings fixtures show) and its values: decimals within 32 bits, negative ones included;
// anything else is refused and leaves the result alone.
#include <gtest/gtest.h>

#include <string>

#include "platform/posix/profile_document.h"
#include "settings/profile_number.h"

using platform::ProfileDocument;
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

TEST(ProfileDocumentTest, EditsTouchOnlyTheirOwnLine) {
  // The first such key is rewritten, in whichever section of that name holds it (names ignore
  // case); new keys follow the last key of the first section of their name, new sections go to
  // the end.
  ProfileDocument document(
      "; head\r\n[S]\r\n  K = old\r\nk=2\r\n\0\r\n\r\n[T]\r\nx=1\r\n[s]\r\nz=0"s);
  EXPECT_TRUE(document.Set("s", "k", "new"));
  EXPECT_TRUE(document.Set("S", "n", "1"));
  EXPECT_TRUE(document.Set("U", "u", "2"));
  EXPECT_TRUE(document.Set("S", "z", "3"));
  EXPECT_EQ(
      document.Text(),
      "; head\r\n[S]\r\nk=new\r\nk=2\r\nn=1\r\n\0\r\n\r\n[T]\r\nx=1\r\n[s]\r\nz=3\r\n\r\n[U]\r\nu=2\r\n"s);
}
