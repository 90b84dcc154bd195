// The main window driven as a user drives it: typing, pasting, the word list, menu and toolbar.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWindow>
#include <QtTest>

#include <numeric>

#include "app/image_button.h"
#include "app/tform1.h"
#include "content/pane.h"
#include "content/tables.h"
#include "content/ui.h"
#include "practice/tform3.h"
#include "speech/tform2.h"
#include "stories/tform4.h"
#include "tests/support/desktop.h"

using namespace std::string_view_literals;

namespace {

QString shown(std::string_view payload)
{
    return content::paneText(payload);
}

std::string_view rowPayload(const content::KeyedTextTable& t, std::string_view key, std::size_t i = 0)
{
    for (const auto& r : t.rows)
        if (r.key == key)
            return r.payloads[i];
    return {};
}

// Dark pixels in each row of a pane's inside, against its paper.
QList<int> inkPerRow(QPlainTextEdit* pane)
{
    const QImage image = pane->viewport()->grab().toImage();
    const QRgb paper = pane->palette().color(QPalette::Base).rgb();
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < qGray(paper) - 40;
        rows << n;
    }
    return rows;
}

// The window states a window was put in, as the window system reports them.
struct StateWatch : QObject {
    Qt::WindowStates states;
    explicit StateWatch(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::WindowStateChange)
            states |= static_cast<QWidget*>(o)->windowState();
        return false;
    }
};

