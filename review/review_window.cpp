#include "review/review_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "content/tables.h"
#include "content/ui.h"
#include "dictionary/lookup.h"
#include "dictionary/pronunciation.h"
#include "review/card_label.h"
#include "review/export.h"
#include "review/stats.h"
#include "review/stats_view.h"
#include "review/store.h"
#include "review/word_list.h"

namespace review {

namespace {
QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QFont sized(QFont f, int pixels)
{
    f.setPixelSize(pixels);
    return f;
}

// A centred label as the card shows it, named for tests and for assistive technology.
CardLabel* cardLabel(QWidget* parent, const char* name, const QString& accessible, const QFont& font)
{
    auto* label = new CardLabel(parent, QString::fromLatin1(name), accessible);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// Input methods pass letters straight through only where a field says it takes none: QLineEdit
// answers "enabled" to their query whatever its attribute says, and fcitx5 asks that query.
class LatinLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override
    {
        return query == Qt::ImEnabled ? QVariant(false) : QLineEdit::inputMethodQuery(query);
    }
};

const char* const gradeNames[] = {"重来", "困难", "良好", "容易"};
const char* const settingNewWords = "dailyNewWords";
const char* const settingReviewLimit = "reviewLimit";
constexpr int moreNewWords = 27;
const char* const settingMode = "mode";
const char* const settingAutoSound = "autoSound";
const char* const settingScale = "cardScale";
const char* const settingWindowSize = "windowSize";
constexpr int scaleSteps[] = {70, 80, 90, 100, 115, 130, 150, 175, 200, 250};
const QString englishFamily = QStringLiteral("DejaVu Sans Mono");

QString english(const QString& text)
{
    return QStringLiteral("<span style=\"font-family:'%1'\">%2</span>").arg(englishFamily, text);
}

// The start of a learning day (04:00 local time) in ms since the epoch.
std::int64_t dayStartMs(std::int64_t day)
{
    return QDateTime(QDate(1970, 1, 1).addDays(day), QTime(4, 0)).toMSecsSinceEpoch();
}

// The word's code: each character over its reading and the letter it gives; the letters the
// learner got wrong or left out in red.
QString codeTable(const Card& card, const AnswerCheck* check)
{
    std::vector<bool> missed(card.letters.size(), false);
    if (check)
        for (const LetterMark& m : check->marks)
            if ((m.state == LetterMark::State::Wrong || m.state == LetterMark::State::Missing) && m.index >= 0 &&
                m.index < static_cast<int>(missed.size()))
                missed[m.index] = true;
    const QString word = fromView(card.word);
    QString chars, readings, letters;
    for (size_t i = 0; i < card.letters.size(); ++i) {
        const QString style = missed[i] ? QStringLiteral(" style=\"color:#c00000;background:#ffe0e0\"") : QString();
        chars += QStringLiteral("<td align=center%1><big>%2</big></td>").arg(style, fromView(card.letters[i].character));
        readings += QStringLiteral("<td align=center%1>%2</td>").arg(style, fromView(card.letters[i].pinyin).toUpper().toHtmlEscaped());
        letters += QStringLiteral("<td align=center%1><b>%2</b></td>")
                       .arg(style, i < size_t(word.size()) ? english(QString(word[qsizetype(i)]).toHtmlEscaped()) : QString());
    }
    return QStringLiteral("<table align=center cellspacing=0 cellpadding=3><tr>%1</tr><tr>%2</tr><tr>%3</tr></table>")
        .arg(chars, readings, letters);
}

// The code as a screen reader says it: each character, its reading and its letter.
QString spokenCode(const Card& card)
{
    const QString word = fromView(card.word);
    QStringList parts;
    for (size_t i = 0; i < card.letters.size(); ++i)
        parts << QStringLiteral("%1 %2 %3").arg(fromView(card.letters[i].character), fromView(card.letters[i].pinyin).toUpper(),
                                                i < size_t(word.size()) ? QString(word[qsizetype(i)]) : QString());
    return fromView(card.code) + QStringLiteral("：") + parts.join(QStringLiteral("，"));
}

// The word letter by letter: right in green, wrong and missing in red, extra typed ones struck.
QString markedWord(const AnswerCheck& check, const QString& typed)
{
    QString html;
    for (const LetterMark& m : check.marks) {
        const QString l = QString(m.letter).toHtmlEscaped();
        switch (m.state) {
        case LetterMark::State::Right:
            html += QStringLiteral("<span style=\"color:#007000\">%1</span>").arg(l);
            break;
        case LetterMark::State::Wrong:
            html += QStringLiteral("<span style=\"color:#c00000\"><u>%1</u></span>").arg(l);
            break;
        case LetterMark::State::Missing:
            html += QStringLiteral("<span style=\"color:#c00000;background:#ffe0e0\">%1</span>").arg(l);
            break;
        case LetterMark::State::Extra:
            html += QStringLiteral("<span style=\"color:#808080\"><s>%1</s></span>").arg(l);
            break;
        }
    }
    return QStringLiteral("你写的：%1<br><big>%2</big><br>%3")
        .arg(typed.trimmed().isEmpty() ? QStringLiteral("（空）") : english(typed.trimmed().toHtmlEscaped()), english(html),
             describe(check).join(QStringLiteral("；")).toHtmlEscaped());
}
} // namespace

QString ReviewWindow::soundFile(std::string_view tablePath)
{
    QString relative = fromView(tablePath).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (relative.startsWith(QLatin1String("sound/")))
        relative.remove(0, 6);
    // The build folder has sound/ in the current directory; an install keeps it under share/.
    static const QString folder = [] {
        const QDir here(QStringLiteral("sound"));
        if (here.exists())
            return here.absolutePath();
        return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/chenxing/sound")).absolutePath();
    }();
    return folder + QLatin1Char('/') + relative;
}

ReviewWindow::ReviewWindow(ProgressStore& store, Session::Clock clock, QWidget* parent)
    : QWidget(parent), store_(store), clock_(clock ? std::move(clock) : Session::Clock(Session::systemClock)),
      session_(&store, clock_)
{
    CardLabel::installAccessibility();
    setWindowTitle(QStringLiteral("晨星复习"));
    setAccessibleName(QStringLiteral("晨星复习"));
    const QFont pane = content::paneFont();

    banner_ = new QLabel(this);
    banner_->setObjectName(QStringLiteral("banner"));
    banner_->setAccessibleName(QStringLiteral("保存状态"));
    banner_->setWordWrap(true);
    // A palette, not a style sheet: a style sheet would set up Qt's style-sheet engine at start-up.
    banner_->setAutoFillBackground(true);
    banner_->setFrameStyle(QFrame::Box | QFrame::Plain);
    banner_->setMargin(4);
    {
        QPalette p = banner_->palette();
        p.setColor(QPalette::Window, QColor(0xff, 0xf3, 0xc0));
        p.setColor(QPalette::WindowText, QColor(0x60, 0x30, 0x00));
        banner_->setPalette(p);
    }
    banner_->hide();

    counts_ = new CardLabel(this, QStringLiteral("counts"), QStringLiteral("计数"));
    counts_->setFont(pane);

    modeBox_ = new QComboBox(this);
    modeBox_->setObjectName(QStringLiteral("mode"));
    modeBox_->setAccessibleName(QStringLiteral("模式"));
    modeBox_->addItems({QStringLiteral("回忆 (Ctrl+1)"), QStringLiteral("听写 (Ctrl+2)"), QStringLiteral("混合 (Ctrl+3)")});
    auto* modeLabel = new QLabel(QStringLiteral("模式(&M)"), this);
    modeLabel->setBuddy(modeBox_);

    newWordsBox_ = new QComboBox(this);
    newWordsBox_->setObjectName(QStringLiteral("newWords"));
    newWordsBox_->setAccessibleName(QStringLiteral("每天新词"));
    for (int n : Session::newWordChoices)
        newWordsBox_->addItem(QString::number(n), n);
    auto* newLabel = new QLabel(QStringLiteral("每天新词(&N)"), this);
    newLabel->setBuddy(newWordsBox_);

    // Alt+A toggles it from the keyboard without taking the focus from the answer.
    limitBox_ = new QComboBox(this);
    limitBox_->setObjectName(QStringLiteral("reviewLimit"));
    limitBox_->setAccessibleName(QStringLiteral("每天复习上限"));
    for (int n : {100, 200, 300, 500})
        limitBox_->addItem(QString::number(n), n);
    limitBox_->addItem(QStringLiteral("不限"), 0);
    limitBox_->setCurrentIndex(1);
    auto* limitLabel = new QLabel(QStringLiteral("复习上限(&L)"), this);
    limitLabel->setBuddy(limitBox_);
    connect(limitBox_, &QComboBox::activated, this, [this](int i) {
        session_.setReviewLimit(limitBox_->itemData(i).toInt());
        saveSetting(settingReviewLimit, QString::number(session_.reviewLimit()));
        restart();
    });
    autoSound_ = new QCheckBox(QStringLiteral("自动发音 Alt+A"), this);
    autoSound_->setObjectName(QStringLiteral("autoSound"));
    autoSound_->setAccessibleName(QStringLiteral("自动发音"));
    autoSound_->setChecked(true);
    auto* toggleSound = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_A), this);
    connect(toggleSound, &QShortcut::activated, autoSound_, &QCheckBox::toggle);
    connect(autoSound_, &QCheckBox::toggled, this,
            [this](bool on) { saveSetting(settingAutoSound, on ? QStringLiteral("1") : QStringLiteral("0")); });

    prompt_ = cardLabel(this, "prompt", QStringLiteral("题目"), sized(pane, 24));
    prompt_->setWordWrap(true);
    unit_ = cardLabel(this, "unit", QStringLiteral("单元"), pane);

    answer_ = new LatinLineEdit(this);
    answer_->setObjectName(QStringLiteral("answer"));
    answer_->setAccessibleName(QStringLiteral("答案"));
    answer_->setFont(englishFont(20));
    answer_->setPlaceholderText(QStringLiteral("输入英文单词，回车检查；不会就空着回车"));
    // Letters go straight in, whatever input method the desktop has on.
    answer_->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText | Qt::ImhPreferLowercase);
    answer_->setAttribute(Qt::WA_InputMethodEnabled, false);
    answer_->installEventFilter(this);
    connect(answer_, &QLineEdit::returnPressed, this, [this] {
        if (back_ || !session_.current())
            return;
        // The word of the other card with this meaning is no mistake: the learner tries again.
        if (const Card* other = otherCardOfMeaning(*session_.current(), answer_->text())) {
            notice_->setContent(QStringLiteral("%1 也是「%2」，这里要的是另一个词").arg(english(fromView(other->word).toHtmlEscaped()), sharedMeaning(*other)),
                                QStringLiteral("%1 也是「%2」，这里要的是另一个词").arg(fromView(other->word), sharedMeaning(*other)));
            notice_->show();
            answer_->setText(QString());
            return;
        }
        showBack(!answer_->text().trimmed().isEmpty());
    });
    notice_ = cardLabel(this, "notice", QStringLiteral("提示"), pane);
    notice_->setWordWrap(true);
    notice_->hide();

    backPanel_ = new QWidget(this);
    backPanel_->setObjectName(QStringLiteral("back"));
    backPanel_->setAccessibleName(QStringLiteral("答案面"));
    backPanel_->setFocusPolicy(Qt::StrongFocus);
    word_ = cardLabel(backPanel_, "word", QStringLiteral("单词"), englishFont(28));
    code_ = cardLabel(backPanel_, "code", QStringLiteral("汉字码"), pane);
    phonetic_ = cardLabel(backPanel_, "phonetic", QStringLiteral("音标"), dictionary::phoneticFont());
    feedback_ = cardLabel(backPanel_, "feedback", QStringLiteral("对错"), pane);
    feedback_->setWordWrap(true);
    auto* backLayout = new QVBoxLayout(backPanel_);
    backLayout->setContentsMargins(0, 0, 0, 0);
    backLayout->addWidget(word_);
    backLayout->addWidget(phonetic_);
    backLayout->addWidget(code_);
    backLayout->addWidget(feedback_);

    auto* gradeRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        grades_[i] = new QPushButton(QStringLiteral("%1 %2").arg(i + 1).arg(QString::fromUtf8(gradeNames[i])), this);
        grades_[i]->setObjectName(QStringLiteral("grade%1").arg(i + 1));
        grades_[i]->setAccessibleName(QString::fromUtf8(gradeNames[i]));
        grades_[i]->setFont(pane);
        connect(grades_[i], &QPushButton::clicked, this, [this, i] { commitGrade(static_cast<Grade>(i + 1)); });
        gradeRow->addWidget(grades_[i]);
        auto* key = new QShortcut(QKeySequence(Qt::Key_1 + i), this);
        connect(key, &QShortcut::activated, this, [this, i] { commitGrade(static_cast<Grade>(i + 1)); });
        backKeys_.push_back(key);
    }
    goOn_ = new QPushButton(QStringLiteral("记住了，继续 ⏎"), this);
    goOn_->setObjectName(QStringLiteral("goOn"));
    goOn_->setAccessibleName(QStringLiteral("记住了，继续"));
    goOn_->setFont(pane);
    known_ = new QPushButton(QStringLiteral("斩 已经会了 (Ctrl+K)"), this);
    known_->setObjectName(QStringLiteral("known"));
    known_->setAccessibleName(QStringLiteral("斩：已经会了，不再出现"));
    known_->setFont(pane);
    connect(goOn_, &QPushButton::clicked, this, &ReviewWindow::studyDone);
    connect(known_, &QPushButton::clicked, this, &ReviewWindow::markKnown);
    gradeRow->addWidget(goOn_);
    gradeRow->addWidget(known_);
    auto* undoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undoKey, &QShortcut::activated, this, [this] {
        if (tabs_->currentIndex() != 0 || !session_.canUndo())
            return;
        if (session_.undo())
            showFront();
        else
            showBanner(store_.message());
    });
    auto* suspendKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(suspendKey, &QShortcut::activated, this, [this] {
        if (tabs_->currentIndex() != 0 || studying_ || !session_.current())
            return;
        if (!session_.suspend() && store_.isOpen())
            showBanner(store_.message() + QStringLiteral("　——　进度暂时只记在内存里。"));
        showFront();
    });
    auto* knownKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);
    connect(knownKey, &QShortcut::activated, this, &ReviewWindow::markKnown);
    for (int k : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto* key = new QShortcut(QKeySequence(k), this);
        connect(key, &QShortcut::activated, this, &ReviewWindow::commitPreselected);
        backKeys_.push_back(key);
    }
    const std::pair<QKeySequence, int> zoomKeys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Equal), 1}, {QKeySequence(Qt::CTRL | Qt::Key_Plus), 1},
                                                     {QKeySequence(Qt::CTRL | Qt::Key_Minus), -1}, {QKeySequence(Qt::CTRL | Qt::Key_0), 0}};
    for (const auto& [keys, step] : zoomKeys) {
        auto* key = new QShortcut(keys, this);
        connect(key, &QShortcut::activated, this, [this, step = step] {
            const auto at = std::lower_bound(std::begin(scaleSteps), std::end(scaleSteps), scale_);
            const auto i = at - std::begin(scaleSteps);
            const auto last = std::size(scaleSteps) - 1;
            setCardScale(step == 0 ? 100 : scaleSteps[std::clamp<std::ptrdiff_t>(i + step, 0, last)]);
        });
    }
    auto* replay = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(replay, &QShortcut::activated, this, &ReviewWindow::play);
    for (int i = 0; i < 3; ++i) {
        auto* key = new QShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + i)), this);
        connect(key, &QShortcut::activated, this, [this, i] { modeBox_->setCurrentIndex(i); });
    }

    dayTimer_ = new QTimer(this);
    dayTimer_->setSingleShot(true);
    dayTimer_->setTimerType(Qt::VeryCoarseTimer);
    connect(dayTimer_, &QTimer::timeout, this, &ReviewWindow::checkDay);

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("hint"));
    hint_->setAccessibleName(QStringLiteral("按键提示"));
    hint_->setAlignment(Qt::AlignCenter);
    finished_ = cardLabel(this, "finished", QStringLiteral("完成"), sized(pane, 24));
    finished_->hide();
    moreNew_ = new QPushButton(QStringLiteral("再学 %1 个新词(&J)").arg(moreNewWords), this);
    moreNew_->setObjectName(QStringLiteral("moreNew"));
    moreNew_->setAccessibleName(QStringLiteral("再学 %1 个新词").arg(moreNewWords));
    moreNew_->setFont(pane);
    moreNew_->hide();
    connect(moreNew_, &QPushButton::clicked, this, [this] {
        if (session_.addNewWords(moreNewWords) > 0)
            showFront();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(counts_, 1);
    top->addWidget(modeLabel);
    top->addWidget(modeBox_);
    top->addWidget(newLabel);
    top->addWidget(newWordsBox_);
    top->addWidget(limitLabel);
    top->addWidget(limitBox_);
    top->addWidget(autoSound_);
    auto* drill = new QWidget(this);
    auto* layout = new QVBoxLayout(drill);
    layout->addLayout(top);
    layout->addStretch(1);
    layout->addWidget(prompt_);
    layout->addWidget(unit_);
    layout->addWidget(answer_);
    layout->addWidget(notice_);
    layout->addWidget(backPanel_);
    layout->addWidget(finished_);
    layout->addWidget(moreNew_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addLayout(gradeRow);
    layout->addWidget(hint_);
    setTabOrder(answer_, backPanel_);
    setMinimumSize(640, 480);
    // Room for the four charts side by side where the screen has it; smaller, the page scrolls.
    resize(800, 600);

    statsHolder_ = new QWidget(this);
    new QVBoxLayout(statsHolder_);
    auto* statsScroll = new QScrollArea(this);
    statsScroll->setWidget(statsHolder_);
    statsScroll->setWidgetResizable(true);
    statsScroll->setFrameShape(QFrame::NoFrame);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("pages"));
    tabs_->setAccessibleName(QStringLiteral("页面"));
    tabs_->addTab(drill, QStringLiteral("复习 Alt+1"));
    tabs_->addTab(statsScroll, QStringLiteral("统计 Alt+2"));
    // The word list's rows are made when the page is first opened, not at start-up.
    wordListHolder_ = new QWidget(this);
    new QVBoxLayout(wordListHolder_);
    wordListHolder_->layout()->setContentsMargins(0, 0, 0, 0);
    tabs_->addTab(wordListHolder_, QStringLiteral("词表 Alt+3"));
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(banner_);
    outer->addWidget(tabs_, 1);
    for (int i = 0; i < 3; ++i) {
        auto* key = new QShortcut(QKeySequence(Qt::ALT | (Qt::Key_1 + i)), this);
        connect(key, &QShortcut::activated, this, [this, i] { showPage(i); });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) {
        // The grade keys belong to the card's back only.
        for (QShortcut* k : backKeys_)
            k->setEnabled(i == 0 && (back_ || studying_));
        if (i == 0) {
            if (!back_ && session_.current())
                answer_->setFocus();
            return;
        }
        if (i == 2) {
            wordList()->refresh(session_.today());
            return;
        }
        if (!stats_ && !statsMissing_) {
            QString why;
            stats_ = makeStatsView(store_, statsHolder_, &why);
            statsHolder_->layout()->setContentsMargins(0, 0, 0, 0);
            if (!stats_) {
                // The drill goes on without its charts.
                statsMissing_ = true;
                auto* missing = new QLabel(QStringLiteral("统计页无法载入：%1").arg(why), statsHolder_);
                missing->setObjectName(QStringLiteral("statsMissing"));
                missing->setWordWrap(true);
                missing->setAlignment(Qt::AlignCenter);
                statsHolder_->layout()->addWidget(missing);
                return;
            }
            statsHolder_->layout()->addWidget(stats_);
            connect(stats_, &StatsView::desiredRetentionChanged, this, &ReviewWindow::setDesiredRetention);
            connect(stats_, &StatsView::dailyNewWordsChanged, this, [this](int n) {
                newWordsBox_->setCurrentIndex(std::max(0, newWordsBox_->findData(n)));
                setDailyNewWords(n);
            });
        }
        if (!stats_)
            return;
        stats_->setSettings(session_.desiredRetention(), session_.dailyNewWords());
        stats_->refresh(session_.today());
    });

    connect(modeBox_, &QComboBox::currentIndexChanged, this, [this](int i) {
        setModeChoice(static_cast<ModeChoice>(i));
        saveSetting(settingMode, QString::number(i));
    });
    connect(newWordsBox_, &QComboBox::activated, this,
            [this](int i) { setDailyNewWords(newWordsBox_->itemData(i).toInt()); });
}

