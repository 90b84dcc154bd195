#include "content/keyed_text_table.h"

namespace content {

bool keyEquals(const QString& text, std::string_view key)
{
    if (static_cast<std::size_t>(text.size()) != key.size())
        return false;
    const QChar* c = text.constData();
    for (std::size_t i = 0; i < key.size(); ++i)
        if (c[i].unicode() != static_cast<unsigned char>(key[i]))
            return false;
    return true;
}

void apply(const KeyedTextTable& table, const Source& source, std::span<const Target> targets)
{
    for (const Row& row : table.rows) {
        if (!keyEquals(source(), row.key))
            continue;
        const std::size_t writes = std::min(row.payloads.size(), targets.size());
        for (std::size_t i = 0; i < writes; ++i)
            targets[i](row.payloads[i]);
    }
}

void apply(const KeyedTextTable& table, const Source& source, std::initializer_list<Target> targets)
{
    apply(table, source, std::span<const Target>(targets.begin(), targets.size()));
}

} // namespace content
