#include "audio_in/audio_clip.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "app_error.h"

namespace vevirur {
namespace {

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 48000;

struct SndFileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

bool IsEightBit(int format) {
  int sub = format & SF_FORMAT_SUBMASK;
  return sub == SF_FORMAT_PCM_S8 || sub == SF_FORMAT_PCM_U8 || sub == SF_FORMAT_ULAW ||
         sub == SF_FORMAT_ALAW || sub == SF_FORMAT_DPCM_8;
}

// The file itself first, so that a missing or unreadable file is named as such rather than as
// "not an audio file".
void CheckReadableFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) throw AppError(path + ": no such file");
    throw AppError(path + ": " + std::strerror(errno));
  }
  if (S_ISDIR(info.st_mode)) throw AppError(path + ": is a folder, not an audio file");
  if (access(path.c_str(), R_OK) != 0) throw AppError(path + ": permission denied");
}

}  // namespace

AudioClip LoadAudioFile(const std::string& path, double max_seconds) {
  CheckReadableFile(path);
  SF_INFO info{};
  SndFilePtr file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file)
    throw AppError(path + ": not an audio file libsndfile can read (" + sf_strerror(nullptr) + ")");

  if (info.channels == 1)
    throw AppError(path + ": mono audio is not supported; give a stereo file");
  if (info.channels != 2)
    throw AppError(path + ": " + std::to_string(info.channels) +
                   "-channel audio is not supported; give a stereo file");
  if (IsEightBit(info.format))
    throw AppError(path + ": 8-bit audio is not supported; give 16-bit or better");
  if (info.samplerate < kMinRate || info.samplerate > kMaxRate)
    throw AppError(path + ": a sample rate of " + std::to_string(info.samplerate) +
                   " Hz is not supported; give 8000 to 48000 Hz");
  if (info.frames <= 0) throw AppError(path + ": the file holds no audio");

  int64_t wanted = info.frames;
  if (max_seconds > 0) wanted = std::min<int64_t>(wanted, int64_t(max_seconds * info.samplerate));
  wanted = std::max<int64_t>(wanted, 1);

  AudioClip clip;
  clip.sample_rate = info.samplerate;
  clip.left.reserve(size_t(wanted));
  clip.right.reserve(size_t(wanted));
  std::vector<float> block(2 * 8192);
  while (clip.frames() < wanted) {
    sf_count_t ask = std::min<sf_count_t>(8192, wanted - clip.frames());
    sf_count_t got = sf_readf_float(file.get(), block.data(), ask);
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      clip.left.push_back(block[size_t(2 * i)]);
      clip.right.push_back(block[size_t(2 * i + 1)]);
    }
  }
  if (sf_error(file.get()) != SF_ERR_NO_ERROR && clip.frames() == 0)
    throw AppError(path + ": cannot decode (" + sf_strerror(file.get()) + ")");
  if (clip.frames() == 0) throw AppError(path + ": the file holds no audio");
  return clip;
}

void WriteWavFile(const std::string& path, const AudioClip& clip) {
  SF_INFO info{};
  info.samplerate = clip.sample_rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SndFilePtr file(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!file) throw AppError(path + ": cannot write (" + sf_strerror(nullptr) + ")");
  std::vector<float> block;
  block.reserve(2 * 8192);
  for (int64_t start = 0; start < clip.frames(); start += 8192) {
    int64_t count = std::min<int64_t>(8192, clip.frames() - start);
    block.clear();
    for (int64_t i = start; i < start + count; ++i) {
      block.push_back(clip.left[size_t(i)]);
      block.push_back(clip.right[size_t(i)]);
    }
    if (sf_writef_float(file.get(), block.data(), count) != count)
      throw AppError(path + ": cannot write (" + sf_strerror(file.get()) + ")");
  }
}

}  // namespace vevirur
