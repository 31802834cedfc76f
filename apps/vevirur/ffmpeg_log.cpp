#include "ffmpeg_log.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cstdio>
#include <mutex>

namespace vevirur {
namespace {

std::mutex log_mutex;
std::string last_message;

void KeepMessage(void* avcl, int level, const char* format, va_list args) {
  if (level > AV_LOG_ERROR) return;
  char line[512];
  int prefix = 1;
  av_log_format_line2(avcl, level, format, args, line, sizeof line, &prefix);
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.empty()) return;
  std::lock_guard<std::mutex> lock(log_mutex);
  last_message = text;
}

}  // namespace

void CaptureFfmpegLog() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_callback(KeepMessage); });
}

std::string TakeFfmpegMessage() {
  std::lock_guard<std::mutex> lock(log_mutex);
  std::string text;
  text.swap(last_message);
  return text;
}

std::string FfmpegError(int code) {
  char reason[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, reason, sizeof reason);
  std::string text = reason;
  std::string message = TakeFfmpegMessage();
  if (!message.empty() && message.find(text) == std::string::npos) text += " (" + message + ")";
  return text;
}

}  // namespace vevirur
