#include "media/flite_voice.h"

#include <algorithm>
#include <memory>
#include <string>

#include <QAudioDevice>
#include <QAudioSink>
#include <QLibrary>
#include <QMediaDevices>

namespace speech {

namespace {

// The start of flite's cst_wave, the same in every flite release.
struct FliteWave {
    const char* type;
    int sample_rate;
    int num_samples;
    int num_channels;
    short* samples;
};

constexpr qsizetype kPieceChars = 200;               // longest piece synthesised in one go
constexpr qint64 kAheadMicroseconds = 10'000'000;    // synthesised audio kept ready at most
constexpr qint64 kSinkBufferMicroseconds = 250'000;  // what the sink holds: rides out busy moments
constexpr int kPumpMilliseconds = 20;

// Where the piece that starts at `from` ends: after a sentence's closing mark or a line break,
// within kPieceChars characters; a longer run is cut after its last blank.
qsizetype pieceEnd(QStringView text, qsizetype from)
{
    qsizetype limit = std::min(text.size(), from + kPieceChars);
    qsizetype afterBlank = -1;
    for (qsizetype i = from; i < limit; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n')
            return i + 1;
        const bool closing = c == u'.' || c == u'!' || c == u'?' || c == u';' || c == u':' || c == u'。'
            || c == u'！' || c == u'？' || c == u'；';
        if (closing && (i + 1 == text.size() || text[i + 1].isSpace()))
            return i + 1;
        if (c.isSpace())
            afterBlank = i + 1;
    }
    if (limit == text.size())
        return limit;
    if (afterBlank > from)
        return afterBlank;
    if (text[limit - 1].isHighSurrogate() && limit - 1 > from)
        --limit;
    return limit;
}

bool hasWords(QStringView piece)
{
    return std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

} // namespace

struct FliteLibrary {
    FliteWave* (*textToWave)(const char* text, void* voice) = nullptr;
    void (*deleteWave)(FliteWave* wave) = nullptr;
    void* voice = nullptr;
    int sampleRate = 0;
    int channels = 0;
    mutable std::mutex synthesis;  // flite keeps state in the voice: one synthesis at a time
};

const FliteLibrary* loadFlite()
{
    static const std::unique_ptr<FliteLibrary> loaded = []() -> std::unique_ptr<FliteLibrary> {
        // The libraries stay loaded for the program's life (QLibrary does not unload on destruction).
        QLibrary core(QStringLiteral("flite"), 1);
        if (!core.load())
            return nullptr;
        const auto init = reinterpret_cast<int (*)()>(core.resolve("flite_init"));
        auto flite = std::make_unique<FliteLibrary>();
        flite->textToWave = reinterpret_cast<FliteWave* (*)(const char*, void*)>(core.resolve("flite_text_to_wave"));
        flite->deleteWave = reinterpret_cast<void (*)(FliteWave*)>(core.resolve("delete_wave"));
        if (!init || !flite->textToWave || !flite->deleteWave)
            return nullptr;
        init();
        // The English voices best understood first, as measured on the stories' English
        // (bench/pronunciation/read_aloud.py).
        for (const char* name : {"rms", "kal16", "awb", "slt", "kal"}) {
            QLibrary library(QStringLiteral("flite_cmu_us_") + QLatin1String(name), 1);
            if (!library.load())
                continue;
            const auto registerVoice = reinterpret_cast<void* (*)(const char*)>(
                library.resolve((std::string("register_cmu_us_") + name).c_str()));
            void* voice = registerVoice ? registerVoice(nullptr) : nullptr;
            if (!voice)
                continue;
            // A blank text tells the voice's sample format.
            FliteWave* probe = flite->textToWave("", voice);
            if (!probe)
                continue;
            const int rate = probe->sample_rate;
            const int channels = probe->num_channels;
            flite->deleteWave(probe);
            if (rate <= 0 || channels <= 0)
                continue;
            flite->voice = voice;
            flite->sampleRate = rate;
            flite->channels = channels;
            return flite;
        }
        return nullptr;
    }();
    return loaded.get();
}

VoiceCreation createFliteVoice()
{
    const FliteLibrary* flite = loadFlite();
    if (!flite)
        return {nullptr, REGDB_E_CLASSNOTREG, {}};
    return {std::make_unique<FliteVoice>(*flite), S_OK, {}};
}

FliteVoice::FliteVoice(const FliteLibrary& flite)
    : flite_(flite)
{
    format_.setSampleRate(flite.sampleRate);
    format_.setChannelCount(flite.channels);
    format_.setSampleFormat(QAudioFormat::Int16);
    pumpTimer_.setInterval(kPumpMilliseconds);
    connect(&pumpTimer_, &QTimer::timeout, this, &FliteVoice::pump);
    worker_ = std::thread([this] { synthesise(); });
}

FliteVoice::~FliteVoice()
{
    {
        std::lock_guard lock(lock_);
        quit_ = true;
    }
    wake_.notify_all();
    worker_.join();
    endSession();
}

std::int32_t FliteVoice::Register(const QString&, const QString&)
{
    return S_OK;
}

std::int32_t FliteVoice::Speak(const QString& text, std::int32_t)
{
    {
        std::lock_guard lock(lock_);
        texts_.push_back(text);  // shares the caller's string
    }
    wake_.notify_one();
    if (!active_) {
        active_ = true;
        if (!paused_)
            pumpTimer_.start();
    }
    return S_OK;
}

std::int32_t FliteVoice::StopSpeaking()
{
    {
        std::lock_guard lock(lock_);
        texts_.clear();
        offset_ = 0;
        ++generation_;  // a piece under synthesis now is thrown away
    }
    endSession();
    paused_ = false;
    return S_OK;
}

std::int32_t FliteVoice::AudioPause()
{
    paused_ = true;
    pumpTimer_.stop();
    if (sink_)
        sink_->suspend();
    return S_OK;
}

std::int32_t FliteVoice::AudioResume()
{
    if (!paused_)
        return S_OK;
    paused_ = false;
    if (sink_)
        sink_->resume();
    if (active_) {
        pumpTimer_.start();
        pump();
    }
    return S_OK;
}

std::int32_t FliteVoice::IsSpeaking(std::int16_t& speaking)
{
    speaking = active_ && !paused_ ? -1 : 0;
    return S_OK;
}

QString FliteVoice::errorDescription() const
{
    return QString();  // nothing here fails; a missing sound device only keeps the voice silent
}

void FliteVoice::synthesise()
{
    const qsizetype ahead = format_.bytesForDuration(kAheadMicroseconds);
    std::unique_lock lock(lock_);
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || (!texts_.empty() && audio_.size() - audioHead_ < ahead); });
        if (quit_)
            return;
        const QString text = texts_.front();
        const qsizetype from = offset_;
        const qsizetype to = pieceEnd(text, from);
        const bool last = to >= text.size();
        if (last) {
            texts_.pop_front();
            offset_ = 0;
        } else {
            offset_ = to;
        }
        const std::uint64_t generation = generation_;
        synthesising_ = true;
        lock.unlock();

