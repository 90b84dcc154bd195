#include "speech/voice_text.h"

namespace speech {

VoiceError::VoiceError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

namespace {
QString systemMessage(std::int32_t status)
{
    switch (static_cast<std::uint32_t>(status)) {
    case 0x80004005u: return QStringLiteral("Unspecified error");
    case 0x80004002u: return QStringLiteral("No such interface supported");
    case 0x80040154u: return QStringLiteral("Class not registered");
    case 0x80070057u: return QStringLiteral("The parameter is incorrect");
    case 0x8007000Eu: return QStringLiteral("Not enough memory resources are available to complete this operation");
    default: return QString();
    }
}
} // namespace

QString errorMessage(std::int32_t status, const QString& description)
{
    QString d = description;
    while (!d.isEmpty() && (d.back() == QLatin1Char('.') || d.back().isSpace() || d.back().category() == QChar::Other_Control))
        d.chop(1);
    if (!d.isEmpty())
        return d;
    const QString system = systemMessage(status);
    if (!system.isEmpty())
        return system;
    return QStringLiteral("OLE error %1").arg(static_cast<std::uint32_t>(status), 8, 16, QLatin1Char('0')).toUpper().replace(QStringLiteral("OLE ERROR"), QStringLiteral("OLE error"));
}

void check(std::int32_t status, const VoiceText* voice)
{
    if (status < 0)
        throw VoiceError(errorMessage(status, voice ? voice->errorDescription() : QString()));
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace speech
