// The offline renderer reads its sound as a stream: it holds only what the next slices need,
// however long the input, and hands the sink every sample once, in order, up to the limit.
#include "render/offline_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vevirur {
namespace {

// A tone of `frames` samples that records how many samples its reader ever held.
class CountingSource : public AudioSource {
 public:
  explicit CountingSource(int64_t frames) : frames_(frames) {}
  size_t Read(std::vector<float>& left, std::vector<float>& right, size_t max_frames) override {
    const size_t n = size_t(std::min<int64_t>(int64_t(max_frames), frames_ - at_));
    for (size_t i = 0; i < n; ++i, ++at_) {
      left.push_back(float(at_ % 100) / 100);
      right.push_back(-float(at_ % 100) / 100);
    }
    held = std::max(held, left.size());
    return n;
  }
  int sample_rate() const override { return 44100; }
  double ExpectedSeconds() const override { return 0; }  // a stream of unknown length
  size_t held = 0;

 private:
  int64_t frames_, at_ = 0;
};

class CountingSink : public FrameSink {
 public:
  void Write(const Picture&) override { ++frames; }
  void WriteAudio(const float* left, const float*, size_t n) override {
    for (size_t i = 0; i < n; ++i, ++samples)
      in_order = in_order && left[i] == float(samples % 100) / 100;
  }
  void Finish() override {}
  void Abort() noexcept override {}
  int frames = 0;
  int64_t samples = 0;
  bool in_order = true;
};

TEST(OfflineRenderer, HoldsOnlyTheSlicesItNeedsAndPassesEverySampleOn) {
  struct Case {
    int64_t frames;
    double max_seconds;
    int64_t expected_samples;
    int expected_frames;
  };
  const Case cases[] = {
      {44100 * 6, 0, 44100 * 6, 180},  // 6 s: 180 frames
      {44100 * 6, 2.5, 110250, 75},    // cut at 2.5 s
      {1000, 0, 1000, 1},              // shorter than one slice
  };
  for (const Case& c : cases) {
    CountingSource source(c.frames);
    CountingSink sink;
    RenderJob job;
    job.audio = &source;
    job.sink = &sink;
    job.width = 64;
    job.height = 64;
    job.max_seconds = c.max_seconds;
    RenderResult result = RenderOffline(job);
    EXPECT_EQ(sink.samples, c.expected_samples);
    EXPECT_TRUE(sink.in_order);
    EXPECT_EQ(sink.frames, c.expected_frames);
    EXPECT_EQ(result.frames, c.expected_frames);
    // A few slices' worth, never the whole input.
    EXPECT_LT(source.held, 20000u);
  }
}

}  // namespace
}  // namespace vevirur
