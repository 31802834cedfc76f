// The native profile format on memory: lookup rules and edits that keep every other line.
#include "platform/posix/profile_document.h"

#include <gtest/gtest.h>

#include <string>

using platform::ProfileDocument;

namespace {

// Text with NUL bytes in it.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string Value(const ProfileDocument& document, const char* section, const char* key) {
  auto value = document.Find(section, key);
  return value ? std::string(*value) : "<missing>";
}

TEST(ProfileDocumentTest, FindsKeysOfTheNamedSectionOnly) {
  ProfileDocument document(
      "top=0\r\n[One]\r\nkey=1\r\n[Two]\r\nkey = 2 \r\n; key=3\r\nquoted=\"a b\"\r\nbare\r\n");
  EXPECT_EQ(Value(document, "One", "key"), "1");
  EXPECT_EQ(Value(document, "two", "KEY"), "2");  // names ignore case, values are trimmed
  EXPECT_EQ(Value(document, "Two", "quoted"), "a b");
  EXPECT_EQ(Value(document, "Two", "bare"), "<missing>");
  EXPECT_EQ(Value(document, "", "top"), "<missing>");  // keys before any section belong to none
  EXPECT_EQ(Value(document, "Three", "key"), "<missing>");
}

TEST(ProfileDocumentTest, FirstOccurrenceWinsAcrossRepeatedKeysAndSections) {
  ProfileDocument document("[S]\nk=1\nk=2\n[T]\nk=9\n[s]\nk=3\nother=4\n");
  EXPECT_EQ(Value(document, "S", "k"), "1");
  EXPECT_EQ(Value(document, "S", "other"), "4");
}

TEST(ProfileDocumentTest, SetRewritesTheFirstKeyAndKeepsEveryOtherByte) {
  ProfileDocument document("; head\r\n[S]\r\n  K = old\r\nk=second\r\n[T]\r\nx=1");
  document.Set("S", "k", "new");
  EXPECT_EQ(document.Text(), "; head\r\n[S]\r\nk=new\r\nk=second\r\n[T]\r\nx=1\r\n");
}

TEST(ProfileDocumentTest, NewKeysGoToTheEndOfTheirSectionNewSectionsToTheEnd) {
  ProfileDocument document("[S]\na=1\n\n[T]\nb=2\n");
  document.Set("S", "c", "3");
  document.Set("T", "d", "4");
  document.Set("U", "e", "5");
  document.Set("S", "f", "6");
  EXPECT_EQ(document.Text(), "[S]\na=1\nc=3\nf=6\n\n[T]\nb=2\nd=4\n\n[U]\ne=5\n");
  EXPECT_EQ(Value(document, "S", "f"), "6");
  EXPECT_EQ(Value(document, "T", "b"), "2");
  EXPECT_EQ(Value(document, "U", "e"), "5");
}

TEST(ProfileDocumentTest, NulBytesAndBrokenHeadersSpoilOnlyTheirOwnLine) {
  ProfileDocument document(Bytes("[S]\nk\0ey=1\nv=2\0\n[Broken\nw=3\n\0\0\nz=4\n"));
  EXPECT_EQ(Value(document, "S", "key"), "<missing>");
  EXPECT_EQ(Value(document, "S", "v"), std::string("2\0", 2));
  EXPECT_EQ(Value(document, "S", "w"), "3");  // a header without ']' is no header
  EXPECT_EQ(Value(document, "S", "z"), "4");
  document.Set("S", "z", "5");
  EXPECT_EQ(document.Text(), Bytes("[S]\nk\0ey=1\nv=2\0\n[Broken\nw=3\n\0\0\nz=5\n"));
}

TEST(ProfileDocumentTest, NamesAndValuesThatWouldNotReadBackAreRefused) {
  const std::string text = "[S]\r\nx=1\r\n";
  for (const char* key : {"", "  ", ";note", "a=b", "a\nb"}) {
    ProfileDocument document(text);
    EXPECT_FALSE(document.Set("S", key, "7")) << key;
    EXPECT_EQ(Value(document, "S", key), "<missing>") << key;
    EXPECT_EQ(document.Text(), text) << key;
  }
  ProfileDocument document(text);
  EXPECT_FALSE(document.Set("S", "x", "2\r\n[T]"));
  EXPECT_FALSE(document.Set("S\nT", "y", "2"));
  EXPECT_EQ(document.Text(), text);
  EXPECT_TRUE(document.Set("S", " y ", " 2 "));  // blanks around names and values are no harm
  EXPECT_EQ(Value(document, "S", "y"), "2");
}

}  // namespace
