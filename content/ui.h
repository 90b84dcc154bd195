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

// A picture drawn at build time (chenxing_draw_pictures) and embedded under
// <folder>/<size>x<size>/apps/<name>.argb: square, premultiplied ARGB32 pixels as they lie in
// memory, so showing it needs no image decoder. Null where it is missing.
QPixmap drawnPicture(const QString& name, int size, const QString& folder = QStringLiteral(":/pictures"));

// A picture of the given size for a screen of the given pixel ratio: drawn at build time (in
// folder) for single and double density, else from the SVG, through Qt's SVG icon engine, which
// is loaded only then.
QPixmap picture(const QString& svg, int size, qreal pixelRatio, const QString& folder = QStringLiteral(":/pictures"));

// A button's icon of the given size, from picture() for the application's pixel ratio.
QIcon buttonIcon(const QString& svg, int size, const QString& folder);

// A window icon from the drawn pictures of 16, 32 and 48 pixels.
QIcon drawnIcon(const QString& name);

// Gives a window its default font. Called once the controls that have fonts of their own are
// made: a control made under the window font lays out its text in it first, and loading a font
// for nothing is a good part of the start-up time.
void applyWindowFont(QWidget* window);

// Where one of the package's modules lies: `module`.so in lib/chenxing beside the program's folder
// (the build folder's lib/chenxing, or the install prefix's).
QString modulePath(const char* module);
// The entry point `entry` of that module, loaded. Null where the module is missing, does not load
// or lacks the entry; `why` then says why. Modules stay loaded.
QFunctionPointer moduleEntry(const char* module, const char* entry, QString* why = nullptr);

// A text pane as every window uses it: pane font, vertical scroll bar, wrapped at the pane's width.
QPlainTextEdit* makePane(QWidget* parent, const char* name);

// The plain text edit under every pane, for edits set up otherwise: it behaves as Qt's own and
// takes a large paste about three times faster.
QPlainTextEdit* makeTextEdit(QWidget* parent);

} // namespace content
