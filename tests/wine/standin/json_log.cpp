#include "standin/json_log.h"

#include <windows.h>

namespace standin {
namespace {
const DWORD kStartTicks = GetTickCount();
}

uint32_t ElapsedMs() {
  return GetTickCount() - kStartTicks;
}

std::string JsonEscape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          // The plug-in's texts are single-byte; bytes outside ASCII keep their value.
          char escaped[8];
          snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

JsonLine::JsonLine(const char* event) {
  body_ = "{\"t\":";
  body_ += std::to_string(ElapsedMs());
  body_ += ",\"event\":\"";
  body_ += JsonEscape(event);
  body_ += '"';
}

void JsonLine::Key(const char* key) {
  body_ += ",\"";
  body_ += JsonEscape(key);
  body_ += "\":";
}

JsonLine& JsonLine::Int(const char* key, long long value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::Hex(const char* key, unsigned long long value) {
  char text[24];
  snprintf(text, sizeof text, "\"0x%llx\"", value);
  Key(key);
  body_ += text;
  return *this;
}

JsonLine& JsonLine::Text(const char* key, const std::string& value) {
  Key(key);
  body_ += '"';
  body_ += JsonEscape(value);
  body_ += '"';
  return *this;
}

JsonLine& JsonLine::Bool(const char* key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonLine& JsonLine::Raw(const char* key, const std::string& json) {
  Key(key);
  body_ += json;
  return *this;
}

bool JsonLog::Open(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  file_ = path == "-" ? stdout : fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

void JsonLog::Write(const JsonLine& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_) return;
  fputs(line.Finish().c_str(), file_);
  fputc('\n', file_);
  fflush(file_);
}

void JsonLog::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_ && file_ != stdout) fclose(file_);
  file_ = nullptr;
}

JsonLog& Log() {
  static JsonLog log;
  return log;
}

}  // namespace standin
