#include "dictionary/lookup.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QListWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "content/pane.h"
#include "content/tables.h"

namespace dictionary {

void typedLookup(const Controls& c)
{
    const content::Source input = content::boxSource(c.input);
    content::apply(content::TypedEntryTable, input, {content::paneTarget(c.entry)});
    content::apply(content::TypedPhoneticTable, input, {content::paneTarget(c.phonetic)});
}

void listLookup(const Controls& c)
{
    const content::Source selected = [&] {
        const QListWidgetItem* item = c.list->currentItem();
        return item ? item->text() : QString();
    };
    content::apply(content::WordListTable, selected,
                   {content::boxTarget(c.input), content::paneTarget(c.phonetic), content::paneTarget(c.entry)});
}

QStringList wordListItems()
{
    QStringList items;
    for (const content::Row& row : content::WordListTable.rows)
        items << QString::fromLatin1(row.key.data(), static_cast<qsizetype>(row.key.size()));
    return items;
}

namespace {
class WordList final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    // Before any choice Qt's current item is the first word, so Down would skip it; the first Down
    // or Home chooses the first word, as a click on it would.
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Down || event->key() == Qt::Key_Home) && event->modifiers() == Qt::NoModifier
            && selectedItems().isEmpty() && count() > 0) {
            setCurrentRow(0);
            return;
        }
        QListWidget::keyPressEvent(event);
    }

    // Qt selects the item under a right or middle press too; here those presses choose nothing.
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            QListWidget::mousePressEvent(event);
        else
            event->ignore();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            QListWidget::mouseReleaseEvent(event);
        else
            event->ignore();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            QListWidget::mouseDoubleClickEvent(event);
        else
            event->ignore();
    }
};
} // namespace

QListWidget* makeWordList(QWidget* parent)
{
    auto* list = new WordList(parent);
    list->setUniformItemSizes(true);
    list->addItems(wordListItems());
    return list;
}

QFont phoneticFont()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/phonetic.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    QFont f;
    // Without the embedded font the line still shows its ASCII text.
    if (!family.isEmpty())
        f.setFamily(family);
    f.setPixelSize(16);
    f.setBold(true);
    return f;
}

} // namespace dictionary
