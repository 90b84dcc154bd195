#include "media/desktop_sound.h"

#include <algorithm>
#include <utility>

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>
#include <QtEndian>

namespace dictionary {

namespace {

quint16 le16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 le32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

// The body of a "fmt " chunk, as far as we can play it.
std::optional<QAudioFormat> waveFormat(const char* fmt, qint64 size)
{
    quint16 tag = le16(fmt);
    const int channels = le16(fmt + 2);
    const int rate = static_cast<int>(std::min<quint32>(le32(fmt + 4), 1'000'000));
    const int blockAlign = le16(fmt + 12);
    const int bits = le16(fmt + 14);
    constexpr quint16 pcm = 1, floatingPoint = 3, extensible = 0xFFFE;
    if (tag == extensible && size >= 40)
        tag = le16(fmt + 24);  // the sub-format's GUID begins with the plain tag

    QAudioFormat::SampleFormat sample = QAudioFormat::Unknown;
    if (tag == pcm && bits == 8)
        sample = QAudioFormat::UInt8;
    else if (tag == pcm && bits == 16)
        sample = QAudioFormat::Int16;
    else if (tag == pcm && bits == 32)
        sample = QAudioFormat::Int32;
    else if (tag == floatingPoint && bits == 32)
        sample = QAudioFormat::Float;
    if (sample == QAudioFormat::Unknown || channels < 1 || channels > 8 || rate < 1000
        || blockAlign != channels * bits / 8)
        return std::nullopt;

    QAudioFormat format;
    format.setSampleFormat(sample);
    format.setChannelCount(channels);
    format.setSampleRate(rate);
    return format;
}

// Our recordings are a few dozen kilobytes; a file this large is none of them.
constexpr qint64 largestRecording = 32 * 1024 * 1024;

std::optional<Wave> readWave(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > largestRecording)
        return std::nullopt;
    return decodeWave(f.readAll());
}

} // namespace

std::optional<Wave> decodeWave(const QByteArray& file)
{
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<QAudioFormat> format;
    qint64 at = 12;
    while (at + 8 <= file.size()) {
        const char* chunk = file.constData() + at;
        const QByteArrayView id(chunk, 4);
        const qint64 size = le32(chunk + 4);
        const qint64 body = at + 8;
        const qint64 present = std::min(size, file.size() - body);
        if (id == "fmt ") {
            if (present < 16)
                return std::nullopt;
            format = waveFormat(chunk + 8, present);
            if (!format)
                return std::nullopt;
        } else if (id == "data") {
            if (!format)
                return std::nullopt;
            const qint64 length = present - present % format->bytesPerFrame();
            if (length <= 0)
                return std::nullopt;
            return Wave{*format, file.mid(body, length)};
        }
        at = body + size + (size & 1);  // chunks are padded to an even length
    }
    return std::nullopt;
}

// Lives on the output's own thread: reads the file, opens the device and feeds it.
class SoundPlayer : public QObject {
public:
    explicit SoundPlayer(DesktopSoundOutput* owner)
        : owner_(owner)
    {
    }

    ~SoundPlayer() override { delete sink_; }

    void start(const QString& file)
    {
        stop();
        // Asked afresh every time, so a device plugged in or chosen later is used.
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return;
        if (const std::optional<Wave> wave = readWave(file); wave && start(device, *wave, file))
            return;
        if (const std::optional<Wave>& alert = alertWave())
            start(device, *alert, DesktopSoundOutput::alertSound());
    }

private:
    bool start(const QAudioDevice& device, const Wave& wave, const QString& name)
    {
        auto* sink = new QAudioSink(device, wave.format);
        // A sink lets go of its source when it is destroyed, so the source must outlive it:
        // as the sink's child it does.
        auto* buffer = new QBuffer(sink);
        buffer->setData(wave.samples);
        buffer->open(QIODevice::ReadOnly);
        sink->start(buffer);
        if (sink->state() == QAudio::StoppedState) {
            sink->deleteLater();  // later: destroying a sink may run the event loop
            return false;
        }
        sink_ = sink;
        connect(sink, &QAudioSink::stateChanged, this, [this, sink, buffer](QAudio::State state) {
            if (state == QAudio::ActiveState)
                tell(true);
            else if (state == QAudio::StoppedState)
                finish(sink);
            else if (state == QAudio::IdleState && buffer->atEnd()) {
                // All samples are with the device; let it play out what it holds, then close.
                const qint64 held = sink->format().durationForBytes(static_cast<qint32>(sink->bufferSize()));
                QTimer::singleShot(static_cast<int>(held / 1000) + 50, sink, [this, sink] { finish(sink); });
            }
        });
        tell(true, name);
        return true;
    }

    // Stops the sound still playing, at once.
    void stop()
    {
        if (sink_)
            finish(sink_);
    }

    void finish(QAudioSink* sink)
    {
        if (sink != sink_)
            return;
        sink_ = nullptr;
        sink->disconnect(this);
        sink->stop();
        sink->deleteLater();
        tell(false);
    }

    const std::optional<Wave>& alertWave()
    {
        if (!alertRead_) {
            alert_ = readWave(DesktopSoundOutput::alertSound());
            alertRead_ = true;
        }
        return alert_;
    }

    void tell(bool playing, const QString& started = {})
    {
        QMetaObject::invokeMethod(
            owner_, [owner = owner_, playing, started] { owner->report(playing, started); },
            Qt::QueuedConnection);
    }

    DesktopSoundOutput* owner_;
    QAudioSink* sink_ = nullptr;
    std::optional<Wave> alert_;
    bool alertRead_ = false;
};

void startSoundBackEnd()
{
    static const bool started = (QMediaDevices::defaultAudioOutput(), true);
    Q_UNUSED(started);
}

DesktopSoundOutput::DesktopSoundOutput()
    : player_(new SoundPlayer(this))
{
    thread_.setObjectName(QStringLiteral("pronunciation"));
    player_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, player_, &QObject::deleteLater);
    thread_.start();
}

DesktopSoundOutput::~DesktopSoundOutput()
{
    thread_.quit();
    thread_.wait();
}

void DesktopSoundOutput::play(const QString& file)
{
    startSoundBackEnd();
    QMetaObject::invokeMethod(player_, [player = player_, file] { player->start(file); }, Qt::QueuedConnection);
}

QString DesktopSoundOutput::alertSound()
{
    return QStringLiteral(":/sounds/alert.wav");
}

void DesktopSoundOutput::report(bool playing, const QString& sound)
{
    const bool changed = playing != playing_;
    playing_ = playing;
    if (!sound.isEmpty())
        emit started(sound);
    if (changed)
        emit playingChanged(playing);
}

} // namespace dictionary
