#pragma once
// The texts the front end draws over the pictures, with the plug-in's timings: the track title
// (10 s), the status message at the bottom right that erases itself letter by letter, the help
// page (15 s) and the about screen. Times are 32-bit tick counts compared by unsigned difference.
#include <cstdint>
#include <string>

#include "pictures_out/picture.h"
#include "text/text_painter.h"

namespace vevirur {

constexpr const char* kAboutLines[3] = {"Vevirur 2.5", "vevirur.example.org",
                                        "Music visualization - press H for help"};

class TextOverlays {
 public:
  void SetTitle(const std::string& title) { title_ = title; }
  // on: the title shows from `now` for 10 s; off: it is hidden at once.
  void ShowTitle(bool on, uint32_t now) { title_clock_ = on ? now : 0; }
  bool TitleShown() const { return title_clock_ != 0; }
  // The Space key: hides a shown title, otherwise shows it.
  void ToggleTitle(uint32_t now) { ShowTitle(title_clock_ == 0, now); }

  void ShowMessage(const std::string& text, uint32_t now);
  bool IsHelpVisible(uint32_t now);
  void ToggleHelp(uint32_t now);

  // On the finished picture, as the plug-in draws on its surface: the title, then the about
  // lines and the help page while the help is visible.
  void DrawOnPicture(Picture& picture, uint32_t now);
  // Whether DrawOnPicture would draw anything at `now` (drops a title whose time is over).
  bool DrawsOnPicture(uint32_t now);
  // Over the shown picture: the status message. `effect_locked` keeps a grey "L" in the corner.
  void DrawMessage(Picture& picture, uint32_t now, bool effect_locked);

  // The about screen; `clear` fills the picture with black first, `logo` adds the 48 x 48 logo.
  static void DrawAboutScreen(Picture& picture, bool clear, bool logo);
  static void DrawHelpPage(Picture& picture);

  const std::string& message() const { return message_; }

 private:
  std::string title_;
  uint32_t title_clock_ = 0;
  std::string message_;
  int64_t message_deadline_ = -1;  // -1: the message does not shrink
  uint32_t help_clock_ = 0;
};

}  // namespace vevirur
