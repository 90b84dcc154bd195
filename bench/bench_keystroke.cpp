// One keystroke in the main window's input box: the two table passes, and the whole handler.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QListWidget>
#include <QComboBox>
#include <QPlainTextEdit>

#include "app/tform1.h"
#include "content/tables.h"

namespace {

TForm1* form()
{
    static TForm1* f = [] {
        auto* w = new TForm1(nullptr);
        w->show();
        QApplication::processEvents();
        return w;
    }();
    return f;
}

void passes(benchmark::State& state, const char* text)
{
    const QString t = QString::fromLatin1(text);
    std::size_t written = 0;
    const content::Target count = [&](std::string_view p) { written += p.size(); };
    const content::Source source = [&] { return t; };
    for (auto _ : state) {
        content::apply(content::TypedEntryTable, source, {count});
        content::apply(content::TypedPhoneticTable, source, {count});
    }
    benchmark::DoNotOptimize(written);
}

void handler(benchmark::State& state, const char* a, const char* b)
{
    TForm1* f = form();
    const QString first = QString::fromLatin1(a), second = QString::fromLatin1(b);
    bool flip = false;
    for (auto _ : state) {
        // Alternating words makes every matching keystroke really rewrite both panes.
        f->ComboBox1->setEditText(flip ? first : second);
        flip = !flip;
        f->ComboBox1Change();
    }
}

} // namespace

BENCHMARK_CAPTURE(passes, matches_both, "back")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(passes, matches_nothing, "backgroundx")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handler, matches_both_with_pane_writes, "back", "ache")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(handler, matches_nothing, "bac", "ba")->Unit(benchmark::kMicrosecond);

// The first keystroke and the first list click after start-up, before anything is warm: each
// timed once, in a fresh process, right after the window is first shown.
void reportFirstUse()
{
    using Clock = std::chrono::steady_clock;
    TForm1* f = form();
    f->ComboBox1->setEditText(QStringLiteral("back"));
    auto t0 = Clock::now();
    f->ComboBox1Change();
    const std::chrono::duration<double, std::micro> keystroke = Clock::now() - t0;
    t0 = Clock::now();
    f->ListBox1->setCurrentRow(f->ListBox1->count() - 1);  // a selection runs the list lookup
    const std::chrono::duration<double, std::micro> click = Clock::now() - t0;
    std::printf("first use after start-up: keystroke lookup %.0f us, list click %.0f us\n", keystroke.count(), click.count());
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    reportFirstUse();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
