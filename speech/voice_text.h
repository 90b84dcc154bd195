#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>

#include <QString>

namespace speech {

// Status codes: negative means failure.
constexpr std::int32_t S_OK = 0;
constexpr std::int32_t E_FAIL = static_cast<std::int32_t>(0x80004005u);
constexpr std::int32_t E_NOINTERFACE = static_cast<std::int32_t>(0x80004002u);
constexpr std::int32_t REGDB_E_CLASSNOTREG = static_cast<std::int32_t>(0x80040154u);

// The voice-text component the read-aloud window talks to. Every operation returns a status
// and, when it fails, may leave a description of the error.
class VoiceText {
public:
    virtual ~VoiceText() = default;
    virtual std::int32_t Register(const QString& site, const QString& app) = 0;
    // Returns at once; each text is queued behind those already queued.
    virtual std::int32_t Speak(const QString& text, std::int32_t flags) = 0;
    // Silences the speech and drops the queue.
    virtual std::int32_t StopSpeaking() = 0;
    // Pause and resume hold and continue the speech where it is.
    virtual std::int32_t AudioPause() = 0;
    virtual std::int32_t AudioResume() = 0;
    // Non-zero while speech is audible, zero while paused or idle.
    virtual std::int32_t IsSpeaking(std::int16_t& speaking) = 0;
    // The description the last failed call left, if any.
    virtual QString errorDescription() const = 0;
};

// What creating the component gave: the object; or a failure status and what the component said;
// or, with a non-negative status and no object, a component without the voice-text operations.
struct VoiceCreation {
    std::unique_ptr<VoiceText> voice;
    std::int32_t status = S_OK;
    QString description;
};

// The desktop's voice as the read-aloud window holds it from start-up: whether the desktop has a
// speech engine is known at once (REGDB_E_CLASSNOTREG when it has none, or when the sound and
// speech module is missing), but the engine and its voice, some megabytes, are loaded only when
// the first text is spoken.
VoiceCreation createDesktopVoiceOnFirstUse();

// An error raised by a failed status; reaches the application's top-level handler.
class VoiceError : public std::runtime_error {
public:
    explicit VoiceError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

// The message for a failed status: the error description with trailing full stops, blanks and
// control characters removed, if that leaves any text; else the system's text for the status;
// else "OLE error XXXXXXXX".
QString errorMessage(std::int32_t status, const QString& description);

// Raises VoiceError for a negative status, worded from what the voice left.
void check(std::int32_t status, const VoiceText* voice);

// The text of the error box: a full stop is appended when the last character sorts after ".".
QString errorBoxText(const QString& message);

} // namespace speech
