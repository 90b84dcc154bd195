#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QIcon;
class QPixmap;
class QWidget;
class QPlainTextEdit;

namespace content {

// The panes' fixed-pitch Chinese font, 14 px: a Chinese character is two ASCII cells wide.
QFont paneFont();
// The windows' default font, 11 px.
QFont windowFont();

// Qt's own texts (the standard edit menus) in Chinese, like the rest of the program. Returns false
// where Qt's Chinese translations are not installed; the menus then stay in English.
bool installQtTranslations();

// Where a box of the given size sits centred in the area.
QPoint centredIn(const QRect& area, QSize size);

// A fixed-size top-level window with the given client size and caption, centred on the desktop.
// With minimizeOnly the title bar offers neither the system menu nor a close button.
void setupFixedWindow(QWidget* window, QSize client, const QString& caption, bool minimizeOnly = false);

// A picture drawn at build time (chenxing-render-icons --raw) and embedded under
// :/pictures/<size>x<size>/apps/<name>.argb: square, premultiplied ARGB32 pixels as they lie in
// memory, so showing it needs no image decoder. Null where it is missing.
QPixmap drawnPicture(const QString& name, int size);
// A window icon from the drawn pictures of 16, 32 and 48 pixels.
QIcon drawnIcon(const QString& name);

// Gives a window its default font. Called once the controls that have fonts of their own are
// made: a control made under the window font lays out its text in it first, and loading a font
// for nothing is a good part of the start-up time.
void applyWindowFont(QWidget* window);

// A text pane as every window uses it: pane font, vertical scroll bar, wrapped at the pane's width.
QPlainTextEdit* makePane(QWidget* parent, const char* name);

// The plain text edit under every pane, for edits set up otherwise: it behaves as Qt's own and
// takes a large paste about three times faster.
QPlainTextEdit* makeTextEdit(QWidget* parent);

} // namespace content
