// The sound and speech module, loaded by the programs once their first window is on screen.
#include <QtGlobal>

#include "media/parts.h"

extern "C" Q_DECL_EXPORT const media::Module* chenxingMediaModule()
{
    return &media::linkedModule();
}
