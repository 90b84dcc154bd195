#include "review/word_list.h"

#include <map>

#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "review/cards.h"
#include "review/stats.h"
#include "review/store.h"

namespace review {

namespace {
QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

enum Column { Word, Meaning, Code, Unit, State, Due, Answers, Lapses };
enum Filter { All, Fresh, Learning, Reviewing, Known, Suspended, Leech };
enum Action { Suspend, MarkKnown, Reset };
const char* const filterNames[] = {"全部", "新词", "学习中", "复习中", "已掌握", "已暂停", "难词"};
constexpr int kCardRole = Qt::UserRole, kFlagsRole = Qt::UserRole + 1, kStateRole = Qt::UserRole + 2;

// A card's state as the list and its filter name it.
Filter stateOf(const CardProgress* p)
{
    if (p && (p->flags & CardFlag::Suspended))
        return Suspended;
    if (p && ((p->flags & CardFlag::Known) || p->memory.stability >= stats::kKnownDays))
        return Known;
    if (!p || p->memory.isNew())
        return Fresh;
    return p->state == 1 || p->state == 3 ? Learning : Reviewing;
}
} // namespace

WordListPage::WordListPage(ProgressStore& store, QWidget* parent) : QWidget(parent), store_(store)
{
    setAccessibleName(QStringLiteral("词表"));
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("search"));
    search_->setAccessibleName(QStringLiteral("查找：单词、释义或汉字码"));
    search_->setPlaceholderText(QStringLiteral("查找单词、释义或汉字码"));
    search_->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("查找(&F)"), this);
    searchLabel->setBuddy(search_);
    unit_ = new QComboBox(this);
    unit_->setObjectName(QStringLiteral("unitFilter"));
    unit_->setAccessibleName(QStringLiteral("单元"));
    unit_->addItem(QStringLiteral("全部单元"), 0);
    int units = 0;
    for (const Card& c : allCards())
        units = std::max(units, c.unit);
    for (int u = 1; u <= units; ++u)
        unit_->addItem(QStringLiteral("第 %1 单元").arg(u, 3, 10, QLatin1Char('0')), u);
    state_ = new QComboBox(this);
    state_->setObjectName(QStringLiteral("stateFilter"));
    state_->setAccessibleName(QStringLiteral("状态"));
    for (const char* name : filterNames)
        state_->addItem(QString::fromUtf8(name));

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("cards"));
    list_->setAccessibleName(QStringLiteral("卡片"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({QStringLiteral("单词"), QStringLiteral("释义"), QStringLiteral("汉字码"), QStringLiteral("单元"),
                            QStringLiteral("状态"), QStringLiteral("下次复习"), QStringLiteral("回答"), QStringLiteral("遗忘")});
    for (const Card& c : allCards()) {
        auto* item = new QTreeWidgetItem(list_, {fromView(c.word), fromView(c.meaning), fromView(c.code),
                                                 QString::number(c.unit), {}, {}, {}, {}});
        item->setData(Word, kCardRole, int(&c - allCards().data()));
    }
    list_->header()->setSectionResizeMode(Meaning, QHeaderView::Stretch);

    details_ = new QLabel(this);
    details_->setObjectName(QStringLiteral("cardDetails"));
    details_->setAccessibleName(QStringLiteral("卡片详情"));
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    suspend_ = new QPushButton(QStringLiteral("暂停(&S)"), this);
    suspend_->setObjectName(QStringLiteral("suspendCard"));
    known_ = new QPushButton(QStringLiteral("标为已会(&K)"), this);
    known_->setObjectName(QStringLiteral("markKnown"));
    reset_ = new QPushButton(QStringLiteral("重置为新词(&R)"), this);
    reset_->setObjectName(QStringLiteral("resetCard"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(searchLabel);
    filters->addWidget(search_, 1);
    filters->addWidget(unit_);
    filters->addWidget(state_);
    auto* actions = new QHBoxLayout;
    actions->addWidget(details_, 1);
    actions->addWidget(suspend_);
    actions->addWidget(known_);
    actions->addWidget(reset_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(list_, 1);
    layout->addLayout(actions);

    connect(search_, &QLineEdit::textChanged, this, &WordListPage::filter);
    connect(unit_, &QComboBox::currentIndexChanged, this, &WordListPage::filter);
    connect(state_, &QComboBox::currentIndexChanged, this, &WordListPage::filter);
    connect(list_, &QTreeWidget::currentItemChanged, this, &WordListPage::showDetails);
    connect(suspend_, &QPushButton::clicked, this, [this] { change(Suspend); });
    connect(known_, &QPushButton::clicked, this, [this] { change(MarkKnown); });
    connect(reset_, &QPushButton::clicked, this, [this] { change(Reset); });
    showDetails();
}

void WordListPage::refresh(std::int64_t learningDay)
{
    today_ = learningDay;
    std::map<std::string, CardProgress, std::less<>> progress;
    for (CardProgress& p : store_.loadProgress())
        progress[p.word] = std::move(p);
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        const Card& c = allCards()[item->data(Word, kCardRole).toInt()];
        const auto it = progress.find(c.word);
        const CardProgress* p = it == progress.end() ? nullptr : &it->second;
        const Filter state = stateOf(p);
        item->setText(State, QString::fromUtf8(filterNames[state]) + (p && (p->flags & CardFlag::Leech) ? QStringLiteral("（难词）") : QString()));
        item->setText(Due, !p || p->memory.isNew() || state == Suspended ? QString()
                           : p->dueDay <= learningDay ? QStringLiteral("今天")
                                                      : QDate(1970, 1, 1).addDays(p->dueDay).toString(QStringLiteral("yyyy-MM-dd")));
        item->setText(Answers, p ? QString::number(p->reps) : QString());
        item->setText(Lapses, p ? QString::number(p->lapses) : QString());
        item->setData(Word, kFlagsRole, p ? p->flags : 0);
        item->setData(Word, kStateRole, int(state));
    }
    filter();
    showDetails();
}

void WordListPage::filter()
{
    const QString text = search_->text().trimmed();
    const int unit = unit_->currentData().toInt();
    const int state = state_->currentIndex();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        const bool found = text.isEmpty() || item->text(Word).contains(text, Qt::CaseInsensitive) ||
                           item->text(Meaning).contains(text) || item->text(Code).contains(text);
        const bool inUnit = unit == 0 || item->text(Unit).toInt() == unit;
        const bool inState = state == All || (state == Leech ? (item->data(Word, kFlagsRole).toInt() & CardFlag::Leech) != 0
                                                              : item->data(Word, kStateRole).toInt() == state);
        item->setHidden(!(found && inUnit && inState));
    }
}

int WordListPage::shownRows() const
{
    int shown = 0;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        shown += !list_->topLevelItem(i)->isHidden();
    return shown;
}

void WordListPage::showDetails()
{
    QTreeWidgetItem* item = list_->currentItem();
    const bool writable = store_.isOpen();
    for (QPushButton* b : {suspend_, known_, reset_})
        b->setEnabled(item && writable);
    if (!item) {
        details_->setText(QStringLiteral("选一张卡片，看它的回答记录。"));
        return;
    }
    const bool suspended = item->data(Word, kFlagsRole).toInt() & CardFlag::Suspended;
    suspend_->setText(suspended ? QStringLiteral("恢复(&S)") : QStringLiteral("暂停(&S)"));
    QStringList history;
    const char* const grades[] = {"", "重来", "困难", "良好", "容易"};
    for (const auto& row : store_.answersOf(item->text(Word).toStdString()))
        history << QStringLiteral("%1 %2").arg(QDateTime::fromMSecsSinceEpoch(row.timeMs).toString(QStringLiteral("MM-dd HH:mm")),
                                               QString::fromUtf8(grades[std::clamp(row.grade, 0, 4)]));
    details_->setText(QStringLiteral("%1：%2").arg(item->text(Word), history.isEmpty() ? QStringLiteral("还没有回答") : history.join(QStringLiteral("；"))));
}

void WordListPage::change(int action)
{
    QTreeWidgetItem* item = list_->currentItem();
    if (!item || !store_.isOpen())
        return;
    const std::string word = item->text(Word).toStdString();
    const bool saved = store_.recordAnswer(word, [action](const CardProgress& stored) {
        CardProgress card = stored;
        if (action == Suspend)
            card.flags ^= CardFlag::Suspended;
        else if (action == MarkKnown)
            card.flags |= CardFlag::Known | CardFlag::Shown;
        else  // a new word again; its answers stay in the log
            card = CardProgress{stored.word};
        ReviewLogEntry none;
        none.grade = Grade(0);  // the card alone changes
        return std::optional{std::pair{card, none}};
    });
    if (!saved)
        details_->setText(store_.message());
    refresh(today_);
    emit cardsChanged();
}

} // namespace review
