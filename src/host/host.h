#pragma once
// The host interface in one include.
#include "host/clip.h"
#include "host/counted.h"
#include "host/script_environment.h"
#include "host/value.h"
#include "host/video_frame.h"
#include "host/video_info.h"
