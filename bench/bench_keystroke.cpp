// One keystroke in the main window's input box: the two table passes, and the whole handler.
#include <benchmark/benchmark.h>

#include <QApplication>
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

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
