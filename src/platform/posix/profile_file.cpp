// Native profile files: the whole file is parsed once and kept while it is unchanged on disk,
// since the settings code reads thousands of keys one call at a time.
#include "platform/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "platform/posix/profile_document.h"

namespace platform {
namespace {

// Larger files are not settings files; reading them would only cost memory.
constexpr off_t kMaxFileBytes = 64 << 20;

struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  bool operator==(const FileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
  }
};

struct CachedFile {
  std::string path;
  FileStamp stamp;
  ProfileDocument document;
};

// Host thread only, like every caller of the settings file.
std::unique_ptr<CachedFile> cache;
std::string moduleFileName;

std::optional<FileStamp> StampOf(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

std::optional<std::string> ReadWholeFile(const char* path, off_t size) {
  if (size > kMaxFileBytes) return std::nullopt;
  FILE* file = std::fopen(path, "rb");
  if (!file) return std::nullopt;
  std::string text(static_cast<size_t>(size), '\0');
  size_t got = std::fread(text.data(), 1, text.size(), file);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  text.resize(got);
  return text;
}

// The current document of `path`, or nullptr when the file cannot be read.
CachedFile* Load(const char* path) {
  std::optional<FileStamp> stamp = StampOf(path);
  if (!stamp) {
    cache.reset();
    return nullptr;
  }
  if (cache && cache->path == path && cache->stamp == *stamp) return cache.get();
  cache.reset();
  std::optional<std::string> text = ReadWholeFile(path, stamp->size);
  if (!text) return nullptr;
  cache.reset(new CachedFile{path, *stamp, ProfileDocument(*text)});
  return cache.get();
}

// Overwrites in place and cuts the rest, rather than truncating first: a file truncated to
// zero and written again is flushed to disk on close by some file systems, which made saving
// a large file crawl.
bool WriteWholeFile(const char* path, const std::string& text) {
  int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool written = true;
  for (size_t done = 0; written && done < text.size();) {
    ssize_t count = write(fd, text.data() + done, text.size() - done);
    if (count < 0 && errno == EINTR) continue;
    written = count > 0;
    if (written) done += static_cast<size_t>(count);
  }
  written = written && ftruncate(fd, static_cast<off_t>(text.size())) == 0;
  return close(fd) == 0 && written;
}

}  // namespace

int ReadProfileValue(const char* path, const char* section, const char* key, char* buffer,
                     int size) {
  if (size <= 0) return -1;
  buffer[0] = '\0';
  CachedFile* file = Load(path);
  if (!file) return -1;
  std::optional<std::string_view> value = file->document.Find(section, key);
  if (!value || value->empty()) return -1;
  size_t length = std::min(value->size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, value->data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

bool WriteProfileValue(const char* path, const char* section, const char* key, const char* value) {
  struct stat info;
  bool exists = stat(path, &info) == 0;
  // A directory, a pipe (whose open would block) or an unreadable file is never overwritten.
  if (exists && !S_ISREG(info.st_mode)) return false;
  CachedFile* file = Load(path);
  if (exists && !file) return false;
  ProfileDocument document = file ? std::move(file->document) : ProfileDocument();
  cache.reset();
  if (!document.Set(section, key, value)) return false;
  if (!WriteWholeFile(path, document.Text())) return false;
  if (std::optional<FileStamp> written = StampOf(path)) {
    cache.reset(new CachedFile{path, *written, std::move(document)});
  }
  return true;
}

size_t ModuleFileName(void* module, char* buffer, size_t size) {
  if (size == 0) return 0;
  buffer[0] = '\0';
  if (moduleFileName.empty() || moduleFileName.size() >= size) return 0;
  std::memcpy(buffer, moduleFileName.c_str(), moduleFileName.size() + 1);
  return moduleFileName.size();
}

void SetModuleFileName(const char* path) {
  moduleFileName = path ? path : "";
}

}  // namespace platform
