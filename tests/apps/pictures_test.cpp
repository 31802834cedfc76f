// What makes the pictures: the streaming offline renderer, the conversions to video, and titles
// and overlays drawn with the system's font.
#include <gtest/gtest.h>
#include <sched.h>

#include <cstring>

#include "pictures_out/surface_yuv.h"
#include "pictures_out/yuv_convert.h"
#include "pipeline/requests.h"
#include "raster/drawing.h"
#include "raster/shown_picture.h"
#include "render/offline_renderer.h"
#include "render/overlay_band.h"
#include "text/text_overlays.h"
#include "text/text_painter.h"
#include "ui/overlay_commands.h"
#include "ui/text_overlays.h"

namespace vevirur {
namespace {

// A stream of unknown length that notes the most samples its reader ever held, and a sink that
// counts the samples handed on out of order.
struct Stream : AudioSource {
  int64_t at = 0;
  size_t held = 0;
  size_t Read(std::vector<float>& left, std::vector<float>& right, size_t most) override {
    const size_t n = size_t(std::min<int64_t>(int64_t(most), 6 * 44100 - at));
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

// The renderer holds only the slices it needs, however long the input, and hands the sink every
// sample once, in order, up to the limit. The processor it kept its turns on is its own again
// afterwards (threads started later, like an encoder's, inherit the choice).
TEST(OfflineRenderer, StreamsTheSoundAndStopsAtTheLimit) {
  cpu_set_t before, after;
  ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
  Stream stream;
  Sink sink;
  RenderJob job;
  job.audio = &stream;
  job.sink = &sink;
  job.width = job.height = 64;
  job.max_seconds = 2.5;
  EXPECT_EQ(RenderOffline(job).frames, 75);
  EXPECT_EQ(sink.frames, 75);
  EXPECT_EQ(sink.samples, 110250);
  EXPECT_EQ(sink.out_of_order, 0);
  EXPECT_LT(stream.held, 20000u);  // a few slices' worth, never the whole input
  ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
  EXPECT_TRUE(CPU_EQUAL(&before, &after));
}

// Limited-range BT.601 4:2:0; the one pass straight from the drawing surface gives the very
// bytes of the RGB read-out followed by the RGB conversion, with mixed colours in every 2 x 2
// block, the black beyond a smaller bitmap (an odd column of it inside a block) and a window
// smaller than it.
TEST(YuvConvert, LimitedRangeAndTheSurfacesOnePassAgree) {
  Picture p(2, 2);
  p.rgb = {255, 0, 0, 255, 255, 255, 255, 0, 0, 255, 255, 255};  // red, white in both rows
  std::vector<uint8_t> yuv, fused;
  ConvertToYuv420(p, yuv);
  EXPECT_EQ(yuv, (std::vector<uint8_t>{82, 235, 82, 235, 109, 184}));
  ASSERT_EQ(CreateDrawSurface(97, 64, 16), 1);
  SetPenWidth(3);
  DrawLine(0, 0, 96, 63, 0xFFFF, 0x8000, 0x0800);
  SetPenWidth(1);
  for (int x = 0; x < 97; x += 3) DrawLine(x, 20, x, 40, 0xF800 - x * 300, x * 600, 0x4000);
  for (auto [w, h] : {std::pair{100, 66}, std::pair{104, 80}, std::pair{50, 30}}) {
    Picture picture(w, h);
    ASSERT_TRUE(ReadShownPicture(w, h, picture.rgb));
    ConvertToYuv420(picture, yuv);
    ASSERT_TRUE(ConvertShownPictureToYuv420(w, h, fused));
    EXPECT_EQ(fused, yuv) << w << 'x' << h;
  }
  DestroyDrawSurface();
  EXPECT_FALSE(ConvertShownPictureToYuv420(8, 8, fused));
  // Planes used again keep what is known of their black: lines, black, lines, black again.
  std::vector<uint8_t> reused;
  KnownBlack known;
  for (int round = 0; round < 4; ++round) {
    ASSERT_EQ(CreateDrawSurface(64, 64, 16), 1);
    if (round % 2 == 0) DrawLine(2, 2, 60, 60, 0x7FFF, 0x7FFF, 0x7FFF);
    ASSERT_TRUE(ConvertShownPictureToYuv420(64, 64, reused, &known));
    ASSERT_TRUE(ConvertShownPictureToYuv420(64, 64, fused));
    EXPECT_EQ(reused, fused) << "round " << round;
    DestroyDrawSurface();
  }
  // Every 16-bit value, each in a 2 x 2 block of unrelated ones, written into the surface.
  ASSERT_EQ(CreateDrawSurface(256, 258, 16), 1);
  ShownRows rows;
  ASSERT_TRUE(OpenShownRows(256, 256, rows));
  ASSERT_EQ(rows.rowsInside, 256);
  for (unsigned i = 0; i < 65536; ++i) {
    const uint16_t value = uint16_t(i * 40503);
    std::memcpy(const_cast<uint8_t*>(rows.Row(int(i / 256))) + 2 * (i % 256), &value, 2);
  }
  Picture all(256, 256);
  ASSERT_TRUE(ReadShownPicture(256, 256, all.rgb));
  ConvertToYuv420(all, yuv);
  ASSERT_TRUE(ConvertShownPictureToYuv420(256, 256, fused));
  DestroyDrawSurface();
  EXPECT_EQ(fused, yuv);
}

// A titled frame goes the 4:2:0 way with only the overlays' rows read out as RGB: the same
// bytes as the whole picture painted and converted, for a title whose letters reach beyond its
// line box, and with the help page over the top as well; planes used again after the title
// has gone are black where it was.
TEST(YuvConvert, OverlaysPaintedOnABandOfRowsMatchTheWholePicture) {
  ASSERT_EQ(CreateDrawSurface(150, 100, 16), 1);
  for (int x = 2; x < 148; x += 2) DrawLine(x, 2, 149 - x, 60, 0x7FFF - x * 99, x * 77, 0x3000);
  SetOverlayTitle("\xc3\x85 \xc4\xba \xda\xb8 gjy");  // "Å ĺ ڸ gjy": ĺ and ڸ leave the line box
  ShowTitle(1);
  std::vector<uint8_t> band;
  KnownBlack known;
  for (bool help : {false, true}) {
    if (help) ToggleHelpPage();
    Picture whole(160, 110);
    std::vector<uint8_t> expected;
    ASSERT_TRUE(ReadShownPicture(160, 110, whole.rgb));
    PaintFrameOverlaysOn(whole);
    ConvertToYuv420(whole, expected);
    ASSERT_TRUE(ConvertShownPictureToYuv420(160, 110, band, &known));
    ASSERT_TRUE(PaintFrameOverlaysOnPlanes(160, 110, band, known));
    EXPECT_EQ(band, expected) << "help " << help;
  }
  ResetTextOverlays();
  std::vector<uint8_t> plain;
  ASSERT_TRUE(ConvertShownPictureToYuv420(160, 110, band, &known));
  ASSERT_TRUE(ConvertShownPictureToYuv420(160, 110, plain));
  EXPECT_EQ(band, plain);
  DestroyDrawSurface();
}

bool AnyInk(Picture& p, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (p.pixel(x, y)[0] || p.pixel(x, y)[1] || p.pixel(x, y)[2]) return true;
  return false;
}

TEST(TextPainter, DrawsCharactersNotBytesAndBoxesWhatNoFontHas) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"Bj\xc3\xb6rk \xe2\x80\x94 \xf0\x9f\x8e\xb5", U"Björk — \U0001F3B5"},
      {"a\xff\xc3", U"a\uFFFD\uFFFD"},                              // stray byte, cut sequence
      {"\xc0\xaf\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, surrogate
  };
  for (const auto& [utf8, expected] : cases) EXPECT_EQ(DecodeUtf8(utf8), expected);
  TextPainter& painter = OverlayTextPainter();
  EXPECT_EQ(painter.Measure("\xc3\xb6").width, painter.Measure("o").width);  // one letter
  // U+10FFFD (private use) is in no font: a hollow box of exact ink, empty inside.
  Picture q(40, 20);
  const std::string missing = "\xf4\x8f\xbf\xbd";
  painter.Draw(q, 0, 0, missing, {10, 20, 30});
  int outline = 0;
  for (int y = 0; y < 16; ++y) outline += q.pixel(1, y)[0] == 10 && q.pixel(1, y)[2] == 30;
  EXPECT_GE(outline, 8);
  EXPECT_FALSE(AnyInk(q, 2, 8, painter.Measure(missing).width - 2, 9));
  // Clipped at every edge; a background fills the line box.
  const TextColour grey{128, 128, 128};
  painter.Draw(q, 30, 10, "WWWW", {1, 2, 3}, &grey);
  painter.Draw(q, -100, -100, "x", {1, 2, 3});
  EXPECT_EQ(q.pixel(39, 10)[0], 128);  // the line box's top row, above the letters
}

// The plug-in's overlays painted with the front end's font: the title at the bottom left, the
// message measured to end 5 pixels from the right, and the about screen's logo clipped to a
// small picture.
TEST(TextOverlays, TheFrontEndPaintsThePlugInsOverlays) {
  const std::string title(254, 'a');
  SetOverlayTitle(title + "\xc3\xb6\xc3\xb6");  // the 255-byte cut would split the first "ö"
  EXPECT_EQ(GetTitleText(), title);
  ShowTitle(1);
  ToggleEffectLock();
  Picture p(640, 360);
  PaintFrameOverlaysOn(p);
  PaintMessageOn(p);
  const int w = OverlayTextPainter().Measure("Effect locked").width;
  EXPECT_TRUE(AnyInk(p, 15, 340, 200, 356));
  EXPECT_TRUE(AnyInk(p, 640 - w - 5, 344, 635, 360));
  EXPECT_FALSE(AnyInk(p, 0, 0, 640, 340) || AnyInk(p, 600, 340, 640 - w - 5, 360));
  Picture about(60, 50);
  PaintAboutScreenOn(about, true);
  EXPECT_TRUE(AnyInk(about, 25, 30, 60, 50));
  ResetTextOverlays();
  Requests.EffectLocked = 0;
}

}  // namespace
}  // namespace vevirur
