#include "practice/two_pane.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShortcut>

#include "content/ui.h"

namespace practice {

DividerBar::DividerBar(TwoPaneForm* form, int height)
    : QFrame(form), form_(form)
{
    setObjectName(QStringLiteral("Panel1"));
    setFixedHeight(height);
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setCursor(Qt::SplitVCursor);
    setAccessibleName(QStringLiteral("分隔条"));
}

void DividerBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragging_ = true;
}

void DividerBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    const QPoint at = mapTo(form_, event->position().toPoint());
    setCursor(form_->dragOver(this, at) ? Qt::SplitVCursor : Qt::ForbiddenCursor);
}

void DividerBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // No drop handler: the size reached stays.
    dragging_ = false;
    setCursor(Qt::SplitVCursor);
}

TwoPaneForm::TwoPaneForm(QSize client, const QString& caption, int barHeight, int bottomHeight)
{
    content::setupFixedWindow(this, client, caption);
    Memo1 = content::makePane(this, "Memo1");
    Panel1 = new DividerBar(this, barHeight);
    Memo2 = content::makePane(this, "Memo2");
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(bottomHeight);
    relayout();
    content::applyWindowFont(this);  // for the controls the windows add to the bottom panel
    // A secondary window: Escape hides it like its close button.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

void TwoPaneForm::setTopHeight(int height)
{
    topHeight_ = height;
    relayout();
}

void TwoPaneForm::resizeEvent(QResizeEvent*)
{
    relayout();
}

void TwoPaneForm::relayout()
{
    const int w = width();
    const int bottomTop = height() - Panel2->height();
    // Keep the top pane between zero and the space above the bottom panel, less the bar.
    topHeight_ = std::clamp(topHeight_, 0, std::max(0, bottomTop - Panel1->height()));
    Memo1->setGeometry(0, 0, w, topHeight_);
    Panel1->setGeometry(0, topHeight_, w, Panel1->height());
    const int memo2Top = topHeight_ + Panel1->height();
    Memo2->setGeometry(0, memo2Top, w, bottomTop - memo2Top);
    Panel2->setGeometry(0, bottomTop, w, Panel2->height());
}

void TwoPaneForm::paneDragOver(QObject* sender, QObject* source, int y, bool& accept)
{
    accept = false;
    if (source != Panel1)
        return;
    accept = true;
    const auto* pane = qobject_cast<QWidget*>(sender);
    setTopHeight((pane ? pane->y() : 0) + y);
}

void TwoPaneForm::Memo1DragOver(QObject* Sender, QObject* Source, int, int Y, int, bool& Accept)
{
    paneDragOver(Sender, Source, Y, Accept);
}

void TwoPaneForm::Memo2DragOver(QObject* Sender, QObject* Source, int, int Y, int, bool& Accept)
{
    paneDragOver(Sender, Source, Y, Accept);
}

bool TwoPaneForm::dragOver(QObject* source, QPoint windowPoint)
{
    bool accept = false;
    for (QPlainTextEdit* pane : {Memo1, Memo2}) {
        if (!pane->geometry().contains(windowPoint) || pane->height() == 0)
            continue;
        const QPoint client = pane->viewport()->mapFrom(this, windowPoint);
        if (pane == Memo1)
            Memo1DragOver(pane, source, client.x(), client.y(), 0, accept);
        else
            Memo2DragOver(pane, source, client.x(), client.y(), 0, accept);
        break;
    }
    return accept;
}

} // namespace practice
