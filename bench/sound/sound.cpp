// The sound button with the desktop output and the recordings made by tools/setup.sh:
// how long Image4Click itself takes, and how long from the click until the output reports
// that the recording plays. Each click restarts the recording the one before started.
//
//   bench_sound [google benchmark flags]
//
// Runs from the folder that holds sound/ (by default the source folder); needs a display and a
// sound server (tools/setup.sh test provides both on a bare machine).

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QAudioDevice>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTest>

#include "app/image_button.h"
#include "app/tform1.h"
#include "media/desktop_sound.h"
#include "media/parts.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Window {
    dictionary::DesktopSoundOutput* output;
    std::unique_ptr<TForm1> form;
};

// The main window with "barren" in the box, or an error when the run cannot be meaningful.
const char* openWindow(Window& w)
{
    if (!QFileInfo::exists(QStringLiteral("sound/b/155.wav")))
        QDir::setCurrent(QStringLiteral(CHENXING_SOURCE_DIR));
    if (!QFileInfo::exists(QStringLiteral("sound/b/155.wav")))
        return "no recordings here: run tools/setup.sh first";
    if (QMediaDevices::audioOutputs().isEmpty())
        return "no sound output";
    auto output = std::make_unique<dictionary::DesktopSoundOutput>();
    w.output = output.get();
    w.form = std::make_unique<TForm1>(std::move(output));
    w.form->ComboBox1->setEditText(QStringLiteral("barren"));
    return nullptr;
}

void reportMedian(benchmark::State& state, std::vector<double> seconds)
{
    if (seconds.empty())
        return;
    std::sort(seconds.begin(), seconds.end());
    state.counters["median_us"] = seconds[seconds.size() / 2] * 1e6;
    state.counters["p90_us"] = seconds[seconds.size() * 9 / 10] * 1e6;
}

// Image4Click alone: the table pass, the file's path and the hand-over to the output's thread.
void Image4Click(benchmark::State& state)
{
    Window w;
    if (const char* error = openWindow(w)) {
        state.SkipWithError(error);
        return;
    }
    QSignalSpy started(w.output, &dictionary::DesktopSoundOutput::started);
    std::vector<double> samples;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        w.form->Image4Click();
        const std::chrono::duration<double> took = Clock::now() - t0;
        state.SetIterationTime(took.count());
        samples.push_back(took.count());
        // Let this start happen before the next click, as between a user's clicks.
        if (!started.wait(5000)) {
            state.SkipWithError("the output never started the recording");
            break;
        }
    }
    reportMedian(state, samples);
}

// From the mouse click on Image4 to the output's report that the recording plays.
void ClickToPlaying(benchmark::State& state)
{
    Window w;
    if (const char* error = openWindow(w)) {
        state.SkipWithError(error);
        return;
    }
    QSignalSpy started(w.output, &dictionary::DesktopSoundOutput::started);
    std::vector<double> samples;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        QTest::mouseClick(w.form->Image4, Qt::LeftButton);
        if (!started.wait(5000)) {
            state.SkipWithError("the output never started the recording");
            break;
        }
        const std::chrono::duration<double> took = Clock::now() - t0;
        if (!w.output->playing()) {
            state.SkipWithError("started, but not playing");
            break;
        }
        state.SetIterationTime(took.count());
        samples.push_back(took.count());
    }
    reportMedian(state, samples);
}

} // namespace

BENCHMARK(Image4Click)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(ClickToPlaying)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// The first click after start-up, as the program starts: the window with the program's output,
// the window shown, the word typed (the first key brings up the sound and speech module), half a
// second for the user to reach the button, then the click, timed until the recording plays. The module's parts are linked here; the output
// they make on the first play is the one timed.
dictionary::DesktopSoundOutput* firstOutput = nullptr;

void reportFirstUse()
{
    if (!QFileInfo::exists(QStringLiteral("sound/b/155.wav")))
        QDir::setCurrent(QStringLiteral(CHENXING_SOURCE_DIR));
    static media::Module parts = media::linkedModule();
    parts.makeSoundOutput = [] {
        auto output = std::make_unique<dictionary::DesktopSoundOutput>();
        firstOutput = output.get();
        return std::unique_ptr<dictionary::SoundOutput>(std::move(output));
    };
    media::handOver(&parts);
    TForm1 form(dictionary::makeDesktopSoundOutput());
    form.show();
    QCoreApplication::processEvents();
    media::startOnFirstInput();  // as the program does once its window is up
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::printf("first use after start-up: the window never showed\n");
        return;
    }
    form.ComboBox1->lineEdit()->clear();
    QTest::keyClicks(form.ComboBox1->lineEdit(), QStringLiteral("barren"));  // the word typed
    QTest::qWait(500);  // and the pointer moved to the button
    const auto t0 = Clock::now();
    QTest::mouseClick(form.Image4, Qt::LeftButton);
    if (!firstOutput) {
        std::printf("first use after start-up: no output was made\n");
        return;
    }
    // The output tells from its thread, through the event loop, so the spy made now hears it.
    QSignalSpy started(firstOutput, &dictionary::DesktopSoundOutput::started);
    if (!started.wait(5000)) {
        std::printf("first use after start-up: the recording never started\n");
        return;
    }
    const std::chrono::duration<double, std::milli> took = Clock::now() - t0;
    std::printf("first use after start-up: click to playing %.1f ms\n", took.count());
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    reportFirstUse();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
