#include <algorithm>
#include <deque>

#include <QTextToSpeech>

#include "media/desktop_voice.h"
#include "media/flite_voice.h"

namespace speech {

namespace {

bool hasWords(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// speech-dispatcher through Qt TextToSpeech. The engine speaks one text at a time and a new
// say() cuts the current one short, so the queue lives here, as shared strings.
class DispatcherVoice final : public VoiceText {
public:
    explicit DispatcherVoice(QTextToSpeech* engine)
        : engine_(engine)
    {
        QObject::connect(engine_, &QTextToSpeech::stateChanged, engine_, [this](QTextToSpeech::State s) {
            if (s == QTextToSpeech::Ready)
                speakNext();
        });
    }
    ~DispatcherVoice() override { delete engine_; }

    std::int32_t Register(const QString&, const QString&) override { return status(); }

    std::int32_t Speak(const QString& text, std::int32_t) override
    {
        if (const std::int32_t s = status(); s < 0)
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
        return status();
    }

    std::int32_t AudioPause() override
    {
        engine_->pause();
        return status();
    }

    std::int32_t AudioResume() override
    {
        engine_->resume();
        return status();
    }

    std::int32_t IsSpeaking(std::int16_t& speaking) override
    {
        speaking = engine_->state() == QTextToSpeech::Speaking ? -1 : 0;
        return status();
    }

    QString errorDescription() const override { return error_; }

private:
    std::int32_t status()
    {
        if (engine_->state() != QTextToSpeech::Error) {
            error_.clear();
            return S_OK;
        }
        error_ = engine_->errorString();
        if (error_.isEmpty())
            error_ = QStringLiteral("The speech engine %1 reported an error").arg(engine_->engine());
        return E_FAIL;
    }

    void speakNext()
    {
        // A text without words would not start the engine, and the queue behind it would stall.
        while (!queue_.empty()) {
            const QString next = queue_.front();
            queue_.pop_front();
            if (hasWords(next)) {
                engine_->say(next);
                return;
            }
        }
    }

    QTextToSpeech* engine_;
    std::deque<QString> queue_;
    QString error_;
};

} // namespace

VoiceCreation createDesktopVoice()
{
    // The engines the desktop has installed for Qt's speech framework decide what is there. flite
    // first: its voices are understood far better than espeak-ng, which speech-dispatcher speaks
    // English with unless the desktop chose otherwise (bench/pronunciation/read_aloud.py).
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.contains(QStringLiteral("flite"))) {
        if (VoiceCreation flite = createFliteVoice(); flite.voice)
            return flite;
    }
    if (engines.contains(QStringLiteral("speechd"))) {
        auto* engine = new QTextToSpeech(QStringLiteral("speechd"));
        if (engine->state() != QTextToSpeech::Error)
            return {std::make_unique<DispatcherVoice>(engine), S_OK, {}};
        delete engine;  // no dispatcher running
    }
    return {nullptr, REGDB_E_CLASSNOTREG, {}};
}

} // namespace speech
