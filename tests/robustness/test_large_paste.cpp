// A 1 MB paste from the clipboard into every input box and every editable pane of the four
// windows: each pane takes the whole text as one undo step, each box keeps what a line edit
// holds and its handler runs over it, and afterwards every window still answers its keys.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "app/tform1.h"
#include "content/pane.h"
#include "content/tables.h"
#include "practice/tform3.h"
#include "speech/tform2.h"
#include "stories/tform4.h"

namespace {

QString latin1(std::string_view s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// The stories' own lines, English and Chinese, repeated to 1 MiB of UTF-8.
QString megabyte()
{
    QString text;
    qsizetype bytes = 0;
    while (bytes < (1 << 20))
        for (const content::Row& row : content::Stories.rows)
            for (std::string_view p : row.payloads) {
                const QString part = content::paneText(p) + QLatin1Char('\n');
                bytes += part.toUtf8().size();
                text += part;
            }
    return text;
}

class SilentVoice final : public speech::VoiceText {
public:
    std::int32_t Register(const QString&, const QString&) override { return speech::S_OK; }
    std::int32_t Speak(const QString&, std::int32_t) override { return speech::S_OK; }
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

speech::VoiceCreation silentVoice()
{
    return {std::make_unique<SilentVoice>(), speech::S_OK, {}};
}

} // namespace

class TestLargePaste : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form1;
    std::unique_ptr<speech::TForm2> form2;
    std::unique_ptr<practice::TForm3> form3;
    std::unique_ptr<stories::TForm4> form4;
    QString big;

    QList<QWidget*> windows() const { return {form1.get(), form2.get(), form3.get(), form4.get()}; }

private slots:
    void initTestCase()
    {
        big = megabyte();
        form1 = std::make_unique<TForm1>(nullptr);
        form2 = std::make_unique<speech::TForm2>(&silentVoice);
        form3 = std::make_unique<practice::TForm3>();
        form4 = std::make_unique<stories::TForm4>();
        for (QWidget* w : windows()) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
        }
        QApplication::clipboard()->setText(big);
        QCOMPARE(QApplication::clipboard()->text(), big);
    }

    void everyEditablePaneTakesTheWholeText()
    {
        int panes = 0;
        for (QWidget* w : windows())
            for (QPlainTextEdit* pane : w->findChildren<QPlainTextEdit*>()) {
                if (pane->isReadOnly())
                    continue;
                ++panes;
                const QString where = w->objectName() + QLatin1Char('.') + pane->objectName();
                const QString before = QStringLiteral("old text\nsecond line");

                // Over a selection, into an empty pane, and after the text already there.
                pane->setPlainText(before);
                pane->selectAll();
                pane->paste();
                QVERIFY2(pane->toPlainText() == big, qPrintable(where));
                QCOMPARE(pane->textCursor().position(), big.size());
                pane->undo();
                QVERIFY2(pane->toPlainText() == before, qPrintable(where));
                pane->redo();
                QVERIFY2(pane->toPlainText() == big, qPrintable(where));

                pane->clear();
                pane->paste();
                QVERIFY2(pane->toPlainText() == big, qPrintable(where));

                pane->setPlainText(before);
                pane->moveCursor(QTextCursor::End);
                pane->paste();
                QVERIFY2(pane->toPlainText() == before + big, qPrintable(where));
                pane->undo();
                QVERIFY2(pane->toPlainText() == before, qPrintable(where));
                pane->clear();
            }
        // Main window: the phonetic line; read-aloud: its pane; practice and stories: both panes.
        QCOMPARE(panes, 6);
    }

    void everyInputBoxRunsItsHandlerOverIt()
    {
        const QList<QComboBox*> boxes = {form1->ComboBox1, form3->ComboBox1, form3->ComboBox2, form4->ComboBox1};
        for (QComboBox* box : boxes) {
            QLineEdit* edit = box->lineEdit();
            edit->clear();
            QSignalSpy edited(edit, &QLineEdit::textEdited);
            edit->setFocus();
            edit->paste();
            QCOMPARE(edited.count(), 1);
            QVERIFY(!edit->text().isEmpty());
            QVERIFY(edit->text().size() <= edit->maxLength());
            edit->clear();
        }

        // Every window still looks up what is typed afterwards.
        const auto typeAndRead = [](QComboBox* box, std::string_view key, QPlainTextEdit* pane, std::string_view payload) {
            box->lineEdit()->clear();
            QTest::keyClicks(box->lineEdit(), latin1(key));
            QCOMPARE(pane->toPlainText(), content::paneText(payload));
        };
        const content::Row& word = content::TypedEntryTable.rows.front();
        typeAndRead(form1->ComboBox1, word.key, form1->Memo1, word.payloads[0]);
        const content::Row& unit = content::UnitWordSheets.rows.front();
        typeAndRead(form3->ComboBox1, unit.key, form3->Memo1, unit.payloads[0]);
        const content::Row& codes = content::UnitCodeSheets.rows.front();
        typeAndRead(form3->ComboBox2, codes.key, form3->Memo2, codes.payloads[0]);
        const content::Row& story = content::Stories.rows.front();
        typeAndRead(form4->ComboBox1, story.key, form4->Memo1, story.payloads[0]);
    }
};

QTEST_MAIN(TestLargePaste)
#include "test_large_paste.moc"
