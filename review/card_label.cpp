#include "review/card_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTextDocumentFragment>

namespace review {

namespace {
class CardLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CardLabelAccessible(CardLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this) : QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? spoken() : QAccessibleWidget::text(t);
    }

    // Read-only text without caret or selection.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return spoken().mid(start, end - start); }
    int characterCount() const override { return int(spoken().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    const QString& spoken() const { return static_cast<CardLabel*>(widget())->spoken(); }
};

QAccessibleInterface* makeAccessible(const QString& className, QObject* object)
{
    if (auto* label = dynamic_cast<CardLabel*>(object))
        return new CardLabelAccessible(label);
    // A plain top-level widget would be announced as a filler, not as the program's window.
    if (className == QLatin1String("review::ReviewWindow") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}
} // namespace

CardLabel::CardLabel(QWidget* parent, const QString& objectName, const QString& what) : QLabel(parent)
{
    setObjectName(objectName);
    setAccessibleName(what);
}

void CardLabel::setContent(const QString& shown, const QString& spoken)
{
    setText(shown);
    const QString old = spoken_;
    spoken_ = !spoken.isEmpty() ? spoken
            : Qt::mightBeRichText(shown) ? QTextDocumentFragment::fromHtml(shown).toPlainText()
                                         : shown;
    if (old != spoken_ && QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, old, spoken_);
        QAccessible::updateAccessibility(&event);
    }
}

void CardLabel::installAccessibility()
{
    QAccessible::installFactory(makeAccessible);
}

} // namespace review
