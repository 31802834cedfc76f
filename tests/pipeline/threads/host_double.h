#pragma once
// The player's side for hand-off tests: its audio buffers and a record of what was shown.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "pipeline/frame_handoff.h"
#include "platform/clock.h"

struct HostDouble {
  struct Shown {
    uint32_t at;
    int width;
    int height;
  };

  HostDouble() {
    steps.context = this;
    steps.showPicture = [](void* self, const PictureRect&, int width, int height) {
      auto* host = static_cast<HostDouble*>(self);
      host->shown.push_back(Shown{platform::TickCount(), width, height});
      if (host->show_throws) throw std::runtime_error("show failed");
      return 0;
    };
    steps.drawAboutScreen = [](void* self, const PictureRect&, bool clear) {
      auto* host = static_cast<HostDouble*>(self);
      ++host->about_screens;
      host->last_about_cleared = clear;
    };
    audio.spectrum = spectrum;
    audio.waveform = waveform;
  }

  int Call(int playing, const PictureRect& rect) {
    return HandOffFrame(playing, rect, audio, steps);
  }

  unsigned char spectrum[2][kHostSampleCount]{};
  char waveform[2][kHostSampleCount]{};
  HostAudio audio;
  FrameShowSteps steps;
  std::vector<Shown> shown;
  int about_screens = 0;
  bool last_about_cleared = false;
  bool show_throws = false;
};
