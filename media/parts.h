#pragma once

#include "media/media.h"

namespace media {

// The module's parts as linked into this program: what chenxing-media gives the programs.
const Module& linkedModule();

} // namespace media
