#pragma once
// The native profile-file format in memory: parsed from and written back to text, so that the
// file I/O stays apart and the format can be checked on fixtures.
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform {

class ProfileDocument {
 public:
  explicit ProfileDocument(std::string_view text = {});

  // The value of the first `key` in a section named `section` (the first such section that
  // has the key), trimmed of blanks and of one pair of enclosing quotes.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  // Rewrites the first such key line, or adds "key=value" at the end of the first section of
  // that name, or appends the section. Every other line stays as it was. False, with nothing
  // changed, for names or values that would not read back as given (an empty key, a key that
  // starts with ';' or holds '=', a line break anywhere).
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  // The document as file text, with the line ending the file came with (CRLF for new files).
  std::string Text() const;

 private:
  void Index();

  // A list, so that adding a key moves no other line and the index stays valid.
  using Line = std::list<std::string>::iterator;
  std::list<std::string> lines_;
  std::string newline_ = "\r\n";
  bool finalNewline_ = false;
  // Lower-case "section\nkey" -> line of its first occurrence.
  std::unordered_map<std::string, Line> keys_;
  // Lower-case section name -> last line of its first occurrence (where new keys go).
  std::unordered_map<std::string, Line> sectionEnds_;
};

}  // namespace platform