ReviewWindow::~ReviewWindow() = default;

WordListPage* ReviewWindow::wordList()
{
    if (!wordList_) {
        wordList_ = new WordListPage(store_, wordListHolder_);
        wordList_->setObjectName(QStringLiteral("wordList"));
        wordListHolder_->layout()->addWidget(wordList_);
        connect(wordList_, &WordListPage::cardsChanged, this, &ReviewWindow::restart);
    }
    return wordList_;
}

void ReviewWindow::showBanner(const QString& text)
{
    banner_->setText(text);
    banner_->setVisible(!text.isEmpty());
}

void ReviewWindow::openStore(const QString& path)
{
    ProgressStore::OpenResult result = store_.open(path);
    QString notice;  // what happened to a file that was moved aside
    if (result == ProgressStore::OpenResult::NotOurs || result == ProgressStore::OpenResult::Damaged) {
        const QString found = store_.message();
        const auto backup = ProgressStore::latestSoundBackup(path);
        QMessageBox box(QMessageBox::Warning, QStringLiteral("晨星复习"), found, QMessageBox::NoButton, this);
        QPushButton* restore = nullptr;
        if (backup) {
            restore = box.addButton(QStringLiteral("恢复 %1 的备份（%2 次回答）")
                                        .arg(QDate(1970, 1, 1).addDays(backup->learningDay).toString(QStringLiteral("yyyy-MM-dd")))
                                        .arg(backup->answers),
                                    QMessageBox::AcceptRole);
            restore->setObjectName(QStringLiteral("restoreBackup"));
        }
        QPushButton* afresh = box.addButton(QStringLiteral("重新开始"), QMessageBox::DestructiveRole);
        afresh->setObjectName(QStringLiteral("startAfresh"));
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(restore ? restore : cancel);
        box.setInformativeText(restore ? QStringLiteral("可以恢复最近一份完好的备份，或者重新开始；两种做法都会把这个文件改名留在原处，不会删除。")
                                       : QStringLiteral("没有完好的备份。重新开始会把这个文件改名留在原处，不会删除。"));
        box.exec();
        QString movedTo;
        if (box.clickedButton() == restore && restore && store_.restore(*backup, &movedTo)) {
            notice = store_.message();
            result = store_.open(path);
        } else if (box.clickedButton() == afresh && store_.moveAside(&movedTo)) {
            notice = store_.message() + QStringLiteral("新的学习进度从头记录。");
            result = store_.open(path);
        } else if (box.clickedButton() == restore || box.clickedButton() == afresh) {
            notice = store_.message();
        } else {
            notice = found + QStringLiteral("本次复习照常进行，但不会保存。要继续记录进度，请关闭本程序后重新打开，"
                                            "选择恢复备份或重新开始（原文件都会改名保留）。");
        }
    } else if (result == ProgressStore::OpenResult::Newer) {
        QMessageBox::information(this, QStringLiteral("晨星复习"), store_.message());
    }
    // The store's message already says that this session is not saved.
    showBanner(!store_.isOpen() && notice.isEmpty() ? store_.message() : notice);
    session_.storeReopened();
    bool ok = false;
    const int n = store_.setting(QString::fromLatin1(settingNewWords)).toInt(&ok);
    session_.setDailyNewWords(ok ? n : 54);
    const int limit = store_.setting(QString::fromLatin1(settingReviewLimit)).toInt(&ok);
    session_.setReviewLimit(ok ? limit : 200);
    limitBox_->setCurrentIndex(std::max(0, limitBox_->findData(session_.reviewLimit())));
    session_.setDesiredRetention(stats::retentionOf(store_.setting(stats::kRetentionKey)));
    newWordsBox_->setCurrentIndex(std::max(0, newWordsBox_->findData(session_.dailyNewWords())));
    applySettings();
    openingCard_ = true;
    restart();
    openingCard_ = false;
    // The day's backup, once the window is up; it takes a moment on a long history.
    QTimer::singleShot(200, this, [this] { store_.backUp(session_.day()); });
}

