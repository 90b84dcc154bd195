#include "content/pane.h"
#include "content/tables.h"

namespace content {

QString qtext(std::string_view name)
{
    return paneText(text(name));
}

} // namespace content
