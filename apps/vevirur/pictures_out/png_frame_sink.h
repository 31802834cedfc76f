#pragma once
// A folder of numbered PNG frames: DIR/frame_000000.png, frame_000001.png, ...
#include <string>
#include <vector>

#include "pictures_out/frame_sink.h"

namespace vevirur {

class PngFrameSink : public FrameSink {
 public:
  // Creates the folder (and its parents) when missing; throws AppError when it cannot.
  explicit PngFrameSink(const std::string& folder);
  void Write(const Picture& picture) override;
  void Finish() override {}
  void Abort() noexcept override;

  static std::string FrameName(int index);

 private:
  std::string folder_;
  std::vector<std::string> written_;
};

}  // namespace vevirur
