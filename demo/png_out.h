#pragma once
#include <string>

#include "picture.h"

// Writes a YUY2 picture as an RGB PNG (BT.601, limited range). Returns false
// when the file cannot be written.
bool WriteYUY2AsPNG(const pramvix::local::Picture& picture, const std::string& path);
