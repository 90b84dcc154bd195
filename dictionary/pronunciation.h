#pragma once

#include <memory>
#include <string_view>

#include <QString>

class QComboBox;

namespace dictionary {

// Where recordings go: one sound at a time, the newest replacing the one still playing.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts the file and returns at once; a file that cannot be played gives the alert instead.
    virtual void play(const QString& file) = 0;
};

// The table's relative path ("sound\b\155.wav") as a file under the current working directory.
QString recordingFile(std::string_view tablePath);

// The sound button: the recording of the word in the input box, if the word has one.
void playPronunciation(const QComboBox* input, SoundOutput& output);

// The desktop output, as the windows use it: from the sound and speech module, loaded on the
// first play if it is not yet; without the module nothing plays and nothing fails.
std::unique_ptr<SoundOutput> makeDesktopSoundOutput();

} // namespace dictionary
