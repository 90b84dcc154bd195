#include "speech/voice_text.h"

#include <QCoreApplication>
#include <QDir>

#include "media/media.h"

namespace speech {

VoiceError::VoiceError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

namespace {

// The platform's wording for the statuses a voice component gives, without the closing stop.
QString systemMessage(std::int32_t status)
{
    switch (static_cast<std::uint32_t>(status)) {
    case 0x80004001u: return QStringLiteral("Not implemented");
    case 0x80004002u: return QStringLiteral("No such interface supported");
    case 0x80004003u: return QStringLiteral("Invalid pointer");
    case 0x80004004u: return QStringLiteral("Operation aborted");
    case 0x80004005u: return QStringLiteral("Unspecified error");
    case 0x8000FFFFu: return QStringLiteral("Catastrophic failure");
    case 0x80040154u: return QStringLiteral("Class not registered");
    case 0x80070005u: return QStringLiteral("Access is denied");
    case 0x8007000Eu: return QStringLiteral("Not enough memory resources are available to complete this operation");
    case 0x80070057u: return QStringLiteral("The parameter is incorrect");
    default: return QString();
    }
}

bool trimmedAtEnd(QChar c)
{
    return c == u'.' || c == u' ' || c.category() == QChar::Other_Control;
}

} // namespace

namespace {

// Whether the desktop has installed an engine the voice can use: Qt's flite or speech-dispatcher
// plugin in one of Qt's plugin folders, where Qt's speech framework would find it. Looking loads
// nothing, neither the engines nor the sound and speech module.
bool desktopHasSpeechEngine()
{
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        const QDir engines(folder + QStringLiteral("/texttospeech"));
        if (!engines.entryList({QStringLiteral("*texttospeech_flite*"), QStringLiteral("*texttospeech_speechd*")},
                               QDir::Files)
                 .isEmpty())
            return true;
    }
    return false;
}

class VoiceOnFirstUse final : public VoiceText {
public:
    std::int32_t Register(const QString& site, const QString& app) override
    {
        site_ = site;
        app_ = app;
        return S_OK;
    }
    std::int32_t Speak(const QString& text, std::int32_t flags) override
    {
        if (const std::int32_t s = load(); s < 0)
            return s;
        return voice_->Speak(text, flags);
    }
    // Before the first text nothing speaks: there is nothing to stop, pause or resume.
    std::int32_t StopSpeaking() override { return voice_ ? voice_->StopSpeaking() : S_OK; }
    std::int32_t AudioPause() override { return voice_ ? voice_->AudioPause() : S_OK; }
    std::int32_t AudioResume() override { return voice_ ? voice_->AudioResume() : S_OK; }
    std::int32_t IsSpeaking(std::int16_t& speaking) override
    {
        speaking = 0;
        return voice_ ? voice_->IsSpeaking(speaking) : S_OK;
    }
    QString errorDescription() const override { return voice_ ? voice_->errorDescription() : error_; }

private:
    std::int32_t load()
    {
        if (voice_)
            return S_OK;
        const media::Module* module = media::module();
        if (!module)
            return REGDB_E_CLASSNOTREG;  // the module is there but does not load
        VoiceCreation made = module->createVoice();
        if (made.status < 0 || !made.voice) {
            error_ = made.description;
            return made.status < 0 ? made.status : E_NOINTERFACE;
        }
        voice_ = std::move(made.voice);
        return voice_->Register(site_, app_);
    }

    std::unique_ptr<VoiceText> voice_;
    QString site_, app_, error_;
};

} // namespace

VoiceCreation createDesktopVoiceOnFirstUse()
{
    if (!media::present() || !desktopHasSpeechEngine())
        return {nullptr, REGDB_E_CLASSNOTREG, {}};
    return {std::make_unique<VoiceOnFirstUse>(), S_OK, {}};
}

QString errorMessage(std::int32_t status, const QString& description)
{
    qsizetype end = description.size();
    while (end > 0 && trimmedAtEnd(description.at(end - 1)))
        --end;
    if (end > 0)
        return description.left(end);
    if (QString system = systemMessage(status); !system.isEmpty())
        return system;
    return QStringLiteral("OLE error %1")
        .arg(QString::number(static_cast<std::uint32_t>(status), 16).toUpper().rightJustified(8, u'0'));
}

void check(std::int32_t status, const VoiceText* voice)
{
    if (status < 0)
        throw VoiceError(errorMessage(status, voice ? voice->errorDescription() : QString()));
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

} // namespace speech
