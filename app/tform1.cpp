#include "app/tform1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>

#include "app/image_button.h"
#include "content/pane.h"
#include "content/tables.h"
#include "content/ui.h"

void showWindow(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

TForm1::TForm1(std::unique_ptr<dictionary::SoundOutput> sound)
    : sound_(std::move(sound))
{
    setObjectName(QStringLiteral("Form1"));
    content::setupFixedWindow(this, QSize(545, 433), QStringLiteral("晨星学堂 3.9"));
    setWindowIcon(programIcon());

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    // The font first: the line edit that setEditable makes lays out its text at once, and would
    // load the default font only to drop it.
    ComboBox1->setFont(content::paneFont());
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(0, 8, 153, 22);
    ComboBox1->setEditText(content::qtext("TForm1.ComboBox1"));

    ListBox1 = dictionary::makeWordList(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFont(content::paneFont());
    ListBox1->setGeometry(0, 48, 153, 385);

    Memo2 = content::makeTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setFont(dictionary::phoneticFont());
    Memo2->setGeometry(153, 48, 392, 22);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // One text line high: a thin frame and a one-pixel margin around a line as tall as the
    // phonetic font's ink keep the 16 px symbols whole.
    Memo2->setFrameStyle(QFrame::Box | QFrame::Plain);
    Memo2->setLineWidth(1);
    Memo2->document()->setDocumentMargin(1);
    {
        QPalette p = Memo2->palette();
        p.setColor(QPalette::Text, Qt::blue);
        Memo2->setPalette(p);
    }
    Memo2->setPlainText(content::qtext("TForm1.Memo2"));

    Memo1 = content::makePane(this, "Memo1");
    Memo1->setGeometry(153, 69, 392, 364);
    Memo1->setReadOnly(true);
    Memo1->setContextMenuPolicy(Qt::PreventContextMenu);  // PopupMenu1 has no items
    Memo1->setPlainText(content::qtext("StartPage"));
    Memo1->lower();  // the phonetic line overlaps its top row

    Image1 = new ImageButton(this, "Image1", QStringLiteral(":/icons/stories.svg"), QStringLiteral("幽默故事"));
    Image2 = new ImageButton(this, "Image2", QStringLiteral(":/icons/speech.svg"), QString());
    Image3 = new ImageButton(this, "Image3", QStringLiteral(":/icons/practice.svg"), QStringLiteral("单词练习"));
    Image4 = new ImageButton(this, "Image4", QStringLiteral(":/icons/sound.svg"), QString());
    Image5 = new ImageButton(this, "Image5", QStringLiteral(":/icons/chenxing.svg"), QStringLiteral("主菜单"));
    int left = 192;
    for (ImageButton* b : {Image1, Image2, Image3, Image4, Image5}) {
        b->move(left, 8);
        left += 72;
    }

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    const auto item = [this](const char* name, const QString& caption, void (TForm1::*handler)()) {
        QAction* a = PopupMenu2->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
    };
    const auto separator = [this](const char* name) { PopupMenu2->addSeparator()->setObjectName(QString::fromLatin1(name)); };
    item("N1", QStringLiteral("  前   言  "), &TForm1::N1Click);
    item("N2", QStringLiteral("  原   理  "), &TForm1::N2Click);
    item("N3", QStringLiteral("  规   则  "), &TForm1::N3Click);
    item("N4", QStringLiteral("  方   法  "), &TForm1::N4Click);
    separator("N5");
    item("N11", QStringLiteral("  协   议"), &TForm1::N11Click);
    item("N7", QStringLiteral("  关   于  "), &TForm1::N7Click);
    item("N8", QStringLiteral("  帮   助  "), &TForm1::N8Click);
    separator("N9");
    item("N10", QStringLiteral("  退   出  "), &TForm1::N10Click);

    // Names a screen reader announces; the areas as the help page calls them.
    setAccessibleName(QStringLiteral("晨星学堂 主窗口"));
    ComboBox1->setAccessibleName(QStringLiteral("输入区"));
    ComboBox1->lineEdit()->setAccessibleName(QStringLiteral("输入区"));
    ComboBox1->lineEdit()->setAccessibleDescription(QStringLiteral("输入英语单词，显示其汉字码、词义和音标"));
    ListBox1->setAccessibleName(QStringLiteral("浏览区"));
    Memo2->setAccessibleName(QStringLiteral("音标区"));
    Memo1->setAccessibleName(QStringLiteral("显示区"));
    Image1->setAccessibleName(QStringLiteral("幽默故事"));
    Image2->setAccessibleName(QStringLiteral("语音引擎"));
    Image3->setAccessibleName(QStringLiteral("单词练习"));
    Image4->setAccessibleName(QStringLiteral("真人发音"));
    Image5->setAccessibleName(QStringLiteral("主菜单"));

    // The pictures take no focus; these keys reach them from the keyboard.
    const auto key = [this](QKeySequence k, void (TForm1::*handler)()) {
        auto* s = new QShortcut(k, this);
        connect(s, &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_1), &TForm1::Image1Click);
    key(QKeySequence(Qt::CTRL | Qt::Key_2), &TForm1::Image2Click);
    key(QKeySequence(Qt::CTRL | Qt::Key_3), &TForm1::Image3Click);
    key(QKeySequence(Qt::CTRL | Qt::Key_P), &TForm1::Image4Click);
    key(QKeySequence(Qt::Key_F10), &TForm1::popUpMenuAtPicture);

    setTabOrder(ListBox1, ComboBox1);
    setTabOrder(ComboBox1, Memo1);
    setTabOrder(Memo1, Memo2);

    // User edits only: writes by program (setEditText) never start a lookup.
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, &TForm1::ComboBox1Change);
    // A change of selection is the user's choice (click, arrow keys, type-ahead). The current item
    // alone is not: Qt sets one when the list merely takes the focus.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TForm1::ListBox1Click);
    connect(ListBox1, &QListWidget::itemClicked, this, &TForm1::ListBox1Click);
    connect(Image1, &ImageButton::clicked, this, &TForm1::Image1Click);
    connect(Image2, &ImageButton::clicked, this, &TForm1::Image2Click);
    connect(Image3, &ImageButton::clicked, this, &TForm1::Image3Click);
    connect(Image4, &ImageButton::clicked, this, &TForm1::Image4Click);
    connect(Image5, &ImageButton::clicked, this, &TForm1::Image5Click);

    content::applyWindowFont(this);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 221, 0));
    setPalette(p);
}

