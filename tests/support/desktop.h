#pragma once
// Checks of a window as a desktop user meets it: shown, activated by the window manager, walked
// with Tab, and text dragged at its panes.
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>

namespace support {

inline QStringList controlTexts(QWidget* window)
{
    QStringList texts;
    for (const QPlainTextEdit* pane : window->findChildren<QPlainTextEdit*>())
        texts << pane->toPlainText();
    for (const QComboBox* box : window->findChildren<QComboBox*>())
        texts << box->currentText();
    return texts;
}

inline bool focusIsIn(QWidget* control)
{
    QWidget* f = QApplication::focusWidget();
    return f && (f == control || control->isAncestorOf(f));
}

// The window manager activates the shown window and its first control takes the focus; Tab then
// moves through `order` and round to the start, typing nothing into any pane or box.
inline void walkTabOrder(QWidget* window, const QList<QWidget*>& order)
{
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_VERIFY2(focusIsIn(order.first()), "the first control has the focus once the window is active");
    const QStringList before = controlTexts(window);
    for (qsizetype i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(focusIsIn(order[i % order.size()]), qPrintable(QApplication::focusWidget()->objectName()));
    }
    QCOMPARE(controlTexts(window), before);
}

// A text dragged over a pane and dropped on it is refused, and the pane keeps its text.
inline void dropIsRefused(QPlainTextEdit* pane)
{
    const QString before = pane->toPlainText();
    QMimeData data;
    data.setText(QStringLiteral("dragged"));
    const QPointF at = pane->viewport()->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane->viewport(), &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane->viewport(), &drop);
    QVERIFY(!drop.isAccepted());
    QCOMPARE(pane->toPlainText(), before);
}

} // namespace support
