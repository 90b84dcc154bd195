#include "media/parts.h"

#include "media/desktop_sound.h"
#include "media/desktop_voice.h"

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
