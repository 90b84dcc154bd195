#include "media/parts.h"

#include "dictionary/desktop_sound.h"
#include "speech/desktop_voice.h"

namespace media {

const Module& linkedModule()
{
    static const Module parts{
        [] { return std::unique_ptr<dictionary::SoundOutput>(std::make_unique<dictionary::DesktopSoundOutput>()); },
        &dictionary::startSoundBackEnd,
        &speech::createDesktopVoice,
    };
    return parts;
}

} // namespace media