void ReviewWindow::applySettings()
{
    const QSignalBlocker a(modeBox_), b(autoSound_);
    bool ok = false;
    const int mode = store_.setting(QString::fromLatin1(settingMode)).toInt(&ok);
    if (ok && mode >= 0 && mode < modeBox_->count()) {
        modeBox_->setCurrentIndex(mode);
        choice_ = static_cast<ModeChoice>(mode);
    }
    autoSound_->setChecked(store_.setting(QString::fromLatin1(settingAutoSound)) != QLatin1String("0"));
    const int scale = store_.setting(QString::fromLatin1(settingScale)).toInt(&ok);
    scale_ = ok && std::find(std::begin(scaleSteps), std::end(scaleSteps), scale) != std::end(scaleSteps) ? scale : 100;
    applyScale();
    const QStringList size = store_.setting(QString::fromLatin1(settingWindowSize)).split(QLatin1Char('x'));
    if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0)
        resize(QSize(size[0].toInt(), size[1].toInt()).expandedTo(minimumSize()));
}

void ReviewWindow::saveSetting(const char* key, const QString& value)
{
    if (store_.isOpen())
        store_.setSetting(QString::fromLatin1(key), value);
}

void ReviewWindow::setCardScale(int percent)
{
    scale_ = std::clamp(percent, scaleSteps[0], scaleSteps[std::size(scaleSteps) - 1]);
    applyScale();
    saveSetting(settingScale, QString::number(scale_));
}

