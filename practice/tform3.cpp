#include "practice/tform3.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "content/pane.h"
#include "content/tables.h"
#include "content/ui.h"

namespace practice {

QComboBox* makeInputBox(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFont(content::paneFont());
    box->setGeometry(geometry);
    box->setEditText(text);
    return box;
}

namespace {
QLabel* makeLabel(QWidget* parent, const char* name, int left)
{
    auto* label = new QLabel(QStringLiteral("请输入单元号"), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(content::paneFont());
    label->setGeometry(left, 11, 81, 14);
    return label;
}
} // namespace

TForm3::TForm3()
    : TwoPaneForm(QSize(545, 432), QStringLiteral("单词练习"), 3, 35)
{
    setObjectName(QStringLiteral("Form3"));
    Memo2->setContextMenuPolicy(Qt::PreventContextMenu);  // PopupMenu1 has no items
    Memo1->setPlainText(content::qtext("TForm3.Memo1"));
    Memo2->setPlainText(content::qtext("TForm3.Memo2"));

    Label1 = makeLabel(Panel2, "Label1", 8);
    ComboBox1 = makeInputBox(Panel2, "ComboBox1", QRect(104, 7, 161, 22), QString());
    Label3 = makeLabel(Panel2, "Label3", 288);
    ComboBox2 = makeInputBox(Panel2, "ComboBox2", QRect(384, 7, 161, 22), QString());

    setTabOrder(Memo1, Memo2);
    setTabOrder(Memo2, ComboBox1);
    setTabOrder(ComboBox1, ComboBox2);

    setAccessibleName(QStringLiteral("单词练习"));
    Memo1->setAccessibleName(QStringLiteral("单词表"));
    Memo2->setAccessibleName(QStringLiteral("汉字码表"));
    ComboBox1->setAccessibleName(QStringLiteral("单词表单元号"));
    ComboBox2->setAccessibleName(QStringLiteral("汉字码表单元号"));

    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, &TForm3::ComboBox1Change);
    connect(ComboBox2->lineEdit(), &QLineEdit::textEdited, this, &TForm3::ComboBox2Change);
}

void TForm3::ComboBox1Change()
{
    content::apply(content::UnitWordSheets, content::boxSource(ComboBox1), {content::paneTarget(Memo1)});
}

void TForm3::ComboBox2Change()
{
    content::apply(content::UnitCodeSheets, content::boxSource(ComboBox2), {content::paneTarget(Memo2)});
}

} // namespace practice
