#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

namespace testsupport {

// The text in GBK, or nothing if a character cannot be written in GBK.
std::optional<std::string> toGbk(std::string_view utf8);
// Width in GBK bytes, which is display columns in the panes' font; -1 if not GBK-encodable.
int gbkWidth(std::string_view utf8);
int gbkWidth(const QString& text);

// Content text split at its line breaks (lone CR).
std::vector<std::string_view> lines(std::string_view text);

QString q(std::string_view utf8);

} // namespace testsupport
