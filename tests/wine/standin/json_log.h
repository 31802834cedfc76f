#pragma once
// The stand-in's record of everything it saw: one JSON object per line, flushed at once, so
// that a run cut short by the watchdog still leaves a readable log.
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace standin {

// One log line under construction: {"t":ms,"event":"name",...fields}.
class JsonLine {
 public:
  explicit JsonLine(const char* event);
  JsonLine& Int(const char* key, long long value);
  JsonLine& Hex(const char* key, unsigned long long value);
  JsonLine& Text(const char* key, const std::string& value);
  JsonLine& Bool(const char* key, bool value);
  // A value that is already JSON (an array, for instance).
  JsonLine& Raw(const char* key, const std::string& json);
  std::string Finish() const { return body_ + "}"; }

 private:
  void Key(const char* key);
  std::string body_;
};

std::string JsonEscape(const std::string& text);

// Written from the host thread and the watcher threads, hence the lock.
class JsonLog {
 public:
  bool Open(const std::string& path);
  void Write(const JsonLine& line);
  void Close();

 private:
  std::mutex mutex_;
  FILE* file_ = nullptr;
};

JsonLog& Log();
// Milliseconds since the stand-in started.
uint32_t ElapsedMs();

}  // namespace standin