void ReviewWindow::applyScale()
{
    const auto px = [this](int base) { return std::max(8, base * scale_ / 100); };
    const QFont pane = content::paneFont();
    prompt_->setFont(sized(pane, px(24)));
    unit_->setFont(sized(pane, px(14)));
    answer_->setFont(englishFont(px(20)));
    word_->setFont(englishFont(px(28)));
    code_->setFont(sized(pane, px(14)));
    QFont phonetic = dictionary::phoneticFont();
    phonetic.setPixelSize(px(phonetic.pixelSize() > 0 ? phonetic.pixelSize() : 16));
    phonetic_->setFont(phonetic);
    feedback_->setFont(sized(pane, px(14)));
    notice_->setFont(sized(pane, px(14)));
    finished_->setFont(sized(pane, px(24)));
}

QFont ReviewWindow::englishFont(int pixels)
{
    QFont f = content::paneFont();
    // The pane font stays last, for the Chinese of a mixed text.
    f.setFamilies({englishFamily, QStringLiteral("Hack"), QStringLiteral("JetBrains Mono"), f.family()});
    f.setPixelSize(pixels);
    return f;
}

void ReviewWindow::closeEvent(QCloseEvent* event)
{
    if (!isMaximized() && !isFullScreen())
        saveSetting(settingWindowSize, QStringLiteral("%1x%2").arg(width()).arg(height()));
    QWidget::closeEvent(event);
}

