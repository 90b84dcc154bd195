// The repeat button with 100 KB in the pane, on a voice that keeps every text it is handed: the
// time of the 54 calls, and the heap the kept texts hold against the size of the text itself.
#include <malloc.h>

#include <set>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>

#include "speech/tform2.h"

namespace {

class KeepingVoice : public speech::VoiceText {
public:
    std::vector<QString> kept;

    std::int32_t Register(const QString&, const QString&) override { return speech::S_OK; }
    std::int32_t Speak(const QString& text, std::int32_t) override
    {
        kept.push_back(text);
        return speech::S_OK;
    }
    std::int32_t StopSpeaking() override { return speech::S_OK; }
    std::int32_t AudioPause() override { return speech::S_OK; }
    std::int32_t AudioResume() override { return speech::S_OK; }
    std::int32_t IsSpeaking(std::int16_t& speaking) override
    {
        speaking = 0;
        return speech::S_OK;
    }
    QString errorDescription() const override { return {}; }
};

// 100 KB of English in lines of about sixty characters.
QString hundredKilobytes()
{
    static const char* const words[] = {"the", "story", "of", "a", "careful", "reader", "who", "learned",
                                        "every", "word", "by", "heart", "and", "then", "forgot", "it"};
    QString text;
    int n = 0;
    qsizetype lineStart = 0;
    while (text.size() < 100 * 1024) {
        if (text.size() - lineStart > 60) {
            text += u'\n';
            lineStart = text.size();
        } else if (text.size() > lineStart) {
            text += u' ';
        }
        text += QLatin1String(words[n++ % std::size(words)]);
    }
    text.truncate(100 * 1024);
    return text;
}

std::size_t heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

void SpeedButton2Click(benchmark::State& state)
{
    KeepingVoice* voice = nullptr;
    speech::TForm2 form([&voice] {
        auto v = std::make_unique<KeepingVoice>();
        voice = v.get();
        return speech::VoiceCreation{std::move(v), speech::S_OK, {}};
    });
    form.Memo1->setPlainText(hundredKilobytes());

    // Memory: one run against an empty voice, with every transient string freed again.
    voice->kept.reserve(54);
    const std::size_t before = heapInUse();
    form.SpeedButton2Click();
    const std::size_t held = heapInUse() - before;
    std::set<const QChar*> buffers;
    for (const QString& t : voice->kept)
        buffers.insert(t.constData());
    const double textBytes = double(voice->kept.front().size()) * sizeof(QChar);

    for (auto _ : state) {
        state.PauseTiming();
        voice->kept.clear();
        state.ResumeTiming();
        form.SpeedButton2Click();
    }

    state.counters["texts_kept"] = double(voice->kept.size());
    state.counters["distinct_buffers"] = double(buffers.size());
    state.counters["text_bytes"] = textBytes;
    state.counters["held_bytes"] = double(held);
    state.counters["held_per_text"] = double(held) / textBytes;
}

} // namespace

BENCHMARK(SpeedButton2Click)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
