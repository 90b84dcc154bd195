// A 1 MB paste into every input box and every pane, and the box handlers with 1 MB around.
//
//  paste_box/...      the clipboard's 1 MB pasted into an input box: the line edit takes it and
//                     the box's change handler runs (as a user's Ctrl+V does)
//  handler_1mb/...    the box's change handler alone, the box holding the 1 MB text (as much of
//                     it as a line edit keeps)
//  set_pane/...       1 MB written into a pane by program, painted
//  paste_pane/...     the clipboard's 1 MB pasted over an editable pane's text, painted
//  handler_full_pane/ a box handler whose row rewrites a pane that holds 1 MB of pasted text
//  read_aloud/...     the read buttons with 1 MB in the read-aloud pane (a voice that only queues)
//
//  .../baseline.QPlainTextEdit  the same on a QPlainTextEdit with Qt's defaults, for comparison
//
// The text is the stories' own (English and Chinese lines) repeated to 1 MiB of UTF-8; the
// "one_line" variants have every line break replaced by a blank, the worst case for wrapping.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "app/tform1.h"
#include "content/pane.h"
#include "content/tables.h"
#include "practice/tform3.h"
#include "speech/tform2.h"
#include "stories/tform4.h"

namespace {

constexpr qsizetype kMiB = 1 << 20;

QString megabyte(bool oneLine)
{
    QString text;
    qsizetype bytes = 0;
    while (bytes < kMiB)
        for (const content::Row& row : content::Stories.rows)
            for (std::string_view p : row.payloads) {
                QString part = content::paneText(p) + QLatin1Char('\n');
                bytes += part.toUtf8().size();
                text += part;
            }
    text = QString::fromUtf8(text.toUtf8().left(kMiB));  // whole characters only
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

const QString& text(bool oneLine)
{
    static const QString lines = megabyte(false), line = megabyte(true);
    return oneLine ? line : lines;
}

// A voice that queues and says nothing.
class QueueVoice final : public speech::VoiceText {
public:
    std::int32_t Register(const QString&, const QString&) override { return speech::S_OK; }
    std::int32_t Speak(const QString& t, std::int32_t) override
    {
        queued += t.size();
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
    qsizetype queued = 0;
};

speech::VoiceCreation queueVoice()
{
    return {std::make_unique<QueueVoice>(), speech::S_OK, {}};
}

struct Windows {
    TForm1 form1{nullptr};
    speech::TForm2 form2{&queueVoice};
    practice::TForm3 form3;
    stories::TForm4 form4;
    QPlainTextEdit bare;  // Qt's own editor as it comes, the size of the practice window's top pane
    Windows()
    {
        bare.resize(form3.Memo1->size());
        for (QWidget* w : {static_cast<QWidget*>(&form1), static_cast<QWidget*>(&form2), static_cast<QWidget*>(&form3),
                           static_cast<QWidget*>(&form4), static_cast<QWidget*>(&bare)})
            w->show();
        QApplication::processEvents();
    }
};

Windows& windows()
{
    static Windows* w = new Windows;
    return *w;
}

struct Box {
    const char* name;
    std::function<QComboBox*()> box;
    std::function<void()> handler;
};

std::vector<Box> boxes()
{
    Windows& w = windows();
    return {
        {"TForm1.ComboBox1", [&w] { return w.form1.ComboBox1; }, [&w] { w.form1.ComboBox1Change(); }},
        {"TForm3.ComboBox1", [&w] { return w.form3.ComboBox1; }, [&w] { w.form3.ComboBox1Change(); }},
        {"TForm3.ComboBox2", [&w] { return w.form3.ComboBox2; }, [&w] { w.form3.ComboBox2Change(); }},
        {"TForm4.ComboBox1", [&w] { return w.form4.ComboBox1; }, [&w] { w.form4.ComboBox1Change(); }},
    };
}

struct Pane {
    const char* name;
    std::function<QPlainTextEdit*()> pane;
};

std::vector<Pane> panes()
{
    Windows& w = windows();
    return {
        {"TForm1.Memo1", [&w] { return w.form1.Memo1; }}, {"TForm1.Memo2", [&w] { return w.form1.Memo2; }},
        {"TForm2.Memo1", [&w] { return w.form2.Memo1; }}, {"TForm3.Memo1", [&w] { return w.form3.Memo1; }},
        {"TForm3.Memo2", [&w] { return w.form3.Memo2; }}, {"TForm4.Memo1", [&w] { return w.form4.Memo1; }},
        {"TForm4.Memo2", [&w] { return w.form4.Memo2; }}, {"baseline.QPlainTextEdit", [&w] { return &w.bare; }},
    };
}

void paint(QPlainTextEdit* pane)
{
    pane->viewport()->repaint();
}

void pasteBox(benchmark::State& state, const Box& b, bool oneLine)
{
    QApplication::clipboard()->setText(text(oneLine));
    QLineEdit* edit = b.box()->lineEdit();
    for (auto _ : state) {
        state.PauseTiming();
        edit->clear();
        edit->setFocus();
        state.ResumeTiming();
        edit->paste();  // emits textEdited: the handler runs inside
    }
    state.counters["chars_kept"] = static_cast<double>(edit->text().size());
    edit->clear();
}

void handler1mb(benchmark::State& state, const Box& b, bool oneLine)
{
    QComboBox* box = b.box();
    box->setEditText(text(oneLine));
    for (auto _ : state)
        b.handler();
    state.counters["chars_kept"] = static_cast<double>(box->currentText().size());
    box->setEditText(QString());
}

void setPane(benchmark::State& state, const Pane& p, bool oneLine)
{
    QPlainTextEdit* pane = p.pane();
    const QString& t = text(oneLine);
    for (auto _ : state) {
        state.PauseTiming();
        pane->clear();
        paint(pane);
        state.ResumeTiming();
        content::writePane(pane, t);
        paint(pane);
    }
    pane->clear();
}

void pastePane(benchmark::State& state, const Pane& p, bool oneLine)
{
    QPlainTextEdit* pane = p.pane();
    QApplication::clipboard()->setText(text(oneLine));
    for (auto _ : state) {
        state.PauseTiming();
        pane->setPlainText(QStringLiteral("old text"));
        pane->selectAll();
        paint(pane);
        state.ResumeTiming();
        pane->paste();
        paint(pane);
    }
    if (pane->toPlainText().size() != text(oneLine).size())
        state.SkipWithError("the paste did not arrive");
    pane->clear();
}

// A handler that writes `pane` (its box holding `key`) while the pane holds 1 MB of pasted text.
void handlerFullPane(benchmark::State& state, const Box& b, const Pane& p, const char* key, bool oneLine)
{
    QComboBox* box = b.box();
    QPlainTextEdit* pane = p.pane();
    box->setEditText(QString::fromLatin1(key));
    for (auto _ : state) {
        state.PauseTiming();
        pane->setPlainText(text(oneLine));
        paint(pane);
        state.ResumeTiming();
        b.handler();
        paint(pane);
    }
    if (pane->toPlainText().size() >= text(oneLine).size())
        state.SkipWithError("the handler did not rewrite the pane");
    box->setEditText(QString());
}

void readAloud(benchmark::State& state, bool repeat, bool oneLine)
{
    speech::TForm2& f = windows().form2;
    f.Memo1->setPlainText(text(oneLine));
    for (auto _ : state) {
        if (repeat)
            f.SpeedButton2Click();
        else
            f.SpeedButton1Click();
    }
    f.Memo1->clear();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    const std::vector<Box> bs = boxes();
    const std::vector<Pane> ps = panes();
    const auto name = [](const char* kind, const char* what, bool oneLine) {
        return std::string(kind) + "/" + what + (oneLine ? "/one_line" : "/lines");
    };
    for (bool oneLine : {false, true}) {
        for (const Box& b : bs) {
            benchmark::RegisterBenchmark(name("paste_box", b.name, oneLine).c_str(), pasteBox, b, oneLine)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(name("handler_1mb", b.name, oneLine).c_str(), handler1mb, b, oneLine)
                ->Unit(benchmark::kMillisecond);
        }
        for (const Pane& p : ps) {
            benchmark::RegisterBenchmark(name("set_pane", p.name, oneLine).c_str(), setPane, p, oneLine)
                ->Unit(benchmark::kMillisecond);
            if (!p.pane()->isReadOnly())
                benchmark::RegisterBenchmark(name("paste_pane", p.name, oneLine).c_str(), pastePane, p, oneLine)
                    ->Unit(benchmark::kMillisecond);
        }
        struct Write {
            std::size_t box, pane;
            const char* key;
        };
        // Rows that exist in every content version: a dictionary word, unit 001, the contents page.
        for (const Write& w : {Write{0, 0, "back"}, Write{0, 1, "back"}, Write{1, 3, "001"}, Write{2, 4, "001"},
                               Write{3, 5, "000"}, Write{3, 6, "000"}}) {
            const std::string what = std::string(bs[w.box].name) + ">" + ps[w.pane].name;
            benchmark::RegisterBenchmark(name("handler_full_pane", what.c_str(), oneLine).c_str(), handlerFullPane,
                                         bs[w.box], ps[w.pane], w.key, oneLine)
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(name("read_aloud", "SpeedButton1Click", oneLine).c_str(), readAloud, false, oneLine)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(name("read_aloud", "SpeedButton2Click", oneLine).c_str(), readAloud, true, oneLine)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
