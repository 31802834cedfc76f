// The offline renderer reads its sound as a stream: it holds only what the next slices need,
// however long the input, and hands the sink every sample once, in order, up to the limit.
#include "render/offline_renderer.h"

#include <gtest/gtest.h>

namespace vevirur {
namespace {

// A stream of unknown length that notes the most samples its reader ever held.
struct Stream : AudioSource {
  int64_t frames, at = 0;
  size_t held = 0;
  explicit Stream(int64_t length) : frames(length) {}
  size_t Read(std::vector<float>& left, std::vector<float>& right, size_t most) override {
    const size_t n = size_t(std::min<int64_t>(int64_t(most), frames - at));
    for (size_t i = 0; i < n; ++i) left.push_back(float(at++ % 100));
    right.resize(left.size());
    held = std::max(held, left.size());
    return n;
  }
  int sample_rate() const override { return 44100; }
  double ExpectedSeconds() const override { return 0; }
};

struct Sink : FrameSink {
  int frames = 0;
  int64_t samples = 0, out_of_order = 0;
  void Write(const Picture&) override { ++frames; }
  void WriteAudio(const float* left, const float*, size_t n) override {
    for (size_t i = 0; i < n; ++i) out_of_order += left[i] != float(samples++ % 100);
  }
  void Finish() override {}
  void Abort() noexcept override {}
};

TEST(OfflineRenderer, HoldsOnlyTheSlicesItNeedsAndPassesEverySampleOn) {
  const struct {
    int64_t frames;
    double max_seconds;
    int64_t samples;
    int pictures;
  } cases[] = {{44100 * 6, 0, 44100 * 6, 180}, {44100 * 6, 2.5, 110250, 75}, {1000, 0, 1000, 1}};
  for (const auto& c : cases) {
    Stream stream(c.frames);
    Sink sink;
    RenderJob job;
    job.audio = &stream;
    job.sink = &sink;
    job.width = job.height = 64;
    job.max_seconds = c.max_seconds;
    EXPECT_EQ(RenderOffline(job).frames, c.pictures);
    EXPECT_EQ(sink.frames, c.pictures);
    EXPECT_EQ(sink.samples, c.samples);
    EXPECT_EQ(sink.out_of_order, 0);
    EXPECT_LT(stream.held, 20000u);  // a few slices' worth, never the whole input
  }
}

}  // namespace
}  // namespace vevirur
