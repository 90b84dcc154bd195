#include "speech/voice_text.h"

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