void ReviewWindow::restart()
{
    session_.start();
    showFront();
    armDayTimer();
}

void ReviewWindow::armDayTimer()
{
    const std::int64_t left = dayStartMs(session_.day() + 1) - clock_();
    // Re-armed at least hourly, so that a clock set forward is noticed even without a key.
    dayTimer_->start(int(std::clamp<std::int64_t>(left + 1000, 1000, 3600 * 1000)));
}

void ReviewWindow::checkDay()
{
    armDayTimer();
    // Midway through a card (something typed, or its back showing) the card is finished first:
    // the next one belongs to the new day.
    if (!session_.dayChanged() || (session_.current() && (back_ || !answer_->text().isEmpty())))
        return;
    restart();
    if (stats_ && tabs_->currentIndex() == 1)
        stats_->refresh(session_.today());
    QTimer::singleShot(0, this, [this] { store_.backUp(session_.day()); });
}

bool ReviewWindow::event(QEvent* event)
{
    // A resume or a clock change shows at the next focus or key (one the card does not take).
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::KeyPress)
        checkDay();
    return QWidget::event(event);
}

void ReviewWindow::setDailyNewWords(int count)
{
    session_.setDailyNewWords(count);
    if (store_.isOpen())
        store_.setSetting(QString::fromLatin1(settingNewWords), QString::number(count));
    restart();
}

