#pragma once
// Profile-file seam: one key of one section of a Windows-style initialisation file
// ("[section]" lines and "key=value" lines), read and written one key at a time.
// Windows uses the system's profile functions; elsewhere a small reader and writer of the same
// format does the work.
#include <cstddef>

namespace platform {

// Longest file path, terminator included, that the settings code handles.
inline constexpr size_t kMaxPathBytes = 260;

// Copies the value of `key` in `section` into `buffer` (at most size - 1 bytes and a
// terminator) and returns its length; -1 when the file, the section or the key is missing or
// the value is empty. Section and key names compare without regard to case.
int ReadProfileValue(const char* path, const char* section, const char* key, char* buffer,
                     int size);

// Sets `key` in `section` to `value`, creating the file, section or key as needed and keeping
// every other line. Returns false when the file could not be written.
bool WriteProfileValue(const char* path, const char* section, const char* key, const char* value);

// Writes the full file name of the library `module` (an HINSTANCE on Windows) into `buffer`
// and returns its length; 0 when there is none or it does not fit in `size` bytes.
// Natively there is no library file, so the name is the one given to SetModuleFileName.
size_t ModuleFileName(void* module, char* buffer, size_t size);

// Replaces the library's file name for ModuleFileName (nullptr or "" clears it). Natively the
// only source of the name; on Windows an override for test programs.
void SetModuleFileName(const char* path);

}  // namespace platform
