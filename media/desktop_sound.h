#pragma once

// The sound output of the sound and speech module (Qt Multimedia): the program reaches it through
// dictionary::makeDesktopSoundOutput, tests and benchmarks link it.
#include <optional>

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>

#include "dictionary/pronunciation.h"

namespace dictionary {

// The samples of a WAV file and their format.
struct Wave {
    QAudioFormat format;
    QByteArray samples;
};

// Reads a RIFF/WAVE file held in memory: PCM of 8, 16 or 32 bits or 32-bit float, any rate and
// channel count. A truncated data chunk gives the whole frames that are there. Anything else,
// or a file without a single frame, is not a sound we can play.
std::optional<Wave> decodeWave(const QByteArray& file);

// The media back end comes up on first use and its objects belong to the thread that made them,
// which must be the user-interface thread, not a player's: started by the first play, or before.
void startSoundBackEnd();

class SoundPlayer;

// Plays through the desktop's default sound output. The device is opened and fed on a thread of
// its own, so a click never waits for the sound server. A file that is missing or cannot be
// decoded plays an alert of our own instead (the desktop's beep is silent on most Linux
// desktops); without a sound device nothing plays and nothing fails.
class DesktopSoundOutput final : public QObject, public SoundOutput {
    Q_OBJECT
public:
    DesktopSoundOutput();
    ~DesktopSoundOutput() override;

    void play(const QString& file) override;

    // True from the moment the device takes a sound until it has played it out or is stopped,
    // as last reported to this (the user-interface) thread.
    bool playing() const { return playing_; }

    // What `started` names when the alert plays.
    static QString alertSound();

signals:
    // The device took a sound: the recording's file, or alertSound().
    void started(const QString& sound);
    void playingChanged(bool playing);

private:
    friend class SoundPlayer;
    void report(bool playing, const QString& sound);

    QThread thread_;
    SoundPlayer* player_;  // lives on thread_
    bool playing_ = false;
};

} // namespace dictionary
