// The native profile format in memory: edits that keep every other byte. What is found where,
// the settings fixtures show.
#include "platform/posix/profile_document.h"

#include <gtest/gtest.h>

#include <string>

using platform::ProfileDocument;
using namespace std::string_literals;

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
