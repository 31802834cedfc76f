// Windows profile files: the system's own reader and writer. Values are read as text so that
// the settings code parses them the same way on every platform (negative decimals included).
#include "platform/profile_file.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace platform {
namespace {

std::string moduleFileNameOverride;  // host thread only

}  // namespace

int ReadProfileValue(const char* path, const char* section, const char* key, char* buffer,
                     int size) {
  if (size <= 0) return -1;
  buffer[0] = '\0';
  DWORD length = GetPrivateProfileStringA(section, key, "", buffer, static_cast<DWORD>(size), path);
  return length == 0 ? -1 : static_cast<int>(length);
}

bool WriteProfileValue(const char* path, const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, path) != 0;
}

size_t ModuleFileName(void* module, char* buffer, size_t size) {
  if (size == 0) return 0;
  buffer[0] = '\0';
  if (!moduleFileNameOverride.empty()) {
    if (moduleFileNameOverride.size() >= size) return 0;
    std::memcpy(buffer, moduleFileNameOverride.c_str(), moduleFileNameOverride.size() + 1);
    return moduleFileNameOverride.size();
  }
  DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), buffer, static_cast<DWORD>(size));
  // A name that fills the buffer has been cut short.
  if (length == 0 || length >= size) {
    buffer[0] = '\0';
    return 0;
  }
  return length;
}

void SetModuleFileName(const char* path) {
  moduleFileNameOverride = path ? path : "";
}

}  // namespace platform