speech::VoiceCreation noVoice()
{
    return {nullptr, speech::REGDB_E_CLASSNOTREG, {}};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form1;
    std::unique_ptr<speech::TForm2> form2;
    std::unique_ptr<practice::TForm3> form3;
    std::unique_ptr<stories::TForm4> form4;

    void type(const QString& text)
    {
        QTest::keyClicks(form1->ComboBox1->lineEdit(), text);
    }
    void clearBox()
    {
        form1->ComboBox1->lineEdit()->selectAll();
        QTest::keyClick(form1->ComboBox1->lineEdit(), Qt::Key_Delete);
    }

private slots:
    void init()
    {
        form1 = std::make_unique<TForm1>(nullptr);
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();  // the read-aloud window reports the missing speech engine
        });
        form2 = std::make_unique<speech::TForm2>(&noVoice);
        form3 = std::make_unique<practice::TForm3>();
        form4 = std::make_unique<stories::TForm4>();
        form1->setWindows(form4.get(), form2.get(), form3.get());
        form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(form1.get()));
    }
    void cleanup()
    {
        form4.reset();
        form3.reset();
        form2.reset();
        form1.reset();
    }

    void startState()
    {
        QCOMPARE(form1->windowTitle(), QStringLiteral("晨星学堂 3.9"));
        QCOMPARE(form1->size(), QSize(545, 433));
        QCOMPARE(form1->minimumSize(), form1->maximumSize());
        QVERIFY(!(form1->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form1->palette().color(QPalette::Window), QColor(255, 221, 0));
        // The program icon in its three sizes, drawn when the program was built.
        QCOMPARE(form1->windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
        for (QWidget* w : {static_cast<QWidget*>(form2.get()), static_cast<QWidget*>(form3.get()), static_cast<QWidget*>(form4.get())})
            QVERIFY(!w->isVisible());
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("请输入单词"));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("\n "));
        QCOMPARE(form1->Memo1->toPlainText(), shown(content::text("StartPage")));
        QVERIFY(form1->Memo1->isReadOnly());
        QVERIFY(!form1->Memo2->isReadOnly());
        QCOMPARE(form1->ComboBox1->geometry(), QRect(0, 8, 153, 22));
        QCOMPARE(form1->ListBox1->geometry(), QRect(0, 48, 153, 385));
        QCOMPARE(form1->Memo2->geometry(), QRect(153, 48, 392, 22));
        QCOMPARE(form1->Memo1->geometry(), QRect(153, 69, 392, 364));
        int left = 192;
        for (ImageButton* b : {form1->Image1, form1->Image2, form1->Image3, form1->Image4, form1->Image5}) {
            QCOMPARE(b->geometry(), QRect(left, 8, 33, 33));
            QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
            // Drawn for the screen's pixel ratio: sharp, not a scaled-up bitmap.
            const QPixmap p = b->pixmap();
            QCOMPARE(p.devicePixelRatio(), qApp->devicePixelRatio());
            QCOMPARE(p.size(), QSize(32, 32) * qApp->devicePixelRatio());
            left += 72;
        }
        QCOMPARE(form1->Image1->toolTip(), QStringLiteral("幽默故事"));
        QCOMPARE(form1->Image3->toolTip(), QStringLiteral("单词练习"));
        QCOMPARE(form1->Image5->toolTip(), QStringLiteral("主菜单"));
        QVERIFY(form1->Image2->toolTip().isEmpty() && form1->Image4->toolTip().isEmpty());
        QCOMPARE(form1->ListBox1->count(), 324);
        // The window manager activates the new window and the list, first in the tab order, takes
        // the focus: that alone selects no word. Tab walks list, input box, entry pane, phonetic
        // line, and nothing changes.
        support::walkTabOrder(form1.get(), {form1->ListBox1, form1->ComboBox1, form1->Memo1, form1->Memo2});
        QVERIFY(form1->ListBox1->selectedItems().isEmpty());
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("请输入单词"));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("\n "));
        QCOMPARE(form1->Memo1->toPlainText(), shown(content::text("StartPage")));
    }

    void startPageShape()
    {
        const QStringList l = shown(content::text("StartPage")).split('\n');
        QCOMPARE(l.size(), 22);
        QVERIFY(l[3].startsWith(QString(21, ' ')) && !l[3].at(21).isSpace());
        const QStringList labels = {"主力站", "南方站", "北方站", "备用站"};
        for (int i = 0; i < 4; ++i) {
            const QString line = l[7 + 4 * i];
            QVERIFY2(line.startsWith(QString(12, ' ') + labels[i] + "  "), qPrintable(line));
        }
        for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 16, 17, 18, 20, 21})
            QVERIFY2(l[i].isEmpty(), qPrintable(QString::number(i)));
    }

    void typingBackLetterByLetter()
    {
        const QString start = form1->Memo1->toPlainText();
        clearBox();
        for (const char* prefix : {"b", "ba", "bac"}) {
            QTest::keyClick(form1->ComboBox1->lineEdit(), prefix[strlen(prefix) - 1]);
            QCOMPARE(form1->Memo1->toPlainText(), start);
            QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("\n "));
        }
        type("k");
        QVERIFY(form1->Memo1->toPlainText().startsWith(QStringLiteral("\nback  后面/爸在吃苦\n")));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("back    /    bAk"));

        // On to "background": only the phonetic line follows.
        QCoreApplication::processEvents();
        form1->Memo1->verticalScrollBar()->setValue(2);
        const int scrolled = form1->Memo1->verticalScrollBar()->value();
        const QString entry = form1->Memo1->toPlainText();
        type("ground");
        QCOMPARE(form1->Memo1->toPlainText(), entry);
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("background   /   5bAk^raJnd"));
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(form1->ComboBox1->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("back"));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("back    /    bAk"));
        QCOMPARE(form1->Memo1->verticalScrollBar()->value(), scrolled);
    }

    void textsThatMatchNothingChangeNothing_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* t : {"Back", " back", "BACK", "ASIA", "请输入单词", "ｂａｃｋ", "xyz"})
            QTest::newRow(t) << QString::fromUtf8(t);
    }
    void textsThatMatchNothingChangeNothing()
    {
        QFETCH(QString, text);
        clearBox();
        type("ache");
        const QString m1 = form1->Memo1->toPlainText(), m2 = form1->Memo2->toPlainText();
        clearBox();
        // Chinese and full-width text arrive from the input method as committed strings.
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(form1->ComboBox1->lineEdit(), c.toLatin1());
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(form1->ComboBox1->lineEdit(), &commit);
            }
        }
        QCOMPARE(form1->ComboBox1->currentText(), text);
        QCOMPARE(form1->Memo1->toPlainText(), m1);
        QCOMPARE(form1->Memo2->toPlainText(), m2);
    }

    void twinsAndDerivedWords()
    {
        clearBox();
        type("asia");
        QVERIFY(form1->Memo1->toPlainText().startsWith(QStringLiteral("\nAsia  亚洲/战士要战")));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("asia    /    5eIFE"));
        const QString asia = form1->Memo1->toPlainText();
        clearBox();
        type("cheerfully");  // passes through "cheer", whose entry stays
        QVERIFY(form1->Memo1->toPlainText().startsWith(QStringLiteral("\ncheer  ")));
        QCOMPARE(form1->Memo2->toPlainText(), QString());
        clearBox();
        type("Asia");
        QCOMPARE(form1->Memo1->toPlainText(), asia);
        clearBox();
        type("unhappy");  // never equals "happy": the entry pane keeps what it showed
        QCOMPARE(form1->Memo1->toPlainText(), asia);
        QCOMPARE(form1->Memo2->toPlainText(), shown(rowPayload(content::TypedPhoneticTable, "unhappy")));
        clearBox();
        type("fishing");
        QVERIFY(form1->Memo1->toPlainText().startsWith(QStringLiteral("\nfish  ")));
        QCOMPARE(form1->Memo2->toPlainText(), shown(rowPayload(content::TypedPhoneticTable, "fish")));
    }

    void pastingADerivedWordWhole()
    {
        QApplication::clipboard()->setText(QStringLiteral("fisherman"));
        form1->ComboBox1->lineEdit()->selectAll();
        QTest::keyClick(form1->ComboBox1->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("fisherman"));
        QCOMPARE(form1->Memo1->toPlainText(), shown(content::text("StartPage")));
        QCOMPARE(form1->Memo2->toPlainText(), shown(rowPayload(content::TypedPhoneticTable, "fisherman")));
    }

    void writesByProgramStartNoLookup()
    {
        form1->ComboBox1->setEditText(QStringLiteral("back"));
        QCOMPARE(form1->Memo1->toPlainText(), shown(content::text("StartPage")));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("\n "));
    }

    void listByMouseAndKeyboard()
    {
        QListWidget* list = form1->ListBox1;
        const auto click = [&](const QString& word) {
            QListWidgetItem* item = list->findItems(word, Qt::MatchExactly).value(0);
            QVERIFY(item);
            list->scrollToItem(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        };
        click("ache");
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("ache"));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("ache   /   eIk"));
        QCOMPARE(form1->Memo1->toPlainText(), shown(rowPayload(content::TypedEntryTable, "ache")));

        click("Africa");
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("Africa"));
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("africa   /   5AfrIkE"));

        click("subdue");  // the list's own spacing, although the box now holds a typed key
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("subdue   /   sEb5dju:"));

        // Other buttons choose nothing.
        for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            QListWidgetItem* bank = list->findItems(QStringLiteral("bank"), Qt::MatchExactly).value(0);
            list->scrollToItem(bank);
            QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(bank).center());
            QTest::mouseDClick(list->viewport(), button, {}, list->visualItemRect(bank).center());
            QCOMPARE(list->currentItem()->text(), QStringLiteral("subdue"));
            QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("subdue"));
            QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("subdue   /   sEb5dju:"));
        }

        // Arrow keys select as a click would.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        const QString next = list->currentItem()->text();
        QCOMPARE(form1->ComboBox1->currentText(), next);
        QCOMPARE(form1->Memo1->toPlainText(), shown(rowPayload(content::WordListTable, next.toStdString(), 2)));
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("subdue"));

        // The box is left alone when it already holds the word; the panes take the list's texts.
        clearBox();
        type("ache");
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("ache    /    eIk"));
        form1->ComboBox1->lineEdit()->setCursorPosition(2);
        click("ache");
        QCOMPARE(form1->ComboBox1->lineEdit()->cursorPosition(), 2);
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("ache   /   eIk"));

        // Text typed into the phonetic line is replaced by the next selection.
        form1->Memo2->setPlainText(QStringLiteral("typed by hand"));
        click("internet");
        QCOMPARE(form1->Memo2->toPlainText(), QStringLiteral("Internet   /   5IntEnet"));
        // Typing afterwards keeps the list's selection.
        clearBox();
        type("back");
        QCOMPARE(list->currentItem()->text(), QStringLiteral("internet"));
    }

    void everyKeyShowsItsRows()
    {
        for (const auto& r : content::TypedPhoneticTable.rows) {
            form1->ComboBox1->lineEdit()->clear();
            QTest::keyClicks(form1->ComboBox1->lineEdit(), QString::fromLatin1(r.key.data(), r.key.size()));
            QCOMPARE(form1->Memo2->toPlainText(), shown(r.payloads[0]));
            const std::string_view entry = rowPayload(content::TypedEntryTable, r.key);
            if (!entry.empty())
                QCOMPARE(form1->Memo1->toPlainText(), shown(entry));
        }
        for (int i = 0; i < form1->ListBox1->count(); ++i) {
            form1->ListBox1->setCurrentRow(i);
            const std::string key = form1->ListBox1->item(i)->text().toStdString();
            QCOMPARE(form1->ComboBox1->currentText(), QString::fromStdString(key));
            QCOMPARE(form1->Memo2->toPlainText(), shown(rowPayload(content::WordListTable, key, 1)));
            QCOMPARE(form1->Memo1->toPlainText(), shown(rowPayload(content::WordListTable, key, 2)));
        }
    }

    void mainMenu()
    {
        QMenu* menu = form1->PopupMenu2;
        QStringList names, captions;
        for (QAction* a : menu->actions()) {
            names << a->objectName();
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(names, QStringList({"N1", "N2", "N3", "N4", "N5", "N11", "N7", "N8", "N9", "N10"}));
        QCOMPARE(captions, QStringList({"  前   言  ", "  原   理  ", "  规   则  ", "  方   法  ", "-", "  协   议",
                                        "  关   于  ", "  帮   助  ", "-", "  退   出  "}));

        // A right click opens nothing, on the picture or in the entry pane.
        QTest::mouseClick(form1->Image5, Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(!menu->isVisible());
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(20, 20), form1->Memo1->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(form1->Memo1->viewport(), &rightClick);
        QVERIFY(QApplication::activePopupWidget() == nullptr);

        const QPoint cursor = form1->mapToGlobal(QPoint(300, 100));
        QCursor::setPos(cursor);
        QTRY_COMPARE(QCursor::pos(), cursor);
        QTest::mouseClick(form1->Image5, Qt::LeftButton, {}, QPoint(10, 10));
        QTRY_VERIFY(menu->isVisible());
        const QRect g = menu->geometry();
        QVERIFY2(qAbs(g.center().x() - cursor.x()) <= 1, qPrintable(QStringLiteral("%1 vs %2").arg(g.center().x()).arg(cursor.x())));
        QCOMPARE(g.top(), cursor.y() + 20);
        menu->close();
    }

    void toolbarShowsTheSameWindows()
    {
        QTest::mouseClick(form1->Image3, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(form3->isVisible());
        form3->ComboBox1->setEditText(QStringLiteral("left as it was"));
        form3->close();
        QVERIFY(!form3->isVisible());
        QTest::mouseClick(form1->Image3, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(form3->isVisible());
        QCOMPARE(form3->ComboBox1->currentText(), QStringLiteral("left as it was"));
        QTest::mouseClick(form1->Image1, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(form1->Image2, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(form4->isVisible() && form2->isVisible());
        int instances = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            instances += qobject_cast<practice::TForm3*>(w) != nullptr;
        QCOMPARE(instances, 1);
        QVERIFY(form1->isVisible());
    }

    void keyboardReachesThePictures()
    {
        form1->activateWindow();
        QTRY_VERIFY(form1->isActiveWindow());
        QTest::keyClick(form1.get(), Qt::Key_3, Qt::ControlModifier);
        QTRY_VERIFY(form3->isVisible());
        QTRY_VERIFY(form3->isActiveWindow());  // shown and brought to the front
        QTest::keyClick(form3.get(), Qt::Key_Escape);  // hides, as closing does
        QVERIFY(!form3->isVisible());
        form1->activateWindow();
        QTRY_VERIFY(form1->isActiveWindow());
        QTest::keyClick(form1.get(), Qt::Key_1, Qt::ControlModifier);
        QTRY_VERIFY(form4->isVisible());
        form1->activateWindow();
        QTRY_VERIFY(form1->isActiveWindow());
        QTest::keyClick(form1.get(), Qt::Key_F10);
        QTRY_VERIFY(form1->PopupMenu2->isVisible());
        QTest::keyClick(form1->PopupMenu2, Qt::Key_Down);
        QTest::keyClick(form1->PopupMenu2, Qt::Key_Return);  // the first item: the preface
        QTRY_COMPARE(form1->Memo1->toPlainText(), shown(content::text("PrefacePage")));
    }

    void exitEndsTheProgramWithOtherWindowsOpen()
    {
        form3->show();
        form4->show();
        bool timedOut = false;
        QTimer::singleShot(0, form1->PopupMenu2, [this] { form1->PopupMenu2->findChild<QAction*>("N10")->trigger(); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [&] { timedOut = true; QCoreApplication::exit(1); });
        watchdog.start(10000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!timedOut);
        QVERIFY(!form1->isVisible());
    }

    void paneFontIsTwoCellsPerChineseCharacter()
    {
        // The 宋体 the layouts were made for, installed by the set-up, not the taller fallback.
        QCOMPARE(QFontInfo(content::paneFont()).family(), QStringLiteral("AR PL UMing CN"));
        const QFontMetrics m(content::paneFont());
        QVERIFY2(m.lineSpacing() <= 15, qPrintable(QString::number(m.lineSpacing())));
        QCOMPARE(m.horizontalAdvance(QStringLiteral("中")), 2 * m.horizontalAdvance(QLatin1Char('a')));
        QCOMPARE(m.horizontalAdvance(QStringLiteral("（")), 2 * m.horizontalAdvance(QLatin1Char('W')));
        QCOMPARE(m.horizontalAdvance(QStringLiteral("Unit 001")), 8 * m.horizontalAdvance(QLatin1Char(' ')));
    }

    // Every character of the transcription alphabet draws whole inside the one-line phonetic box:
    // a clipped glyph leaves ink in the first or last pixel row of the box's inside.
    void phoneticSymbolsDrawWhole()
    {
        const QString alphabet = QStringLiteral("5`9:ABCEFIJNQRTVW\\^abdefghijklmnoprstuvwz(),/");
        QPlainTextEdit* line = form1->Memo2;
        for (const QChar c : alphabet) {
            line->setPlainText(QString(3, c));
            const QList<int> ink = inkPerRow(line);
            QVERIFY2(std::accumulate(ink.begin(), ink.end(), 0) > 0, qPrintable(c));
            QVERIFY2(ink.first() == 0 && ink.last() == 0, qPrintable(QStringLiteral("clipped: ") + c));
        }
    }

    // Whatever the user did in the phonetic line (a click low in it, Down, Enter scroll its view
    // to the next line), a lookup that replaces its text shows that text from its first line.
    void phoneticLineShowsEveryNewText()
    {
        QPlainTextEdit* line = form1->Memo2;
        QTest::mouseClick(line->viewport(), Qt::LeftButton, {}, QPoint(20, line->viewport()->height() - 2));
        QTest::keyClick(line, Qt::Key_Down);
        QTest::keyClick(line, Qt::Key_Return);
        clearBox();
        type(QStringLiteral("back"));
        QCOMPARE(line->toPlainText(), QStringLiteral("back    /    bAk"));
        QList<int> ink = inkPerRow(line);
        QVERIFY2(std::accumulate(ink.begin(), ink.end(), 0) > 50, "the new phonetic line is on screen");
        // The same after a choice in the list.
        QTest::keyClick(line, Qt::Key_Return);
        QTest::keyClick(line, Qt::Key_Return);
        QListWidget* list = form1->ListBox1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
        QCOMPARE(line->toPlainText(), QStringLiteral("ache   /   eIk"));
        ink = inkPerRow(line);
        QVERIFY(std::accumulate(ink.begin(), ink.end(), 0) > 50);
    }

    // The first Down (or Home) in a list nothing is chosen in yet chooses its first word, and each
    // further Down the next one, as clicks would.
    void firstDownChoosesTheFirstWord_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Down") << int(Qt::Key_Down);
        QTest::newRow("Home") << int(Qt::Key_Home);
    }
    void firstDownChoosesTheFirstWord()
    {
        QFETCH(int, key);
        QListWidget* list = form1->ListBox1;
        list->setFocus();
        QTest::keyClick(list, Qt::Key(key));
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("absolute"));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(form1->ComboBox1->currentText(), QStringLiteral("accident"));
        QCOMPARE(list->selectedItems().size(), 1);
    }

    // A keyboard user sees where the focus is: the read-only entry pane, which has no caret, marks it.
    void entryPaneMarksTheFocus()
    {
        QPlainTextEdit* pane = form1->Memo1;
        form1->ListBox1->setFocus();
        const QImage without = pane->viewport()->grab().toImage();
        pane->setFocus(Qt::TabFocusReason);
        QVERIFY(pane->hasFocus());
        QVERIFY(pane->viewport()->grab().toImage() != without);
    }

    // However the window system is asked to maximize or full-screen a window (Qt's own Wayland
    // title bar asks on the window itself), each of the four stays at its size and the program
    // goes on. openbox refuses to maximize a window of fixed size; a Wayland compositor grants it.
    void windowsStayFixedWhenMaximized()
    {
        const bool maximizeGranted = QGuiApplication::platformName() == QLatin1String("wayland");
        for (QWidget* w : std::initializer_list<QWidget*>{form1.get(), form2.get(), form3.get(), form4.get()}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            const QSize size = w->size();
            for (const Qt::WindowState asked : {Qt::WindowMaximized, Qt::WindowFullScreen}) {
                if (asked == Qt::WindowMaximized && !maximizeGranted)
                    continue;
                StateWatch seen(w);
                w->windowHandle()->setWindowStates(asked);
                QTRY_VERIFY2(seen.states & asked, qPrintable(w->objectName()));
                QTRY_VERIFY(!(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) && w->size() == size
                            && w->minimumSize() == size && w->maximumSize() == size);
            }
            QVERIFY(w->isVisible());
        }
    }

    // Under the window manager the window as the user sees it, frame and title bar included, sits
    // at the centre of the desktop.
    void frameIsCentred()
    {
        QVERIFY(QTest::qWaitForWindowActive(form1.get()));
        const QRect area = form1->screen()->availableGeometry();
        QTRY_VERIFY(form1->frameGeometry().size() != form1->size());
        QTRY_COMPARE(form1->frameGeometry().topLeft(), content::centredIn(area, form1->frameGeometry().size()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
