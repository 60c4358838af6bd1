// Our filters as C filters of the host. The host owns the AVS_FilterInfo; its
// user data is the filter's state, freed by free_filter when the host drops
// the clip.
#include <memory>
#include <utility>

#include "avsc/bridge.h"

namespace pramvix::avsc {

namespace {

// Each instance of a filter is called by one thread at a time. A frame error
// travels in the AVS_FilterInfo, which every caller of the instance shares:
// the host clears it before each request and reads it after, so two threads in
// one instance could clear or read each other's error (and a failed request
// could come back as no frame at all). One instance per thread keeps the
// filters parallel without that.
constexpr int kMtMode = AVS_MT_MULTI_INSTANCE;

struct FilterState {
  pramvix::PClip filter;
  AVS_Clip* first;  // parity and audio come from here; released with the state
};

FilterState& StateOf(AVS_FilterInfo* fi) { return *static_cast<FilterState*>(fi->user_data); }

void Fail(AVS_FilterInfo* fi, const std::string& error) { fi->error = Saved(fi->env, error); }

// The filter returns a frame it fetched from a host clip: the host gets that
// frame back with a count of its own.
AVS_VideoFrame* AVSC_CC GetFrame(AVS_FilterInfo* fi, int n) {
  AVS_VideoFrame* out = nullptr;
  std::string error;
  const bool done = Guarded(
      [&] {
        CEnvironment env(fi->env);
        const pramvix::PVideoFrame frame = StateOf(fi).filter->GetFrame(n, &env);
        const auto* real = dynamic_cast<const CFrame*>(frame.get());
        if (!real) throw ScriptError("Pramvix: the filter returned a frame the host did not make");
        out = Host().avs_copy_video_frame(real->Real());
      },
      &error);
  if (!done) Fail(fi, error);
  return done ? out : nullptr;
}

int AVSC_CC GetParity(AVS_FilterInfo* fi, int n) {
  AVS_Clip* first = StateOf(fi).first;
  const int parity = Host().avs_get_parity(first, n);
  const char* error = Host().avs_clip_get_error(first);
  if (parity < 0 && error) Fail(fi, error);
  return parity > 0;
}

// Positions and counts stay 64-bit all the way to the first clip.
int AVSC_CC GetAudio(AVS_FilterInfo* fi, void* buf, int64_t start, int64_t count) {
  AVS_Clip* first = StateOf(fi).first;
  if (Host().avs_get_audio(first, buf, start, count) == 0) return 0;
  const char* error = Host().avs_clip_get_error(first);
  Fail(fi, error ? error : "Pramvix: the host gave no audio");
  return -1;
}

int AVSC_CC SetCacheHints(AVS_FilterInfo*, int cachehints, int) {
  return cachehints == AVS_CACHE_GET_MTMODE ? kMtMode : 0;
}

void AVSC_CC FreeFilter(AVS_FilterInfo* fi) {
  auto* state = static_cast<FilterState*>(fi->user_data);
  fi->user_data = nullptr;
  if (!state) return;
  Host().avs_release_clip(state->first);
  delete state;  // drops our filter, which releases the clips it holds
}

}  // namespace

AVS_Value NewHostFilter(pramvix::PClip filter, const AVS_Value& first, AVS_ScriptEnvironment* env) {
  auto state = std::make_unique<FilterState>();
  state->filter = std::move(filter);
  const pramvix::VideoInfo ours = state->filter->GetVideoInfo();

  // Not stored as the host's child: the host would then read the child's
  // error field, shared with every other user of that handle.
  AVS_FilterInfo* fi = nullptr;
  AVS_Clip* clip = Host().avs_new_c_filter(env, &fi, first, 0);
  state->first = Host().avs_take_clip(first, env);
  fi->user_data = state.release();
  fi->free_filter = FreeFilter;
  fi->get_frame = GetFrame;
  fi->get_parity = GetParity;
  fi->get_audio = GetAudio;
  fi->set_cache_hints = SetCacheHints;
  // The first clip's record (copied by the host) keeps what our one-byte pixel
  // code cannot carry (the exact format, field flags); size, rate, length and
  // audio are the filter's.
  fi->vi.width = ours.width;
  fi->vi.height = ours.height;
  fi->vi.fps_numerator = ours.fps_numerator;
  fi->vi.fps_denominator = ours.fps_denominator;
  fi->vi.num_frames = ours.num_frames;
  fi->vi.audio_samples_per_second = ours.audio_samples_per_second;
  fi->vi.sample_type = ours.sample_type;
  fi->vi.num_audio_samples = ours.num_audio_samples;
  fi->vi.nchannels = ours.nchannels;

  AVS_Value value;
  Host().avs_set_to_clip(&value, clip);
  Host().avs_release_clip(clip);  // the value holds the filter now
  return value;
}

}  // namespace pramvix::avsc