        FliteWave* wave = nullptr;
        const QStringView piece = QStringView(text).sliced(from, to - from);
        if (hasWords(piece)) {
            const QByteArray utf8 = piece.toUtf8();
            std::lock_guard one(flite_.synthesis);
            wave = flite_.textToWave(utf8.constData(), flite_.voice);
        }

        lock.lock();
        synthesising_ = false;
        if (generation == generation_) {
            if (wave && wave->num_samples > 0) {
                const qsizetype bytes = qsizetype(wave->num_samples) * wave->num_channels * qsizetype(sizeof(short));
                audio_.append(reinterpret_cast<const char*>(wave->samples), bytes);
                appended_ += bytes;
            }
            if (last)
                ends_.push_back({appended_, text});
        }
        lock.unlock();
        if (wave)
            flite_.deleteWave(wave);
        QMetaObject::invokeMethod(this, &FliteVoice::pump, Qt::QueuedConnection);
        lock.lock();
    }
}

bool FliteVoice::startSink()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(format_))
        return false;
    sink_ = new QAudioSink(device, format_, this);
    sink_->setBufferSize(format_.bytesForDuration(kSinkBufferMicroseconds));
    sinkInput_ = sink_->start();
    if (!sinkInput_ || sink_->error() != QAudio::NoError) {
        delete sink_;
        sink_ = nullptr;
        sinkInput_ = nullptr;
        return false;
    }
    written_ = 0;
    return true;
}

// Feeds the sink from the synthesised audio, reports the texts played to their end, and closes
// the session once everything has sounded.
void FliteVoice::pump()
{
    if (!active_ || paused_)
        return;

    std::unique_lock lock(lock_);
    if (!sink_ && audioHead_ < audio_.size()) {
        lock.unlock();
        if (!startSink()) {
            StopSpeaking();  // no sound device: the texts go unheard, quietly
            return;
        }
        lock.lock();
    }
    if (sink_) {
        const qsizetype room = std::min<qsizetype>(sink_->bytesFree(), audio_.size() - audioHead_);
        if (room > 0) {
            const qint64 taken = sinkInput_->write(audio_.constData() + audioHead_, room);
            if (taken > 0) {
                audioHead_ += taken;
                written_ += taken;
                if (audioHead_ > audio_.size() / 2) {
                    audio_.remove(0, audioHead_);
                    audioHead_ = 0;
                }
                wake_.notify_one();
            }
        }
        if (sink_->error() == QAudio::IOError || sink_->error() == QAudio::FatalError) {
            lock.unlock();
            StopSpeaking();  // the sound server went away
            return;
        }
    }

    const bool drained = !sink_ || sink_->state() == QAudio::IdleState
        || format_.bytesForDuration(sink_->processedUSecs()) >= written_;
    const bool allSounded = texts_.empty() && !synthesising_ && audioHead_ == audio_.size() && drained;
    const qint64 played = !sink_ ? 0 : allSounded ? written_ : format_.bytesForDuration(sink_->processedUSecs());
    QStringList finished;
    while (!ends_.empty() && ends_.front().at <= played) {
        finished.push_back(ends_.front().text);
        ends_.pop_front();
    }
    lock.unlock();

    if (allSounded)
        endSession();
    for (const QString& text : std::as_const(finished))
        emit spoken(text);
}

void FliteVoice::endSession()
{
    pumpTimer_.stop();
    if (sink_) {
        sink_->stop();
        delete sink_;
        sink_ = nullptr;
        sinkInput_ = nullptr;
    }
    written_ = 0;
    active_ = false;
    std::lock_guard lock(lock_);
    audio_.clear();
    audioHead_ = 0;
    appended_ = 0;
    ends_.clear();
}

} // namespace speech