void TForm1::setWindows(QWidget* stories, QWidget* readAloud, QWidget* practice)
{
    stories_ = stories;
    readAloud_ = readAloud;
    practice_ = practice;
}

dictionary::Controls TForm1::controls() const
{
    return {ComboBox1, ListBox1, Memo1, Memo2};
}

void TForm1::ComboBox1Change()
{
    dictionary::typedLookup(controls());
}

void TForm1::ListBox1Click()
{
    dictionary::listLookup(controls());
}

void TForm1::Image1Click()
{
    showWindow(stories_);
}

void TForm1::Image2Click()
{
    showWindow(readAloud_);
}

void TForm1::Image3Click()
{
    showWindow(practice_);
}

void TForm1::Image4Click()
{
    if (sound_)
        dictionary::playPronunciation(ComboBox1, *sound_);
}

void TForm1::Image5Click()
{
    popUpMenu(QCursor::pos());
}

void TForm1::popUpMenu(QPoint at)
{
    // Centred horizontally on the point, its top edge 20 pixels below it.
    PopupMenu2->popup(QPoint(at.x() - PopupMenu2->sizeHint().width() / 2, at.y() + 20));
}

void TForm1::popUpMenuAtPicture()
{
    popUpMenu(Image5->mapToGlobal(QPoint(Image5->width() / 2, 0)));
}

void TForm1::showPage(const char* page)
{
    content::writePane(Memo2, QString());
    content::writePane(Memo1, content::text(page));
}

void TForm1::N1Click() { showPage("PrefacePage"); }
void TForm1::N2Click() { showPage("PrinciplePage"); }
void TForm1::N3Click() { showPage("RulesPage"); }
void TForm1::N4Click() { showPage("MethodPage"); }
void TForm1::N11Click() { showPage("AgreementPage"); }
void TForm1::N7Click() { showPage("AboutPage"); }
void TForm1::N8Click() { showPage("HelpPage"); }

void TForm1::N10Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program, whatever else is open.
    event->accept();
    QCoreApplication::quit();
}
