#pragma once

// The desktop's speech engines, in the sound and speech module (Qt TextToSpeech, flite).
#include "speech/voice_text.h"

namespace speech {

// The desktop's speech engine: flite where it loads, otherwise speech-dispatcher. Fails with
// REGDB_E_CLASSNOTREG when the desktop has neither.
VoiceCreation createDesktopVoice();

} // namespace speech
