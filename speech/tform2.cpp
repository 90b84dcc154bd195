#include "speech/tform2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QShortcut>
#include <QTextDocument>
#include <QToolButton>

#include "content/tables.h"
#include "content/ui.h"

namespace speech {

namespace {
constexpr std::int32_t kReadingSpeech = 0x10;  // the interface's reading speech type
constexpr int kRepeatCount = 54;

// The pane's whole text as the voice takes it: lines joined by CR LF, no break after the last.
QString paneText(QString text)
{
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

QToolButton* makeSpeedButton(QWidget* parent, const char* name, int left, const char* icon, const QString& role,
                             int iconSize = 18)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 8, 64, 22);
    b->setIcon(content::buttonIcon(QString::fromLatin1(icon), iconSize, QStringLiteral(":/pictures/speech")));
    b->setIconSize(QSize(iconSize, iconSize));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAccessibleName(role);
    return b;
}
} // namespace

void showErrorBox(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), errorBoxText(message), QMessageBox::Ok);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

TForm2::TForm2(const VoiceFactory& factory)
{
    setObjectName(QStringLiteral("Form2"));
    content::setupFixedWindow(this, QSize(433, 297), QStringLiteral("语音引擎"), true);
    SpeedButton1 = makeSpeedButton(this, "SpeedButton1", 24, ":/speech/read.svg", QStringLiteral("朗读"));
    SpeedButton2 = makeSpeedButton(this, "SpeedButton2", 88, ":/speech/repeat.svg", QStringLiteral("复读"));
    SpeedButton3 = makeSpeedButton(this, "SpeedButton3", 152, ":/speech/pause.svg", QStringLiteral("暂停"));
    SpeedButton4 = makeSpeedButton(this, "SpeedButton4", 216, ":/speech/stop.svg", QStringLiteral("停止"));
    SpeedButton5 = makeSpeedButton(this, "SpeedButton5", 280, ":/speech/clear.svg", QStringLiteral("清除"), 17);
    SpeedButton6 = makeSpeedButton(this, "SpeedButton6", 344, ":/speech/exit.svg", QStringLiteral("退出"));

    Memo1 = content::makePane(this, "Memo1");
    Memo1->setGeometry(0, 40, 433, 257);
    Memo1->setPlainText(content::qtext("TForm2.Memo1"));
    content::applyWindowFont(this);

    connect(SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm2::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm2::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm2::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm2::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm2::SpeedButton6Click);

    // The buttons take no focus; these keys press them from the keyboard.
    setAccessibleName(QStringLiteral("语音引擎"));
    Memo1->setAccessibleName(QStringLiteral("朗读文本"));
    const std::pair<QToolButton*, QKeySequence> keys[] = {
        {SpeedButton1, QKeySequence(Qt::Key_F5)}, {SpeedButton2, QKeySequence(Qt::SHIFT | Qt::Key_F5)},
        {SpeedButton3, QKeySequence(Qt::Key_F6)}, {SpeedButton4, QKeySequence(Qt::Key_F7)},
        {SpeedButton5, QKeySequence(Qt::CTRL | Qt::Key_L)}, {SpeedButton6, QKeySequence(Qt::Key_Escape)}};
    for (const auto& [button, key] : keys) {
        connect(new QShortcut(key, this), &QShortcut::activated, button, &QToolButton::click);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->accessibleName(), key.toString(QKeySequence::NativeText)));
    }

    // Creation failures are shown here and start-up goes on without a voice.
    try {
        FormCreate(factory);
    } catch (const VoiceError& e) {
        showErrorBox(e.message());
    }
}

TForm2::~TForm2() = default;

void TForm2::FormCreate(const VoiceFactory& factory)
{
    VoiceCreation made = factory();
    if (made.status < 0)
        throw VoiceError(errorMessage(made.status, made.description));
    if (!made.voice)
        throw VoiceError(QStringLiteral("Interface not supported"));
    VoiceText_ = std::move(made.voice);
    check(VoiceText_->Register(QStringLiteral("Demo Site"), QStringLiteral("Demo App")), VoiceText_.get());
}

void TForm2::SpeedButton1Click()
{
    if (!VoiceText_)
        return;
    check(VoiceText_->Speak(paneText(Memo1->toPlainText()), kReadingSpeech), VoiceText_.get());
}

void TForm2::SpeedButton2Click()
{
    if (!VoiceText_)
        return;
    // Every call takes the pane's text as it is at that moment. It is read again only after the
    // pane has changed (taking a 1 MB text out of the document 54 times cost a tenth of a
    // second), and the 54 queued texts share one string.
    bool changed = true;
    const QMetaObject::Connection watch =
        connect(Memo1->document(), &QTextDocument::contentsChanged, this, [&changed] { changed = true; });
    const auto unwatch = qScopeGuard([&watch] { disconnect(watch); });
    QString text;
    for (int i = 0; i < kRepeatCount; ++i) {
        if (changed) {
            changed = false;
            text = paneText(Memo1->toPlainText());
        }
        check(VoiceText_->Speak(text, kReadingSpeech), VoiceText_.get());
    }
}

void TForm2::SpeedButton3Click()
{
    if (!VoiceText_)
        return;
    const std::shared_ptr<VoiceText> voice = VoiceText_;  // held for the whole call, released on error too
    std::int16_t speaking = 0;
    check(voice->IsSpeaking(speaking), voice.get());
    check(speaking != 0 ? voice->AudioPause() : voice->AudioResume(), voice.get());
}

void TForm2::SpeedButton4Click()
{
    if (!VoiceText_)
        return;
    check(VoiceText_->StopSpeaking(), VoiceText_.get());
}

void TForm2::SpeedButton5Click()
{
    Memo1->setPlainText(QString());
}

void TForm2::SpeedButton6Click()
{
    close();
}

void TForm2::closeEvent(QCloseEvent* event)
{
    // However the window is closed (its exit button, or a close button, Alt+F4 or a window menu
    // that the window manager offers after all), the speech stops first: hidden, it could not be
    // stopped. A failed stop keeps the window open.
    event->ignore();
    if (VoiceText_)
        check(VoiceText_->StopSpeaking(), VoiceText_.get());
    event->accept();
}

} // namespace speech
