#include "platform/posix/profile_document.h"

#include <cstring>

namespace platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string KeyId(std::string_view section, std::string_view key) {
  return Lower(section) + '\n' + Lower(key);
}

// A "[name]" line gives the name; lines without the closing bracket are no headers.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// "key=value"; comment lines and lines without '=' hold no key.
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::string_view key = Trim(trimmed.substr(0, equals));
  if (key.empty()) return std::nullopt;
  std::string_view value = Trim(trimmed.substr(equals + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return KeyLine{key, value};
}

}  // namespace

ProfileDocument::ProfileDocument(std::string_view text) {
  size_t firstBreak = text.find('\n');
  if (firstBreak != std::string_view::npos && (firstBreak == 0 || text[firstBreak - 1] != '\r')) {
    newline_ = "\n";
  }
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
    finalNewline_ = text.empty();
  }
  Index();
}

void ProfileDocument::Index() {
  keys_.clear();
  sectionEnds_.clear();
  std::string section;  // lower case; empty before the first header
  bool inSection = false;
  bool firstOccurrence = false;
  for (Line line = lines_.begin(); line != lines_.end(); ++line) {
    if (auto name = SectionName(*line)) {
      section = Lower(*name);
      inSection = true;
      firstOccurrence = sectionEnds_.emplace(section, line).second;
      continue;
    }
    if (!inSection) continue;
    auto keyLine = ParseKeyLine(*line);
    if (!keyLine) continue;
    keys_.emplace(section + '\n' + Lower(keyLine->key), line);
    if (firstOccurrence) sectionEnds_[section] = line;
  }
}

std::optional<std::string_view> ProfileDocument::Find(std::string_view section,
                                                      std::string_view key) const {
  auto found = keys_.find(KeyId(Trim(section), Trim(key)));
  if (found == keys_.end()) return std::nullopt;
  std::optional<KeyLine> line = ParseKeyLine(*found->second);
  if (!line) return std::nullopt;
  return line->value;
}

bool ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  for (std::string_view text : {section, key, value}) {
    if (text.find_first_of("\r\n") != std::string_view::npos) return false;
  }
  std::string line = std::string(key) + '=' + std::string(value);
  std::optional<KeyLine> parsed = ParseKeyLine(line);
  if (!parsed || parsed->key != key) return false;
  finalNewline_ = true;
  auto found = keys_.find(KeyId(section, key));
  if (found != keys_.end()) {
    *found->second = line;
    return true;
  }
  auto end = sectionEnds_.find(Lower(section));
  if (end != sectionEnds_.end()) {
    end->second = lines_.insert(std::next(end->second), line);
    keys_.emplace(KeyId(section, key), end->second);
    return true;
  }
  if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
  lines_.push_back('[' + std::string(section) + ']');
  lines_.push_back(line);
  Index();
  return true;
}

std::string ProfileDocument::Text() const {
  // Sized once and filled by copies: large files are written out once per key saved.
  size_t bytes = finalNewline_ ? 0 : 0 - newline_.size();
  for (const std::string& line : lines_) bytes += line.size() + newline_.size();
  if (lines_.empty()) return {};
  std::string text(bytes, '\0');
  char* out = text.data();
  for (const std::string& line : lines_) {
    std::memcpy(out, line.data(), line.size());
    out += line.size();
    if (out != text.data() + bytes) {
      std::memcpy(out, newline_.data(), newline_.size());
      out += newline_.size();
    }
  }
  return text;
}

}  // namespace platform