void ReviewWindow::setDesiredRetention(double retention)
{
    session_.setDesiredRetention(retention);
    if (store_.isOpen())
        store_.setSetting(stats::kRetentionKey, QString::number(session_.desiredRetention(), 'f', 2));
}

void ReviewWindow::showPage(int index)
{
    tabs_->setCurrentIndex(index);
}

void ReviewWindow::setModeChoice(ModeChoice choice)
{
    if (choice_ == choice)
        return;
    choice_ = choice;
    if (!back_)
        showFront();
}

void ReviewWindow::updateCounts()
{
    QString counts = QStringLiteral("待复习 %1　新词 %2　暂放 %3").arg(session_.dueLeft()).arg(session_.newLeft()).arg(session_.setAside());
    if (session_.overLimit())
        counts += QStringLiteral("　（今天到期 %1 个，超过上限 %2：先复习 %2 个，今天不学新词）")
                      .arg(session_.dueToday())
                      .arg(session_.reviewLimit());
    counts_->setContent(counts);
}

void ReviewWindow::showFront()
{
    // The card after the day's end belongs to the new day.
    if (session_.dayChanged()) {
        session_.start();
        armDayTimer();
    }
    back_ = false;
    preselected_ = 0;
    notice_->hide();
    updateCounts();
    const Card* card = session_.current();
    for (QPushButton* b : grades_)
        b->setEnabled(false);
    // The front's Enter and digits belong to the answer field.
    for (QShortcut* k : backKeys_)
        k->setEnabled(false);
    backPanel_->hide();
    if (!card) {
        if (store_.isOpen())
            store_.setSetting(stats::kStreakKey, stats::markFinished(store_.setting(stats::kStreakKey), session_.today()));
        prompt_->hide();
        unit_->hide();
        answer_->hide();
        // The whole learning day from the log, whatever restarts came between.
        const std::int64_t day = session_.day();
        ProgressStore::DayTotals totals = store_.dayTotals(dayStartMs(day), dayStartMs(day + 1), day);
        if (!store_.isOpen())  // this run's answers are in memory only
            totals = {session_.answered(), -1, session_.newIntroducedToday(), 0};
        QString sums = QStringLiteral("今天答了 %1 次").arg(totals.answers);
        if (totals.answers > 0 && totals.right >= 0)
            sums += QStringLiteral("，用时 %1 分钟，答对 %2%")
                        .arg(std::max<std::int64_t>(1, (totals.answerMs + 30000) / 60000))
                        .arg(100 * totals.right / totals.answers);
        sums += QStringLiteral("，新学 %1 个词。\n明天有 %2 个复习。").arg(totals.newWords).arg(session_.dueOn(day + 1));
        finished_->setContent(QStringLiteral("今天的复习完成了！\n\n") + sums);
        finished_->show();
        moreNew_->show();
        hint_->setText(QStringLiteral("明天再来。"));
        return;
    }
    finished_->hide();
    moreNew_->hide();
    if (session_.currentIsShowing())
        return showStudy(*card);
    studying_ = false;
    goOn_->hide();
    known_->hide();
    for (QPushButton* b : grades_)
        b->show();
    const bool hasSound = QFileInfo::exists(soundFile(card->recording));
    cardMode_ = choice_ == ModeChoice::Dictation ? Mode::Dictation
              : choice_ == ModeChoice::Mixed && hasSound && session_.answered() % 2 == 1 ? Mode::Dictation
                                                                                          : Mode::Recall;
    unit_->setContent(QStringLiteral("第 %1 单元").arg(card->unit, 3, 10, QLatin1Char('0')));
    if (cardMode_ == Mode::Recall) {
        prompt_->setContent(fromView(card->meaning));
    } else {
        prompt_->setContent(hasSound ? QStringLiteral("听写：听发音，写出单词")
                                     : QStringLiteral("听写：这个词没有录音，请看答案后评分"));
    }
    prompt_->show();
    unit_->show();
    answer_->setText(QString());  // and its undo history: Ctrl+Z then takes back a grade
    answer_->setReadOnly(false);
    // A leech says so, gives its code large as the way back to the word, and offers to put it away.
    if (const CardProgress& p = session_.currentProgress(); p.flags & CardFlag::Leech) {
        notice_->setContent(QStringLiteral("难词：已经答错 %1 次。记住它的汉字码：<br><big><big>%2</big></big><br>"
                                           "不想再练，按 Ctrl+S 暂停这个词。")
                                .arg(p.fails)
                                .arg(fromView(card->code)),
                            QStringLiteral("难词：已经答错 %1 次。汉字码 %2。按 Ctrl+S 暂停这个词。").arg(p.fails).arg(fromView(card->code)));
        notice_->show();
    }
    answer_->show();
    answer_->setFocus();
    hint_->setText(cardMode_ == Mode::Recall ? QStringLiteral("回车：检查答案（不会就空着回车，直接翻面）")
                                            : QStringLiteral("回车：检查答案（不会就空着回车）　Ctrl+R：再听一遍"));
    session_.cardShown();
    if (cardMode_ == Mode::Dictation)
        play();
}

