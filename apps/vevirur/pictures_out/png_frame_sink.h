#pragma once
// A folder of numbered PNG frames: DIR/frame_000000.png, frame_000001.png, ... A folder that
// already holds frames is refused, so that a render never mixes its frames with an earlier
// render's; an interrupted or failed render removes the frames it wrote, and only those.
#include <string>
#include <vector>

#include "pictures_out/frame_sink.h"

namespace vevirur {

class PngFrameSink : public FrameSink {
 public:
  // Creates the folder (and its parents) when missing; throws AppError when it cannot, or when
  // it holds frames already.
  explicit PngFrameSink(const std::string& folder);
  ~PngFrameSink() override;
  void Write(const Picture& picture) override;
  void Finish() override {
    written_.clear();
    created_ = false;
  }
  void Abort() noexcept override;

  static std::string FrameName(int index);

 private:
  std::string folder_;
  std::vector<std::string> written_;
  bool created_ = false;  // the folder did not exist before
};

}  // namespace vevirur
