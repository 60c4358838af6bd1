#pragma once
// The functions of the AviSynth C interface that the bridge calls, looked up
// in the host library already loaded in the process. The plug-in links no
// host library: it loads in our own hosts (the local host, the command) on a
// machine without AviSynth, and on Windows it needs no import library.
#define AVSC_NO_DECLSPEC            // the header declares function types, not functions
#define EXTERNAL_AVS_C_API_LOADER  // and leaves out its own loader
#ifdef _WIN32
// Headers of AviSynth+ 3.7.5 and before carry their Windows loader whatever
// is defined; it needs the Windows declarations (and is never called).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <avisynth_c.h>

namespace pramvix::avsc {

struct HostCalls {
  avs_add_function_func avs_add_function;
  avs_new_c_filter_func avs_new_c_filter;
  avs_take_clip_func avs_take_clip;
  avs_set_to_clip_func avs_set_to_clip;
  avs_release_clip_func avs_release_clip;
  avs_clip_get_error_func avs_clip_get_error;
  avs_get_video_info_func avs_get_video_info;
  avs_get_frame_func avs_get_frame;
  avs_get_parity_func avs_get_parity;
  avs_get_audio_func avs_get_audio;
  avs_copy_video_frame_func avs_copy_video_frame;
  avs_release_video_frame_func avs_release_video_frame;
  avs_get_read_ptr_p_func avs_get_read_ptr_p;
  avs_get_write_ptr_p_func avs_get_write_ptr_p;
  avs_get_pitch_p_func avs_get_pitch_p;
  avs_get_row_size_p_func avs_get_row_size_p;
  avs_get_height_p_func avs_get_height_p;
  avs_is_writable_func avs_is_writable;
  avs_make_writable_func avs_make_writable;
  avs_save_string_func avs_save_string;
  // Optional (hosts of interface version 8 on): null where the host lacks it.
  avs_new_video_frame_p_func avs_new_video_frame_p;
};

// The host's functions, looked up once; null when no loaded library exports
// all of them (no AviSynth+ in the process, or one too old).
const HostCalls* FindHostCalls();

// The calls found by FindHostCalls; only valid once it has returned non-null.
const HostCalls& Host();

}  // namespace pramvix::avsc