void ReviewWindow::showBack(bool typed)
{
    const Card* card = session_.current();
    if (!card)
        return;
    back_ = true;
    notice_->hide();
    word_->setContent(fromView(card->word));
    // The line is ASCII drawn in the phonetic font; a screen reader gets the symbols themselves.
    phonetic_->setContent(fromView(card->phonetic), card->phonetic.empty() ? QString() : fromView(card->word) + QStringLiteral(" /") + exporting::ipaOf(card->phonetic) + QStringLiteral("/"));
    phonetic_->setVisible(!card->phonetic.empty());
    AnswerCheck check;
    if (typed) {
        check = checkAnswer(*card, answer_->text());
        preselected_ = static_cast<int>(check.right ? Grade::Good : Grade::Again);
        feedback_->setContent(check.right ? QStringLiteral("<span style=\"color:#007000\">✔ 对了</span>")
                                          : markedWord(check, answer_->text()));
    } else {
        preselected_ = 0;
        feedback_->setContent(QString());
    }
    code_->setContent(codeTable(*card, typed && !check.right ? &check : nullptr), spokenCode(*card));
    if (cardMode_ == Mode::Dictation)
        prompt_->setContent(fromView(card->meaning));
    answer_->setReadOnly(true);
    backPanel_->show();
    for (int i = 0; i < 4; ++i) {
        grades_[i]->setEnabled(true);
        grades_[i]->setText(QStringLiteral("%1 %2%3").arg(i + 1).arg(QString::fromUtf8(gradeNames[i]),
                                                              preselected_ == i + 1 ? QStringLiteral(" ⏎") : QString()));
    }
    for (QShortcut* k : backKeys_)
        k->setEnabled(true);
    if (preselected_)
        grades_[preselected_ - 1]->setFocus();
    else
        backPanel_->setFocus();
    hint_->setText(preselected_ ? QStringLiteral("1 重来　2 困难　3 良好　4 容易　回车：%1").arg(QString::fromUtf8(gradeNames[preselected_ - 1]))
                                : QStringLiteral("1 重来　2 困难　3 良好　4 容易"));
    if (autoSound_->isChecked() && cardMode_ == Mode::Recall)
        play();
}

