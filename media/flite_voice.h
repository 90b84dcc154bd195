#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QTimer>

#include "speech/voice_text.h"

class QAudioSink;
class QIODevice;

namespace speech {

struct FliteLibrary;

// The flite synthesiser, driven directly: Qt's flite plugin of this generation drops the end of
// many utterances and cannot pause while it synthesises, so the voice is synthesised here, piece
// by piece on a worker thread, and played through an audio sink that pause and resume hold in
// place. Texts wait in the voice's own queue as shared strings, never copied whole.
class FliteVoice final : public QObject, public VoiceText {
    Q_OBJECT
public:
    explicit FliteVoice(const FliteLibrary& flite);
    ~FliteVoice() override;

    std::int32_t Register(const QString& site, const QString& app) override;
    std::int32_t Speak(const QString& text, std::int32_t flags) override;
    std::int32_t StopSpeaking() override;
    std::int32_t AudioPause() override;
    std::int32_t AudioResume() override;
    std::int32_t IsSpeaking(std::int16_t& speaking) override;
    QString errorDescription() const override;

signals:
    // A queued text has been played to its end (not sent for texts that StopSpeaking dropped).
    void spoken(const QString& text);

private:
    struct TextEnd {
        qint64 at;  // byte position in the session's audio where the text ends
        QString text;
    };

    void synthesise();
    void pump();
    bool startSink();
    void endSession();

    const FliteLibrary& flite_;
    QAudioFormat format_;

    // Shared with the worker thread, under lock_.
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<QString> texts_;
    qsizetype offset_ = 0;    // how far the front text has been synthesised
    QByteArray audio_;        // synthesised, not yet handed to the sink, from audioHead_
    qsizetype audioHead_ = 0;
    qint64 appended_ = 0;     // audio synthesised in this session, in bytes
    std::deque<TextEnd> ends_;
    bool synthesising_ = false;
    std::uint64_t generation_ = 0;
    bool quit_ = false;

    // The user-interface thread's side.
    QAudioSink* sink_ = nullptr;
    QIODevice* sinkInput_ = nullptr;
    qint64 written_ = 0;      // audio handed to the sink in this session
    bool active_ = false;     // texts are queued or sounding
    bool paused_ = false;
    QTimer pumpTimer_;

    std::thread worker_;
};

// Loads flite from the system's libraries; empty when it or all of its English voices are missing.
const FliteLibrary* loadFlite();

// A voice on flite, or REGDB_E_CLASSNOTREG when flite is not installed.
VoiceCreation createFliteVoice();

} // namespace speech
