// Arbitrary text through every table pass and through the pane write rule.
//
// Each input is decoded from UTF-8 and
//  1. run through every table of content::allTables(), its targets bound to the real windows'
//     controls by name (a table whose source is one of its own targets reads that box, which the
//     pass itself rewrites), checking that a target is only written while the source holds a key
//     of the table, that a pass with a fixed source writes exactly what the matching rows carry,
//     and that every pane then shows its payload and is not rewritten by the same payload again;
//  2. typed into the real windows' input boxes and run through their handlers;
//  3. taken as raw bytes through content::paneText and content::writePane.
// A failed check aborts, so libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QTextDocument>

#include "app/tform1.h"
#include "content/pane.h"
#include "content/tables.h"
#include "content/ui.h"
#include "dictionary/pronunciation.h"
#include "practice/tform3.h"
#include "stories/tform4.h"

#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

namespace {

QString utf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// What a pane's toPlainText gives back for a text it was set to: the text document reports
// paragraph and line separators as LF and no-break spaces as blanks.
QString asShown(QString text)
{
    for (QChar& c : text) {
        switch (c.unicode()) {
        case 0x2028:
        case 0x2029:
        case 0xfdd0:
        case 0xfdd1:
            c = u'\n';
            break;
        case 0x00a0:
            c = u' ';
            break;
        default:
            break;
        }
    }
    return text;
}

bool shownAsIs(const QString& text)
{
    return asShown(text) == text;
}

// Checks the pane write rule on a pane just written with `text`: the pane shows it, and the same
// text written again leaves the document alone (caret, selection and scroll stay).
void checkPaneShows(QPlainTextEdit* pane, const QString& text)
{
    FUZZ_CHECK(pane->toPlainText() == asShown(text));
    if (!shownAsIs(text))
        return;  // such a pane never compares equal, so it is rewritten; content holds none of these
    const int revision = pane->document()->revision();
    content::writePane(pane, text);
    FUZZ_CHECK(pane->document()->revision() == revision);
}

// Checks every file the sound button asks for.
class CheckingSound final : public dictionary::SoundOutput {
public:
    void play(const QString& file) override
    {
        FUZZ_CHECK(!file.isEmpty() && !file.contains(u'\\'));
    }
};

struct Windows {
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<practice::TForm3> form3;
    std::unique_ptr<stories::TForm4> form4;
    std::map<std::string_view, QPlainTextEdit*> panes;
    std::map<std::string_view, QComboBox*> boxes;
    QPlainTextEdit* scratch = nullptr;  // a pane of no window, for the raw-byte checks
};

Windows* windows = nullptr;

// One table's pass, bound once: the same source and targets serve every input.
struct TablePass {
    const content::KeyedTextTable* table = nullptr;
    QSet<QString> keys;
    std::vector<QString> rowKeys;       // in row order
    QComboBox* ownSource = nullptr;     // set when the pass rewrites the box it reads
    content::Source source;
    std::vector<content::Target> targets;
    // This input's run.
    const QString* text = nullptr;
    QString lastRead;
    std::size_t writes = 0;
};
std::vector<std::unique_ptr<TablePass>> passes;

void bind(std::string_view name)
{
    const auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return;  // "play"
    const std::string_view window = name.substr(0, dot);
    const QString component = utf8(name.substr(dot + 1));
    QWidget* form = window == "TForm1"   ? static_cast<QWidget*>(windows->form1.get())
                    : window == "TForm3" ? static_cast<QWidget*>(windows->form3.get())
                    : window == "TForm4" ? static_cast<QWidget*>(windows->form4.get())
                                         : nullptr;
    FUZZ_CHECK(form);
    if (auto* pane = form->findChild<QPlainTextEdit*>(component))
        windows->panes[name] = pane;
    else if (auto* box = form->findChild<QComboBox*>(component))
        windows->boxes[name] = box;
    else if (component != QLatin1String("ListBox1"))
        FUZZ_CHECK(!"a table names a control no window has");
}

bool isTarget(const content::KeyedTextTable& table, std::string_view name)
{
    for (std::string_view t : table.targets)
        if (t == name)
            return true;
    return false;
}

std::unique_ptr<TablePass> makePass(const content::KeyedTextTable& table)
{
    auto pass = std::make_unique<TablePass>();
    TablePass* p = pass.get();
    p->table = &table;
    for (const content::Row& row : table.rows) {
        for (char c : row.key)
            FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);  // keys are compared as ASCII
        p->rowKeys.push_back(QString::fromLatin1(row.key.data(), static_cast<qsizetype>(row.key.size())));
        p->keys.insert(p->rowKeys.back());
    }

