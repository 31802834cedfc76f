#pragma once
// FFmpeg's own messages: kept, not printed, so that a failure can be reported in one line that
// carries the library's reason.
#include <string>

namespace vevirur {

// Routes FFmpeg's log into a buffer (idempotent).
void CaptureFfmpegLog();
// The last error message FFmpeg logged since the previous call, or "" (clears it).
std::string TakeFfmpegMessage();
// "reason (FFmpeg's last message)" for an FFmpeg error code.
std::string FfmpegError(int code);

}  // namespace vevirur
