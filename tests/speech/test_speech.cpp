// The read-aloud window driven through its buttons against a voice that records every call, the
// error box that failures end in, and the desktop's flite voice speaking for real.
#include <functional>
#include <stdexcept>
#include <vector>

#include <QAbstractButton>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

#include "app/app_error.h"
#include "media/parts.h"
#include "media/flite_voice.h"
#include "tests/support/desktop.h"
#include "speech/tform2.h"
#include "speech/voice_text.h"

using speech::TForm2;
using speech::VoiceCreation;

namespace {

// A voice-text component that records the calls it gets; one kind of call can be set to fail.
class FakeVoice : public speech::VoiceText {
public:
    struct Call {
        QString op;
        QString text;  // Speak's text as handed over, sharing the caller's string
        std::int32_t flags = 0;
    };

    std::vector<Call> calls;
    std::int16_t speaking = 0;
    std::function<void()> duringSpeak;

    // The nth call of op (counted from 1) fails with status, leaving description.
    void failOn(const QString& op, int nth, std::int32_t status, const QString& description)
    {
        failOp_ = op;
        failNth_ = nth;
        failStatus_ = status;
        failDescription_ = description;
    }

    QStringList ops() const
    {
        QStringList names;
        for (const Call& c : calls)
            names << c.op;
        return names;
    }
    std::vector<Call> speaks() const
    {
        std::vector<Call> s;
        for (const Call& c : calls)
            if (c.op == QLatin1String("Speak"))
                s.push_back(c);
        return s;
    }

    std::int32_t Register(const QString& site, const QString& app) override
    {
        return record({QStringLiteral("Register"), site + u'|' + app});
    }
    std::int32_t Speak(const QString& text, std::int32_t flags) override
    {
        if (duringSpeak)
            duringSpeak();
        return record({QStringLiteral("Speak"), text, flags});
    }
    std::int32_t StopSpeaking() override { return record({QStringLiteral("StopSpeaking")}); }
    std::int32_t AudioPause() override { return record({QStringLiteral("AudioPause")}); }
    std::int32_t AudioResume() override { return record({QStringLiteral("AudioResume")}); }
    std::int32_t IsSpeaking(std::int16_t& s) override
    {
        s = speaking;
        return record({QStringLiteral("IsSpeaking")});
    }
    QString errorDescription() const override { return description_; }

private:
    std::int32_t record(Call call)
    {
        const QString op = call.op;
        calls.push_back(std::move(call));
        description_.clear();
        if (op == failOp_ && --failNth_ == 0) {
            description_ = failDescription_;
            return failStatus_;
        }
        return speech::S_OK;
    }

    QString failOp_;
    int failNth_ = 0;
    std::int32_t failStatus_ = speech::S_OK;
    QString failDescription_;
    QString description_;
};

// Answers every error box that comes up while it lives, noting what the box showed.
class BoxWatcher {
public:
    struct Box {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    QList<Box> seen;

    BoxWatcher()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            seen.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->close();
        });
        timer_.start();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const Box& b : seen)
            t << b.text;
        return t;
    }

private:
    QTimer timer_;
};

const QString kAppName = QStringLiteral("晨星学堂");

// The pane's text at start, as the voice gets it.
const QString kInitialText = QStringList{
    QString(),
    QString(),
    QStringLiteral("     朗读      复读     暂停     停止     清除     退出"),
    QString(),
    QStringLiteral("     "),
    QString(),
    QStringLiteral("     本TTS-语音引擎只能对英文的单词，句子，文章进行朗读"),
}.join(QStringLiteral("\r\n"));

void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

#define REQUIRE_REAL_VOICE()                                                                            \
    do {                                                                                               \
        if (!speech::loadFlite())                                                                      \
            QSKIP("flite is not installed (Debian: libflite1)");                                       \
        if (QMediaDevices::defaultAudioOutput().isNull())                                              \
            QSKIP("no sound output: start a sound server (tools/setup.sh test runs a PulseAudio null sink)"); \
    } while (false)

bool speaking(speech::VoiceText& voice)
{
    std::int16_t s = 0;
    return voice.IsSpeaking(s) == speech::S_OK && s != 0;
}

constexpr int kSpeechTimeout = 30000;

} // namespace

class TestSpeech : public QObject {
    Q_OBJECT

    std::unique_ptr<BoxWatcher> boxes;
    std::unique_ptr<TForm2> form;
    FakeVoice* voice = nullptr;