    if (isTarget(table, table.source)) {
        p->ownSource = windows->boxes.at(table.source);
        p->source = [p, read = content::boxSource(p->ownSource)] { return p->lastRead = read(); };
    } else {
        p->source = [p] { return p->lastRead = *p->text; };
    }

    // Every target first checks that the source held a key of the table when it was read.
    const auto written = [p] {
        FUZZ_CHECK(p->keys.contains(p->lastRead));
        ++p->writes;
    };
    for (std::string_view name : table.targets) {
        if (name == "play") {
            p->targets.push_back([written](std::string_view path) {
                written();
                const QString file = dictionary::recordingFile(path);
                QString relative = utf8(path);
                relative.replace(u'\\', u'/');
                FUZZ_CHECK(file.endsWith(relative));
            });
        } else if (auto pane = windows->panes.find(name); pane != windows->panes.end()) {
            p->targets.push_back([written, pane = pane->second](std::string_view payload) {
                written();
                content::writePane(pane, payload);
                checkPaneShows(pane, content::paneText(payload));
            });
        } else {
            p->targets.push_back([written, box = windows->boxes.at(name)](std::string_view payload) {
                written();
                content::writeBox(box, payload);
                FUZZ_CHECK(box->currentText() == utf8(payload));
            });
        }
    }
    return pass;
}

void runTable(TablePass& p, const QString& text)
{
    p.text = &text;
    p.writes = 0;
    if (p.ownSource)
        p.ownSource->setEditText(text);
    content::apply(*p.table, p.source, p.targets);
    if (!p.ownSource) {
        // A fixed source: exactly the payloads of the rows whose key is the text, no more.
        std::size_t expected = 0;
        for (std::size_t i = 0; i < p.rowKeys.size(); ++i)
            if (p.rowKeys[i] == text)
                expected += std::min(p.table->rows[i].payloads.size(), p.targets.size());
        FUZZ_CHECK(p.writes == expected);
    }
}

void runHandlers(const QString& text)
{
    TForm1& f1 = *windows->form1;
    f1.ComboBox1->setEditText(text);
    f1.ComboBox1Change();
    f1.Image4Click();
    FUZZ_CHECK(f1.ComboBox1->currentText() == text.left(f1.ComboBox1->lineEdit()->maxLength()));

    practice::TForm3& f3 = *windows->form3;
    f3.ComboBox1->setEditText(text);
    f3.ComboBox1Change();
    f3.ComboBox2->setEditText(text);
    f3.ComboBox2Change();

    stories::TForm4& f4 = *windows->form4;
    f4.ComboBox1->setEditText(text);
    f4.ComboBox1Change();
    f4.SpeedButton2Click();
    f4.SpeedButton3Click();
    f4.ComboBox1->setEditText(text);
    f4.SpeedButton3Click();
    f4.SpeedButton2Click();
}

void runPaneRule(std::string_view bytes)
{
    const QString shown = content::paneText(bytes);
    FUZZ_CHECK(!shown.contains(u'\r'));
    // CR and LF never occur inside a UTF-8 sequence, so converting after decoding gives the same.
    QString expected = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    FUZZ_CHECK(shown == expected);

    QPlainTextEdit* pane = windows->scratch;
    content::writePane(pane, bytes);
    checkPaneShows(pane, shown);
    content::writePane(pane, QString());
    FUZZ_CHECK(pane->toPlainText().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Text in scripts the fonts lack makes Qt warn once per font and script; a failed check
    // speaks for itself.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "fuzz_tables";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process

    windows = new Windows;
    auto sound = std::make_unique<CheckingSound>();
    windows->form1 = std::make_unique<TForm1>(std::move(sound));
    windows->form3 = std::make_unique<practice::TForm3>();
    windows->form4 = std::make_unique<stories::TForm4>();
    windows->scratch = content::makePane(nullptr, "scratch");

    for (const content::KeyedTextTable* table : content::allTables()) {
        bind(table->source);
        for (std::string_view t : table->targets)
            bind(t);
    }
    for (const content::KeyedTextTable* table : content::allTables())
        passes.push_back(makePass(*table));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString text = utf8(bytes);
    for (const auto& pass : passes)
        runTable(*pass, text);
    runHandlers(text);
    runPaneRule(bytes);
    // The widgets post update and layout events; with no event loop running they would pile up,
    // and every input would look like a leak to libFuzzer.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
