#include <deque>

#include <QTextToSpeech>

#include "speech/voice_text.h"

namespace speech {

namespace {

// The desktop speech engine behind the voice-text operations. The engine speaks one text at a
// time, so the queue lives here; texts are held as implicitly shared strings, not copies.
class DesktopVoice final : public VoiceText {
public:
    explicit DesktopVoice(QTextToSpeech* engine)
        : engine_(engine)
    {
        QObject::connect(engine_, &QTextToSpeech::stateChanged, engine_, [this](QTextToSpeech::State s) {
            if (s == QTextToSpeech::Ready)
                speakNext();
        });
    }
    ~DesktopVoice() override { delete engine_; }

    std::int32_t Register(const QString&, const QString&) override { return ready(); }

    std::int32_t Speak(const QString& text, std::int32_t) override
    {
        if (const std::int32_t s = ready(); s < 0)
            return s;
        queue_.push_back(text);
        if (engine_->state() == QTextToSpeech::Ready)
            speakNext();
        return S_OK;
    }

    std::int32_t StopSpeaking() override
    {
        queue_.clear();
        engine_->stop();
        return ready();
    }

    std::int32_t AudioPause() override
    {
        engine_->pause();
        return ready();
    }

    std::int32_t AudioResume() override
    {
        engine_->resume();
        return ready();
    }

    std::int32_t IsSpeaking(std::int16_t& speaking) override
    {
        speaking = engine_->state() == QTextToSpeech::Speaking ? -1 : 0;
        return ready();
    }

    QString errorDescription() const override { return error_; }

private:
    std::int32_t ready()
    {
        if (engine_->state() != QTextToSpeech::Error) {
            error_.clear();
            return S_OK;
        }
        error_ = QStringLiteral("The speech engine %1 reported an error").arg(engine_->engine());
        return E_FAIL;
    }

    void speakNext()
    {
        if (queue_.empty())
            return;
        const QString next = queue_.front();
        queue_.pop_front();
        engine_->say(next);
    }

    QTextToSpeech* engine_;
    std::deque<QString> queue_;
    QString error_;
};

} // namespace

VoiceCreation createDesktopVoice()
{
    VoiceCreation made;
    const QStringList engines = QTextToSpeech::availableEngines();
    QString engine;
    for (const QString& wanted : {QStringLiteral("speechd"), QStringLiteral("flite")})
        if (engines.contains(wanted)) {
            engine = wanted;
            break;
        }
    if (engine.isEmpty()) {
        made.status = REGDB_E_CLASSNOTREG;
        return made;
    }
    auto* tts = new QTextToSpeech(engine);
    if (tts->state() == QTextToSpeech::Error) {
        made.status = E_FAIL;
        made.description = QStringLiteral("The speech engine %1 could not be started").arg(engine);
        delete tts;
        return made;
    }
    made.voice = std::make_unique<DesktopVoice>(tts);
    return made;
}

} // namespace speech