    std::unique_ptr<TForm2> makeForm(FakeVoice*& fake)
    {
        return std::make_unique<TForm2>([&fake] {
            auto v = std::make_unique<FakeVoice>();
            fake = v.get();
            return VoiceCreation{std::move(v), speech::S_OK, {}};
        });
    }

private slots:
    void init()
    {
        boxes = std::make_unique<BoxWatcher>();
        form = makeForm(voice);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup()
    {
        form.reset();
        boxes.reset();
    }

    void windowAtStart()
    {
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("Register")});
        QCOMPARE(voice->calls[0].text, QStringLiteral("Demo Site|Demo App"));

        QCOMPARE(form->windowTitle(), QStringLiteral("语音引擎"));
        QCOMPARE(form->size(), QSize(433, 297));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(flags & Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));

        const QList<QToolButton*> buttons{form->SpeedButton1, form->SpeedButton2, form->SpeedButton3,
                                          form->SpeedButton4, form->SpeedButton5, form->SpeedButton6};
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i]->objectName(), QStringLiteral("SpeedButton%1").arg(i + 1));
            QCOMPARE(buttons[i]->geometry(), QRect(24 + 64 * i, 8, 64, 22));
            QVERIFY(buttons[i]->text().isEmpty());
            QVERIFY(!buttons[i]->icon().isNull());
            QCOMPARE(buttons[i]->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(form->Memo1->objectName(), QStringLiteral("Memo1"));
        QCOMPARE(form->Memo1->geometry(), QRect(0, 40, 433, 257));
        QVERIFY(!form->Memo1->isReadOnly());
        QVERIFY(form->Memo1->focusPolicy() & Qt::TabFocus);
        QCOMPARE(form->Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        // The pane is the one control that takes the focus: Tab leaves its text alone.
        support::walkTabOrder(form.get(), {form->Memo1});
        QVERIFY(boxes->seen.isEmpty());
    }

    // Read sends the pane's whole text once: the start text with its Chinese legend before any edit,
    // typed lines joined by CR LF without a break after the last, an empty text after clear.
    void readButton()
    {
        voice->calls.clear();
        click(form->SpeedButton1);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("Speak")});
        QCOMPARE(voice->calls[0].text, kInitialText);
        QCOMPARE(voice->calls[0].flags, 16);

        voice->calls.clear();
        click(form->SpeedButton5);
        QVERIFY(voice->calls.empty());
        QVERIFY(form->Memo1->toPlainText().isEmpty());
        QTest::keyClicks(form->Memo1, QStringLiteral("Good morning."));
        QTest::keyClick(form->Memo1, Qt::Key_Return);
        QTest::keyClicks(form->Memo1, QStringLiteral("How are you?"));
        click(form->SpeedButton1);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("Speak")});
        QCOMPARE(voice->calls[0].text, QStringLiteral("Good morning.\r\nHow are you?"));

        voice->calls.clear();
        click(form->SpeedButton5);
        click(form->SpeedButton1);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("Speak")});
        QCOMPARE(voice->calls[0].text, QString());
        QCOMPARE(voice->calls[0].flags, 16);
        QVERIFY(boxes->seen.isEmpty());
    }

    // Repeat hands over 54 texts back to back, every one the pane's full text with flags 16, all
    // sharing one string while the pane reads the same; the pane is read again before each call.
    void repeatButton()
    {
        form->Memo1->setPlainText(QStringLiteral("Line one\nLine two\n"));
        voice->calls.clear();
        click(form->SpeedButton2);
        QCOMPARE(voice->calls.size(), std::size_t(54));
        for (const FakeVoice::Call& c : voice->calls) {
            QCOMPARE(c.op, QStringLiteral("Speak"));
            QCOMPARE(c.text, QStringLiteral("Line one\r\nLine two\r\n"));
            QCOMPARE(c.flags, 16);
            QCOMPARE(c.text.constData(), voice->calls[0].text.constData());
        }

        // The pane changes while the voice takes the tenth text: the texts after it are the new one.
        voice->calls.clear();
        voice->duringSpeak = [this] {
            if (voice->calls.size() == 9)
                form->Memo1->setPlainText(QStringLiteral("Changed\nagain"));
        };
        click(form->SpeedButton2);
        voice->duringSpeak = nullptr;
        QCOMPARE(voice->calls.size(), std::size_t(54));
        for (std::size_t i = 0; i < 54; ++i)
            QCOMPARE(voice->calls[i].text, i < 10 ? QStringLiteral("Line one\r\nLine two\r\n") : QStringLiteral("Changed\r\nagain"));
        for (std::size_t i = 11; i < 54; ++i)
            QCOMPARE(voice->calls[i].text.constData(), voice->calls[10].text.constData());

        voice->calls.clear();
        click(form->SpeedButton5);
        click(form->SpeedButton2);
        QCOMPARE(voice->calls.size(), std::size_t(54));
        for (const FakeVoice::Call& c : voice->calls)
            QVERIFY(c.op == QLatin1String("Speak") && c.text.isEmpty() && c.flags == 16);
        QVERIFY(boxes->seen.isEmpty());
    }

    // One failing call of the 54 ends the run there, shows the error box, and the window goes on.
    void failureInRepeat()
    {
        voice->calls.clear();
        voice->failOn(QStringLiteral("Speak"), 5, speech::E_FAIL, QStringLiteral("The audio device is busy.\r\n"));
        click(form->SpeedButton2);
        QCOMPARE(voice->ops(), QStringList(5, QStringLiteral("Speak")));
        QCOMPARE(boxes->texts(), QStringList{QStringLiteral("The audio device is busy.")});
        QCOMPARE(boxes->seen[0].title, kAppName);
        QCOMPARE(boxes->seen[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes->seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        voice->calls.clear();
        click(form->SpeedButton1);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("Speak")});
        QVERIFY(form->isVisible());
        QCOMPARE(boxes->seen.size(), 1);
    }

    // Pause asks whether speech is audible: yes pauses, no resumes; a failed question does neither.
    void pauseButton()
    {
        voice->calls.clear();
        voice->speaking = 0;
        click(form->SpeedButton3);
        QCOMPARE(voice->ops(), (QStringList{QStringLiteral("IsSpeaking"), QStringLiteral("AudioResume")}));

        for (std::int16_t yes : {std::int16_t(-1), std::int16_t(1)}) {
            voice->calls.clear();
            voice->speaking = yes;
            click(form->SpeedButton3);
            QCOMPARE(voice->ops(), (QStringList{QStringLiteral("IsSpeaking"), QStringLiteral("AudioPause")}));
        }
        QVERIFY(boxes->seen.isEmpty());

        voice->calls.clear();
        voice->failOn(QStringLiteral("IsSpeaking"), 1, static_cast<std::int32_t>(0x80041234u), QString());
        click(form->SpeedButton3);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("IsSpeaking")});
        QCOMPARE(boxes->texts(), QStringList{QStringLiteral("OLE error 80041234.")});

        voice->calls.clear();
        voice->failOn(QStringLiteral("AudioPause"), 1, speech::E_FAIL, QString());
        click(form->SpeedButton3);
        QCOMPARE(voice->ops(), (QStringList{QStringLiteral("IsSpeaking"), QStringLiteral("AudioPause")}));
        QCOMPARE(boxes->texts().last(), QStringLiteral("Unspecified error."));
    }

    // Stop silences; clear only empties the pane, speech under way goes on.
    // The buttons take no focus: keys press them, with the same calls as a click.
    void keysPressTheButtons()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QTRY_VERIFY(form->isActiveWindow());
        const QString text = form->Memo1->toPlainText();
        voice->calls.clear();
        QTest::keyClick(form->Memo1, Qt::Key_F5);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("Speak")});
        voice->calls.clear();
        QTest::keyClick(form->Memo1, Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(voice->calls.size(), std::size_t(54));
        voice->calls.clear();
        QTest::keyClick(form->Memo1, Qt::Key_F6);
        QCOMPARE(voice->ops(), QStringList({QStringLiteral("IsSpeaking"), QStringLiteral("AudioResume")}));
        voice->calls.clear();
        QTest::keyClick(form->Memo1, Qt::Key_F7);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("StopSpeaking")});
        QCOMPARE(form->Memo1->toPlainText(), text);
        QTest::keyClick(form->Memo1, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(form->Memo1->toPlainText().isEmpty());
        voice->calls.clear();
        QTest::keyClick(form->Memo1, Qt::Key_Escape);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("StopSpeaking")});
        QVERIFY(!form->isVisible());
    }

    void stopAndClearButtons()
    {
        voice->calls.clear();
        click(form->SpeedButton4);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("StopSpeaking")});

        voice->calls.clear();
        voice->speaking = -1;
        click(form->SpeedButton5);
        QVERIFY(voice->calls.empty());
        QVERIFY(form->Memo1->toPlainText().isEmpty());
        QVERIFY(boxes->seen.isEmpty());
    }

    // Exit stops the speech and hides the window, which keeps its text for the next showing; a
    // failed stop leaves it open. Closing from the window manager does the same.
    void exitAndClose()
    {
        const QPointer<TForm2> alive(form.get());
        form->Memo1->setPlainText(QStringLiteral("Keep me."));

        voice->calls.clear();
        voice->failOn(QStringLiteral("StopSpeaking"), 1, speech::E_FAIL, QStringLiteral("Device lost"));
        click(form->SpeedButton6);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("StopSpeaking")});
        QCOMPARE(boxes->texts(), QStringList{QStringLiteral("Device lost.")});
        QVERIFY(form->isVisible());

        voice->calls.clear();
        click(form->SpeedButton6);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("StopSpeaking")});
        QVERIFY(!form->isVisible());
        QVERIFY(alive);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->Memo1->toPlainText(), QStringLiteral("Keep me."));

        voice->calls.clear();
        form->windowHandle()->close();  // what the window manager's close (Alt+F4) delivers
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(alive);
        QCOMPARE(voice->ops(), QStringList{QStringLiteral("StopSpeaking")});
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->Memo1->toPlainText(), QStringLiteral("Keep me."));
        click(form->SpeedButton1);
        QCOMPARE(voice->speaks().size(), std::size_t(1));
        QCOMPARE(boxes->seen.size(), 1);
    }

    // Errors other than the voice's reach the same box.
    void otherErrorsReachTheBox()
    {
        voice->duringSpeak = [] { throw std::runtime_error("Out of voices"); };
        click(form->SpeedButton1);
        voice->duringSpeak = nullptr;
        QCOMPARE(boxes->texts(), QStringList{QStringLiteral("Out of voices.")});
        click(form->SpeedButton1);
        QCOMPARE(voice->speaks().size(), std::size_t(1));
    }

    void messageWording_data()
    {
        QTest::addColumn<std::int32_t>("status");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("message");
        QTest::newRow("description trimmed") << speech::E_FAIL << QStringLiteral("Engine not ready. .\t\r\n")
                                             << QStringLiteral("Engine not ready");
        QTest::newRow("inner stops kept") << speech::E_FAIL << QStringLiteral("Version 1.2 needed...")
                                          << QStringLiteral("Version 1.2 needed");
        QTest::newRow("nothing left: system text") << speech::E_FAIL << QStringLiteral(" . \r\n")
                                                   << QStringLiteral("Unspecified error");
        QTest::newRow("class not registered") << speech::REGDB_E_CLASSNOTREG << QString()
                                              << QStringLiteral("Class not registered");
        QTest::newRow("no system text") << static_cast<std::int32_t>(0x8004abcdu) << QString()
                                        << QStringLiteral("OLE error 8004ABCD");
        QTest::newRow("eight digits") << static_cast<std::int32_t>(0x8000000au) << QStringLiteral("..")
                                      << QStringLiteral("OLE error 8000000A");
    }
    void messageWording()
    {
        QFETCH(std::int32_t, status);
        QFETCH(QString, description);
        QFETCH(QString, message);
        QCOMPARE(speech::errorMessage(status, description), message);
        try {
            FakeVoice failing;
            failing.failOn(QStringLiteral("StopSpeaking"), 1, status, description);
            speech::check(failing.StopSpeaking(), &failing);
            QFAIL("a failed status raises an error");
        } catch (const speech::VoiceError& e) {
            QCOMPARE(e.message(), message);
        }
    }

    void boxText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << QStringLiteral("Class not registered") << QStringLiteral("Class not registered.");
        QTest::newRow("digit") << QStringLiteral("Error 66") << QStringLiteral("Error 66.");
        QTest::newRow("question mark sorts after") << QStringLiteral("Busy?") << QStringLiteral("Busy?.");
        QTest::newRow("slash sorts after") << QStringLiteral("a/") << QStringLiteral("a/.");
        QTest::newRow("Chinese") << QStringLiteral("语音引擎出错") << QStringLiteral("语音引擎出错.");
        QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
        QTest::newRow("exclamation sorts before") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
        QTest::newRow("bracket sorts before") << QStringLiteral("Failed (3)") << QStringLiteral("Failed (3)");
        QTest::newRow("hyphen sorts before") << QStringLiteral("x-") << QStringLiteral("x-");
        QTest::newRow("empty") << QString() << QString();
    }
    void boxText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(speech::errorBoxText(message), shown);
    }

    // Without a voice component the box shows during start-up, the window is made all the same,
    // the speech buttons do nothing, clear clears and exit hides.
    void startWithoutComponent_data()
    {
        QTest::addColumn<std::int32_t>("status");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no engine") << speech::REGDB_E_CLASSNOTREG << QString() << QStringLiteral("Class not registered.");
        QTest::newRow("engine's own words") << speech::E_FAIL << QStringLiteral("No voices installed.\n")
                                            << QStringLiteral("No voices installed.");
        QTest::newRow("no voice-text interface") << speech::S_OK << QString() << QStringLiteral("Interface not supported.");
    }
    void startWithoutComponent()
    {
        QFETCH(std::int32_t, status);
        QFETCH(QString, description);
        QFETCH(QString, shown);
        BoxWatcher& startup = *boxes;
        TForm2 bare([&] { return VoiceCreation{nullptr, status, description}; });
        QCOMPARE(startup.texts(), QStringList{shown});
        QCOMPARE(startup.seen[0].title, kAppName);
        QCOMPARE(startup.seen[0].icon, QMessageBox::Critical);
        QCOMPARE(startup.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!bare.voice());
        QVERIFY(!bare.isVisible());

        bare.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bare));
        const QString text = bare.Memo1->toPlainText();
        for (QAbstractButton* b : {bare.SpeedButton1, bare.SpeedButton2, bare.SpeedButton3, bare.SpeedButton4})
            click(b);
        QCOMPARE(bare.Memo1->toPlainText(), text);
        QVERIFY(bare.isVisible());
        click(bare.SpeedButton5);
        QVERIFY(bare.Memo1->toPlainText().isEmpty());
        click(bare.SpeedButton6);
        QVERIFY(!bare.isVisible());
        QCOMPARE(startup.seen.size(), 1);
    }

    // A failed Register is shown at start-up; the component stays and the window speaks with it.
    void registerFails()
    {
        BoxWatcher& startup = *boxes;
        FakeVoice* fake = nullptr;
        TForm2 other([&fake] {
            auto v = std::make_unique<FakeVoice>();
            v->failOn(QStringLiteral("Register"), 1, speech::E_FAIL, QStringLiteral("Site refused"));
            fake = v.get();
            return VoiceCreation{std::move(v), speech::S_OK, {}};
        });
        QCOMPARE(startup.texts(), QStringList{QStringLiteral("Site refused.")});
        QCOMPARE(other.voice(), fake);
        click(other.SpeedButton1);
        QCOMPARE(fake->ops(), (QStringList{QStringLiteral("Register"), QStringLiteral("Speak")}));
    }

    // The desktop's flite voice: Speak hands the text over and returns while it is still to be
    // spoken; pause holds it (not speaking, not finishing), resume carries it on to its end.
    void fliteSpeaksPausesResumes()
    {
        REQUIRE_REAL_VOICE();
        VoiceCreation made = speech::createFliteVoice();
        QCOMPARE(made.status, speech::S_OK);
        auto& voice = static_cast<speech::FliteVoice&>(*made.voice);
        QSignalSpy spoken(&voice, &speech::FliteVoice::spoken);

        const QString text = QStringLiteral("Good morning, my friends.");
        QCOMPARE(voice.Speak(text, 16), speech::S_OK);
        QVERIFY(speaking(voice));
        QCOMPARE(spoken.count(), 0);

        QTest::qWait(300);
        QCOMPARE(voice.AudioPause(), speech::S_OK);
        QVERIFY(!speaking(voice));
        QTest::qWait(3000);  // longer than the whole text takes to say
        QCOMPARE(spoken.count(), 0);
        QVERIFY(!speaking(voice));

        QCOMPARE(voice.AudioResume(), speech::S_OK);
        QVERIFY(speaking(voice));
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 1, kSpeechTimeout);
        QCOMPARE(spoken[0][0].toString(), text);
        QTRY_VERIFY_WITH_TIMEOUT(!speaking(voice), kSpeechTimeout);
    }

    // Queued texts are spoken one after another, in order; StopSpeaking drops the rest.
    void fliteQueueAndStop()
    {
        REQUIRE_REAL_VOICE();
        VoiceCreation made = speech::createFliteVoice();
        auto& voice = static_cast<speech::FliteVoice&>(*made.voice);
        QSignalSpy spoken(&voice, &speech::FliteVoice::spoken);

        const QStringList texts{QStringLiteral("The first sentence is read aloud now."),
                                QStringLiteral("Then comes the second one, a little later."),
                                QStringLiteral("The third sentence ends the queue.")};
        for (const QString& t : texts)
            QCOMPARE(voice.Speak(t, 16), speech::S_OK);
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 1, kSpeechTimeout);
        QVERIFY(speaking(voice));
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 3, kSpeechTimeout);
        QCOMPARE((QStringList{spoken[0][0].toString(), spoken[1][0].toString(), spoken[2][0].toString()}), texts);
        QTRY_VERIFY_WITH_TIMEOUT(!speaking(voice), kSpeechTimeout);

        // More than the voice synthesises ahead, so that both sounding audio and waiting texts go.
        spoken.clear();
        for (int i = 0; i < 4; ++i)
            voice.Speak(texts.join(u' '), 16);
        QTest::qWait(500);
        QCOMPARE(voice.StopSpeaking(), speech::S_OK);
        QVERIFY(!speaking(voice));
        QCOMPARE(voice.Speak(QStringLiteral("Four."), 16), speech::S_OK);
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 1, kSpeechTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!speaking(voice), kSpeechTimeout);
        QCOMPARE(spoken.count(), 1);
        QCOMPARE(spoken[0][0].toString(), QStringLiteral("Four."));
    }

    // The window's buttons on the desktop's voice as the program makes it (flite here, loaded on
    // the first text): pause and stop before anything was said, 54 texts handed over at once,
    // pause and resume from the one button, stop, exit.
    void windowOnFlite()
    {
        REQUIRE_REAL_VOICE();
        TForm2 real;
        QVERIFY(real.voice());
        real.show();
        QVERIFY(QTest::qWaitForWindowExposed(&real));
        click(real.SpeedButton3);
        click(real.SpeedButton4);
        QVERIFY(!speaking(*real.voice()));
        real.Memo1->setPlainText(QStringLiteral("Again and again,\nthe same words."));
        click(real.SpeedButton2);
        QVERIFY(speaking(*real.voice()));
        click(real.SpeedButton3);
        QVERIFY(!speaking(*real.voice()));
        click(real.SpeedButton3);
        QVERIFY(speaking(*real.voice()));
        click(real.SpeedButton4);
        QVERIFY(!speaking(*real.voice()));
        click(real.SpeedButton1);
        QVERIFY(speaking(*real.voice()));
        click(real.SpeedButton6);
        QVERIFY(!speaking(*real.voice()));
        QVERIFY(!real.isVisible());
        QVERIFY(boxes->seen.isEmpty());
    }

    // With no sound output the flite voice takes the texts and stays silent: nothing fails, nothing
    // hangs, no error box (test_speech_without_device runs this without a sound server).
    void fliteWithoutSoundDevice()
    {
        if (!speech::loadFlite())
            QSKIP("flite is not installed (Debian: libflite1)");
        if (!QMediaDevices::defaultAudioOutput().isNull())
            QSKIP("a sound output is present; test_speech_without_device runs this without one");
        TForm2 real(&speech::createFliteVoice);
        QVERIFY(real.voice());
        real.show();
        QVERIFY(QTest::qWaitForWindowExposed(&real));
        click(real.SpeedButton2);
        QTRY_VERIFY_WITH_TIMEOUT(!speaking(*real.voice()), kSpeechTimeout);
        click(real.SpeedButton1);
        click(real.SpeedButton3);
        click(real.SpeedButton3);
        QTRY_VERIFY_WITH_TIMEOUT(!speaking(*real.voice()), kSpeechTimeout);
        click(real.SpeedButton4);
        click(real.SpeedButton6);
        QVERIFY(!real.isVisible());
        QVERIFY(boxes->seen.isEmpty());
    }
};

// The program's own application object, so that errors escaping a click reach its handler.
int main(int argc, char** argv)
{
    ChenxingApplication app(argc, argv);
    QApplication::setApplicationName(kAppName);
    media::handOver(&media::linkedModule());
    TestSpeech test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_speech.moc"
