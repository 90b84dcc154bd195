// Prints every content table and fixed text, and the review program's cards, as JSON, for review
// and audit.
#include <cstdio>
#include <string>
#include <string_view>

#include "content/tables.h"
#include "review/cards.h"

namespace {

void putString(std::string& out, std::string_view s)
{
    out += '"';
    for (const unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

template <typename List, typename Put>
void putList(std::string& out, const List& items, Put put)
{
    out += '[';
    bool first = true;
    for (const auto& item : items) {
        if (!first)
            out += ',';
        first = false;
        put(item);
    }
    out += ']';
}

} // namespace

int main()
{
    std::string out = "{\"tables\":";
    putList(out, content::allTables(), [&](const content::KeyedTextTable* t) {
        out += "{\"name\":";
        putString(out, t->name);
        out += ",\"source\":";
        putString(out, t->source);
        out += ",\"targets\":";
        putList(out, t->targets, [&](std::string_view s) { putString(out, s); });
        out += ",\"rows\":";
        putList(out, t->rows, [&](const content::Row& r) {
            out += "{\"key\":";
            putString(out, r.key);
            out += ",\"payloads\":";
            putList(out, r.payloads, [&](std::string_view s) { putString(out, s); });
            out += '}';
        });
        out += '}';
    });
    out += ",\"texts\":";
    putList(out, content::allTexts(), [&](const content::NamedText& t) {
        out += "{\"name\":";
        putString(out, t.name);
        out += ",\"text\":";
        putString(out, t.text);
        out += '}';
    });
    out += ",\"ReviewCards\":";
    const auto field = [&](const char* name, std::string_view value) {
        out += name;
        putString(out, value);
    };
    putList(out, review::allCards(), [&](const review::Card& c) {
        field("{\"word\":", c.word);
        field(",\"meaning\":", c.meaning);
        field(",\"code\":", c.code);
        out += ",\"unit\":" + std::to_string(c.unit);
        field(",\"phonetic\":", c.phonetic);
        field(",\"recording\":", c.recording);
        out += ",\"letters\":";
        putList(out, c.letters, [&](const review::CodeLetter& l) {
            field("{\"character\":", l.character);
            field(",\"pinyin\":", l.pinyin);
            out += '}';
        });
        out += '}';
    });
    out += "}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
