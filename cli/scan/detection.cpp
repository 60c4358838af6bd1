#include "scan/detection.h"

namespace pramvix::cli::scan {

Detection::Detection(const ScanOptions& options) : options_(options), simd_(BestSimd()) {
  clip_ = clips_.Open(options.clip);
  logo_ = clips_.Open(options.logoClip);
  stream_ = dynamic_cast<Y4MClip*>(clip_.get());
  const VideoInfo& vi = clip_->GetVideoInfo();
  const VideoInfo& logo = logo_->GetVideoInfo();
  if (logo.width != vi.width || logo.height != vi.height || logo.pixel_type != vi.pixel_type) {
    host_.ThrowError("If Luma Logo test: Incompatible clips");
  }
}

bool Detection::HasFrame(int n) {
  // The stream answers under its own lock: a pipe's count changes at its end.
  if (stream_) return stream_->HasFrame(n);
  return n >= 0 && n < clip_->GetVideoInfo().num_frames;
}

FrameRecord Detection::Test(int n) {
  // Only marking writes: a clip of its own then gives up its hold on the
  // frame, so the test's MakeWritable need not copy it; a clip that also holds
  // the reference picture keeps its frames as it would for a filter.
  PVideoFrame frame = stream_ && clip_.get() != logo_.get() ? stream_->Take(n, &host_) : clip_->GetFrame(n, &host_);
  const PVideoFrame logoFrame = logo_->GetFrame(options_.logoFrame, &host_);
  const LogoFrameTest test = TestLogoFrame(options_.rule, frame, logo_, logoFrame, options_.region,
                                           options_.frameThreshold, options_.logoThreshold, simd_, &host_);
  return FrameRecord{test.totals.hits, test.totals.misses, test.passes};
}

}  // namespace pramvix::cli::scan
