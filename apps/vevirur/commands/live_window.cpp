// `vevirur live`: the visualization in an SDL2 window, fed from the machine's own sound. This
// thread is the player's: every 25 ms it hands the newest audio to the draw thread and shows the
// finished picture, on the real clock, exactly as the plug-in's host calls do.
#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app_error.h"
#include "audio_in/live_audio.h"
#include "commands/commands.h"
#include "commands/live_keys.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "raster/shown_picture.h"
#include "text/text_overlays.h"

namespace vevirur {
namespace {

constexpr int kStartWidth = 800;
constexpr int kStartHeight = 450;

struct LiveWindow {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int texture_w = 0, texture_h = 0;
  Picture picture;
  TextOverlays overlays;
  bool fullscreen = false;

  ~LiveWindow() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
  }

  void Present() {
    // The status message goes over the shown picture only, as on the plug-in's window.
    overlays.DrawMessage(picture, platform::TickCount(), Requests.EffectLocked != 0);
    if (!texture || texture_w != picture.width || texture_h != picture.height) {
      if (texture) SDL_DestroyTexture(texture);
      texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING,
                                  picture.width, picture.height);
      if (!texture)
        throw AppError(std::string("cannot make the window's picture: ") + SDL_GetError());
      texture_w = picture.width;
      texture_h = picture.height;
    }
    SDL_UpdateTexture(texture, nullptr, picture.rgb.data(), picture.width * 3);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
  }
};

int ShowPicture(void* context, const PictureRect&, int width, int height) {
  auto* live = static_cast<LiveWindow*>(context);
  if (live->picture.width != width || live->picture.height != height)
    live->picture = Picture(width, height);
  if (!ReadShownPicture(live->picture.width, live->picture.height, live->picture.rgb)) return 0;
  live->overlays.DrawOnPicture(live->picture, platform::TickCount());
  live->Present();
  return 0;
}

void DrawAbout(void* context, const PictureRect& rect, bool clear) {
  auto* live = static_cast<LiveWindow*>(context);
  if (live->picture.width != rect.right || live->picture.height != rect.bottom)
    live->picture = Picture(rect.right, rect.bottom);
  TextOverlays::DrawAboutScreen(live->picture, clear, true);
  live->Present();
}

void ToggleLock(LiveWindow& live) {
  Requests.EffectLocked = Requests.EffectLocked ? 0 : 1;
  live.overlays.ShowMessage(Requests.EffectLocked ? "Effect locked" : "Effect unlocked",
                            platform::TickCount());
}

void SetFullScreen(LiveWindow& live, bool on) {
  if (live.fullscreen == on) return;
  live.fullscreen = on;
  SDL_SetWindowFullscreen(live.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

// Returns false when the window should close.
bool HandleKey(LiveWindow& live, const SDL_KeyboardEvent& key) {
  const uint32_t now = platform::TickCount();
  switch (CommandForKey(key.keysym.sym, key.keysym.mod)) {
    case LiveCommand::kChangeDrawing:
      RequestChangeDrawing();
      break;
    case LiveCommand::kToggleLock:
      ToggleLock(live);
      break;
    case LiveCommand::kToggleTitle:
      live.overlays.ToggleTitle(now);
      break;
    case LiveCommand::kToggleHelp:
      live.overlays.ToggleHelp(now);
      break;
    case LiveCommand::kToggleFullScreen:
      SetFullScreen(live, !live.fullscreen);
      break;
    case LiveCommand::kLeaveFullScreen:
      SetFullScreen(live, false);
      break;
    case LiveCommand::kQuit:
      return false;
    case LiveCommand::kNone:
      break;
  }
  return true;
}

}  // namespace

int RunLive(const CommandLine& command) {
  // The sound first: without it there is nothing to show, and no window needs to flash up.
  std::unique_ptr<LiveAudio> audio = OpenLiveAudio(command.source);

  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!display || !*display) && (!wayland || !*wayland) && !std::getenv("SDL_VIDEODRIVER"))
    throw AppError("cannot open a window: no display (DISPLAY is not set)");
  if (SDL_Init(SDL_INIT_VIDEO) != 0)
    throw AppError(std::string("cannot open a window: ") + SDL_GetError());
  LiveWindow live;
  live.window = SDL_CreateWindow("Vevirur 2", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                 kStartWidth, kStartHeight, SDL_WINDOW_RESIZABLE);
  if (!live.window) throw AppError(std::string("cannot open a window: ") + SDL_GetError());
  live.renderer = SDL_CreateRenderer(live.window, -1, 0);
  if (!live.renderer) throw AppError(std::string("cannot draw in the window: ") + SDL_GetError());

  const std::string source = command.source.empty() ? "the default output" : command.source;
  live.overlays.SetTitle("Live: " + source);
  live.overlays.ShowTitle(true, platform::TickCount());
  RequestNewEffect();

  FrameShowSteps steps;
  steps.context = &live;
  steps.showPicture = ShowPicture;
  steps.drawAboutScreen = DrawAbout;
  SliceAnalyser analyser;
  HostSlice slice{};
  HostAudio host_audio;
  host_audio.spectrum = slice.spectrum;
  host_audio.waveform = reinterpret_cast<const char(*)[kHostSampleCount]>(slice.waveform);

  const auto start = std::chrono::steady_clock::now();
  auto next_call = start;
  bool running = true;
  try {
    while (running && !InterruptRequested) {
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) running = false;
        if (event.type == SDL_KEYDOWN && !HandleKey(live, event.key)) running = false;
      }
      if (command.seconds &&
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
              *command.seconds)
        break;
      int width = 0, height = 0;
      SDL_GetRendererOutputSize(live.renderer, &width, &height);
      if (width <= 0 || height <= 0) {
        SDL_Delay(25);
        continue;
      }
      // A new size reaches the draw thread through the rectangle; it rebuilds the scene.
      const PictureRect rect{0, 0, width, height};
      audio->TakeSlice(analyser, slice);
      const std::string news = audio->TakeNews();
      if (!news.empty()) live.overlays.ShowMessage(news, platform::TickCount());
      HandOffFrame(1, rect, host_audio, steps);
      next_call += std::chrono::milliseconds(kSliceMilliseconds);
      auto now = std::chrono::steady_clock::now();
      if (next_call > now) {
        std::this_thread::sleep_until(next_call);
      } else {
        next_call = now;  // running late (a slow machine): do not try to catch up
      }
    }
  } catch (...) {
    ShutDownDrawing();
    throw;
  }
  ShutDownDrawing();
  return 0;
}

}  // namespace vevirur
