#include "dictionary/pronunciation.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include "content/pane.h"
#include "content/tables.h"

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

class DesktopSoundOutput final : public SoundOutput {
public:
    DesktopSoundOutput()
    {
        alert_.setSource(QUrl(QStringLiteral("qrc:/sounds/alert.wav")));
        // A file that exists but cannot be decoded also gives the alert.
        QObject::connect(&recording_, &QSoundEffect::statusChanged, &recording_, [this] {
            if (recording_.status() == QSoundEffect::Error)
                playAlert();
        });
    }

    void play(const QString& file) override
    {
        const QFileInfo info(file);
        if (!info.isFile() || !info.isReadable()) {
            playAlert();
            return;
        }
        alert_.stop();
        recording_.stop();
        const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        if (recording_.source() != url)
            recording_.setSource(url);
        recording_.play();
    }

private:
    void playAlert()
    {
        recording_.stop();
        alert_.stop();
        alert_.play();
    }

    QSoundEffect recording_;
    QSoundEffect alert_;
};

} // namespace

std::unique_ptr<SoundOutput> makeDesktopSoundOutput()
{
    return std::make_unique<DesktopSoundOutput>();
}

} // namespace dictionary
