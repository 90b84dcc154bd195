#include "content/pane.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace content {

QString paneText(std::string_view payload)
{
    // UTF-8 never uses the bytes CR or LF inside a multibyte character, so a byte walk is safe.
    std::string out;
    out.reserve(payload.size());
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const char c = payload[i];
        if (c == '\r') {
            out.push_back('\n');
            if (i + 1 < payload.size() && payload[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(c);
        }
    }
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

void writePane(QPlainTextEdit* pane, const QString& text)
{
    if (pane->toPlainText() == text)
        return;
    pane->setPlainText(text);
    // A new text shows from its first line, even where the user had scrolled the old one (Qt
    // keeps the offset of a pane too low to have a scroll bar).
    pane->verticalScrollBar()->setValue(0);
    pane->horizontalScrollBar()->setValue(0);
}

void writePane(QPlainTextEdit* pane, std::string_view payload)
{
    writePane(pane, paneText(payload));
}

void writeBox(QComboBox* box, std::string_view text)
{
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (box->currentText() != t)
        box->setEditText(t);
}

} // namespace content

namespace content {

Source boxSource(const QComboBox* box)
{
    return [box] { return box->currentText(); };
}

Target paneTarget(QPlainTextEdit* pane)
{
    return [pane](std::string_view p) { writePane(pane, p); };
}

Target boxTarget(QComboBox* box)
{
    return [box](std::string_view p) { writeBox(box, p); };
}

} // namespace content
