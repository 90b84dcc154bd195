#include "dictionary/pronunciation.h"

#include <QComboBox>
#include <QDir>

#include "content/pane.h"
#include "content/tables.h"
#include "media/media.h"

namespace dictionary {

QString recordingFile(std::string_view tablePath)
{
    QString relative = QString::fromLatin1(tablePath.data(), static_cast<qsizetype>(tablePath.size()));
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::current().filePath(relative);
}

void playPronunciation(const QComboBox* input, SoundOutput& output)
{
    content::apply(content::SoundTable, content::boxSource(input),
                   {[&output](std::string_view path) { output.play(recordingFile(path)); }});
}

namespace {

// The desktop output from the sound and speech module, made on the first play; without the module
// nothing plays and nothing fails, as without a sound device.
class ModuleSoundOutput final : public SoundOutput {
public:
    void play(const QString& file) override
    {
        if (!output_) {
            const media::Module* module = media::module();
            if (!module)
                return;
            output_ = module->makeSoundOutput();
        }
        output_->play(file);
    }

private:
    std::unique_ptr<SoundOutput> output_;
};

} // namespace

std::unique_ptr<SoundOutput> makeDesktopSoundOutput()
{
    return std::make_unique<ModuleSoundOutput>();
}

} // namespace dictionary
