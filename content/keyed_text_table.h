#pragma once

#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>

#include <QString>

namespace content {

// One row: a key and one payload per write target, in target order. A row may carry fewer
// payloads than its table has targets; it then writes only the first ones.
struct Row {
    std::string_view key;
    std::span<const std::string_view> payloads;
};

// A constant, ordered list of rows matched against a control's current text.
struct KeyedTextTable {
    std::string_view name;
    std::string_view source;                    // window.component, for export
    std::span<const std::string_view> targets;  // window.component or "play", for export
    std::span<const Row> rows;
};

using Source = std::function<QString()>;
using Target = std::function<void(std::string_view)>;

// Exact comparison of a control's text with an ASCII key: same length, same code units.
bool keyEquals(const QString& text, std::string_view key);

// The one pass every display goes through: every row in order, the source read afresh for
// each row (a row may rewrite its own source), each match writing its payloads to the targets
// in order. No early exit, so the last matching row wins and no match writes nothing.
void apply(const KeyedTextTable& table, const Source& source, std::initializer_list<Target> targets);
void apply(const KeyedTextTable& table, const Source& source, std::span<const Target> targets);

} // namespace content
