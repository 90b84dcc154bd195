#pragma once

// The sound output and the read-aloud voice live in a module of their own, chenxing-media: Qt
// Multimedia, Qt TextToSpeech and what they bring (the sound server's client and its codecs, Qt
// Network, Kerberos), some megabytes, are loaded when the user first needs them, not at start-up.
#include <memory>

namespace dictionary {
class SoundOutput;
}
namespace speech {
struct VoiceCreation;
}

namespace media {

struct Module {
    std::unique_ptr<dictionary::SoundOutput> (*makeSoundOutput)();
    void (*startSoundBackEnd)();
    speech::VoiceCreation (*createVoice)();
};

// The module, loaded on the first call. Null where it is missing or does not load: the programs
// then go on without sound and speech, as on a desktop without a sound device or speech engine.
const Module* module();

// Whether the module is there to be loaded (or was loaded or handed over), without loading it.
bool present();

// Loads the module and brings up its sound back end, whose objects belong to the thread that made
// them: call it on the user-interface thread.
void start();

// Starts the module as the user first presses a key or a mouse button in any of the program's
// windows. A recording or a text to speak is always asked for after such an input, so it then
// comes without waiting for the module (a few milliseconds), and a user who only looks pays
// nothing for it.
void startOnFirstInput();

// Programs that link the module's parts themselves (tests, benchmarks) hand them over here; null
// forgets what was handed over, so that the next call to module() looks for the file again.
void handOver(const Module* module);

} // namespace media