void ReviewWindow::showStudy(const Card& card)
{
    studying_ = true;
    cardMode_ = Mode::Recall;
    prompt_->setContent(QStringLiteral("新词：") + fromView(card.meaning));
    unit_->setContent(QStringLiteral("第 %1 单元").arg(card.unit, 3, 10, QLatin1Char('0')));
    prompt_->show();
    unit_->show();
    answer_->setText(QString());
    answer_->hide();
    word_->setContent(fromView(card.word));
    phonetic_->setContent(fromView(card.phonetic), card.phonetic.empty() ? QString() : fromView(card.word) + QStringLiteral(" /") + exporting::ipaOf(card.phonetic) + QStringLiteral("/"));
    phonetic_->setVisible(!card.phonetic.empty());
    code_->setContent(codeTable(card, nullptr), spokenCode(card));
    // Every sense and the derived words where the dictionary has the word; its headword line is
    // what the card already shows.
    QString senses;
    for (const auto& row : content::WordListTable.rows)
        if (row.key == card.word && row.payloads.size() == 3) {
            const QString entry = fromView(row.payloads[2]).trimmed();  // key, phonetic line, entry
            senses = entry.section(QLatin1Char('\r'), 1).replace(QLatin1Char('\r'), QLatin1Char('\n')).trimmed();
        }
    feedback_->setContent(senses.isEmpty() ? QString() : english(senses.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))), senses);
    backPanel_->show();
    for (QPushButton* b : grades_)
        b->hide();
    goOn_->show();
    known_->show();
    for (QShortcut* k : backKeys_)
        k->setEnabled(true);
    backPanel_->setFocus();
    // The card the program opens on stays quiet (Ctrl+R plays it): the sound module then loads
    // with the learner's first key, not as part of the start-up.
    hint_->setText(QStringLiteral("先认识这个词：回车继续，几张卡片后再考它　Ctrl+R：听发音　Ctrl+K：斩（已经会了，不再出现）"));
    if (autoSound_->isChecked() && !openingCard_)
        play();
}

void ReviewWindow::studyDone()
{
    leaveStudy(false);
}

void ReviewWindow::markKnown()
{
    leaveStudy(true);
}

void ReviewWindow::leaveStudy(bool known)
{
    if (!studying_ || tabs_->currentIndex() != 0)
        return;
    const bool wasOpen = store_.isOpen();
    if (!(known ? session_.markKnown() : session_.shown()) && wasOpen)
        showBanner(store_.message() + QStringLiteral("　——　进度暂时只记在内存里。"));
    studying_ = false;
    showFront();
}

void ReviewWindow::commitPreselected()
{
    if (studying_ && tabs_->currentIndex() == 0)
        return studyDone();
    if (back_ && preselected_)
        commitGrade(static_cast<Grade>(preselected_));
}

void ReviewWindow::commitGrade(Grade grade)
{
    if (!back_ || !session_.current() || tabs_->currentIndex() != 0)
        return;
    for (int i = 0; i < 4; ++i)
        grades_[i]->setText(QStringLiteral("%1 %2").arg(i + 1).arg(QString::fromUtf8(gradeNames[i])));
    const bool wasOpen = store_.isOpen();
    if (!session_.grade(grade, cardMode_) && wasOpen)
        showBanner(store_.message() + QStringLiteral("　——　进度暂时只记在内存里。"));
    showFront();
}

void ReviewWindow::play()
{
    const Card* card = session_.current();
    if (!card || card->recording.empty())
        return;
    lastSound_ = soundFile(card->recording);
    if (!QFileInfo::exists(lastSound_))
        return;
    // The dictionary's output: Qt 6.4's GStreamer media player can crash where GStreamer lacks an
    // element; this one decodes the WAV itself, and without a device plays nothing.
    if (!sound_)
        sound_ = dictionary::makeDesktopSoundOutput();
    sound_->play(lastSound_);
}

bool ReviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl+Z in a field with nothing of its own to undo takes back the last grade.
    if (watched == answer_ && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo) && !answer_->isUndoAvailable())
        return true;
    if (watched == answer_ && event->type() == QEvent::KeyPress && !back_) {
        // The first key of a card after the day ended: the new day's card takes it.
        if (answer_->text().isEmpty() && session_.dayChanged())
            checkDay();
        // A stray Space before the word means nothing; it must not turn the card and lose
        // the letters that follow.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && answer_->text().isEmpty())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace review
