#include "stories/tform4.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QToolButton>

#include "content/pane.h"
#include "content/tables.h"
#include "content/ui.h"
#include "practice/tform3.h"

namespace stories {

namespace {
QToolButton* makeSpeedButton(QWidget* parent, const char* name, int left, const char* icon, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 8, 56, 22);
    b->setIcon(content::buttonIcon(QString::fromLatin1(icon), 18, QStringLiteral(":/pictures/stories")));
    b->setIconSize(QSize(18, 18));
    b->setAutoRaise(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    return b;
}
} // namespace

TForm4::TForm4()
    : TwoPaneForm(QSize(545, 435), QStringLiteral("幽默故事"), 2, 37)
{
    setObjectName(QStringLiteral("Form4"));
    Memo1->setContextMenuPolicy(Qt::PreventContextMenu);  // PopupMenu1 has no items
    Memo2->setContextMenuPolicy(Qt::PreventContextMenu);
    Memo1->setPlainText(content::qtext("TForm4.Memo1"));
    Memo2->setPlainText(content::qtext("TForm4.Memo2"));

    ComboBox1 = practice::makeInputBox(Panel2, "ComboBox1", QRect(25, 8, 222, 22), content::qtext("TForm4.ComboBox1"));
    SpeedButton1 = makeSpeedButton(Panel2, "SpeedButton1", 288, ":/buttons/clear.svg", QStringLiteral("清空"));
    SpeedButton2 = makeSpeedButton(Panel2, "SpeedButton2", 344, ":/buttons/next.svg", QStringLiteral("下一个"));
    SpeedButton3 = makeSpeedButton(Panel2, "SpeedButton3", 400, ":/buttons/previous.svg", QStringLiteral("上一个"));
    SpeedButton4 = makeSpeedButton(Panel2, "SpeedButton4", 456, ":/buttons/exit.svg", QStringLiteral("退出"));

    setTabOrder(Memo1, Memo2);
    setTabOrder(Memo2, ComboBox1);

    setAccessibleName(QStringLiteral("幽默故事"));
    Memo1->setAccessibleName(QStringLiteral("英语阅读区"));
    Memo2->setAccessibleName(QStringLiteral("汉语阅读区"));
    ComboBox1->setAccessibleName(QStringLiteral("幽默故事框"));
    // The buttons take no focus; these keys reach them from the keyboard.
    const auto key = [this](QKeySequence k, void (TForm4::*handler)()) {
        connect(new QShortcut(k, this), &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_L), &TForm4::SpeedButton1Click);
    key(QKeySequence(Qt::ALT | Qt::Key_Right), &TForm4::SpeedButton2Click);
    key(QKeySequence(Qt::ALT | Qt::Key_Left), &TForm4::SpeedButton3Click);

    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, &TForm4::ComboBox1Change);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm4::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm4::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm4::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm4::SpeedButton4Click);
}

void TForm4::ShowVocabularyUnit()
{
    content::apply(content::VocabularyUnits, content::boxSource(ComboBox1), {content::paneTarget(Memo1)});
}

void TForm4::ShowGlossaryEntry()
{
    content::apply(content::StoryGlossary, content::boxSource(ComboBox1), {content::paneTarget(Memo2)});
}

void TForm4::ShowContents()
{
    content::apply(content::ContentsPage, content::boxSource(ComboBox1),
                   {content::paneTarget(Memo1), content::paneTarget(Memo2)});
}

void TForm4::ShowStory()
{
    content::apply(content::Stories, content::boxSource(ComboBox1),
                   {content::paneTarget(Memo1), content::paneTarget(Memo2)});
}

void TForm4::ComboBox1Change()
{
    ShowVocabularyUnit();
    ShowGlossaryEntry();
    ShowContents();
    ShowStory();
}

void TForm4::SpeedButton1Click()
{
    if (!ComboBox1->currentText().isEmpty())
        ComboBox1->setEditText(QString());
}

void TForm4::SpeedButton2Click()
{
    content::apply(content::NextSteps, content::boxSource(ComboBox1),
                   {content::boxTarget(ComboBox1), content::paneTarget(Memo1), content::paneTarget(Memo2)});
}

void TForm4::SpeedButton3Click()
{
    content::apply(content::PreviousSteps, content::boxSource(ComboBox1),
                   {content::boxTarget(ComboBox1), content::paneTarget(Memo1), content::paneTarget(Memo2)});
}

void TForm4::SpeedButton4Click()
{
    close();
}

} // namespace stories
