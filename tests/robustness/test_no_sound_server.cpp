// The sound button with no sound server to play on: a recording that exists, one that does not,
// pressed again while the first is still being opened. Nothing may crash or hang, and no box
// may come up; the window goes on answering.
#include <QAudioDevice>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "app/image_button.h"
#include "app/tform1.h"
#include "content/pane.h"
#include "content/tables.h"
#include "dictionary/pronunciation.h"
#include "media/parts.h"

namespace {

QString latin1(std::string_view s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// A quarter second of a 440 Hz tone, 16-bit mono PCM.
QByteArray toneWav()
{
    constexpr int rate = 22050, samples = rate / 4;
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * i / rate)), pcm.data() + 2 * i);
    QByteArray wav;
    const auto u32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); wav.append(b, 4); };
    const auto u16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); wav.append(b, 2); };
    wav.append("RIFF");
    u32(static_cast<quint32>(36 + pcm.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(static_cast<quint32>(pcm.size()));
    return wav + pcm;
}

} // namespace

class TestNoSoundServer : public QObject {
    Q_OBJECT
private slots:
    void soundButtonWithoutAnOutput()
    {
        QVERIFY2(QMediaDevices::audioOutputs().isEmpty(), "a sound output is reachable; the test needs none");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });

        const content::Row& recorded = content::SoundTable.rows.front();
        const content::Row& missing = content::SoundTable.rows.back();
        const QString file = dictionary::recordingFile(recorded.payloads[0]);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile wav(file);
        QVERIFY(wav.open(QIODevice::WriteOnly));
        wav.write(toneWav());
        wav.close();
        QVERIFY(!QFile::exists(dictionary::recordingFile(missing.payloads[0])));

        int boxes = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++boxes;
                modal->close();
            }
        });
        closer.start(20);

        TForm1 form(dictionary::makeDesktopSoundOutput());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (const content::Row* row : {&recorded, &missing, &recorded, &recorded, &missing}) {
            form.ComboBox1->lineEdit()->clear();
            QTest::keyClicks(form.ComboBox1->lineEdit(), latin1(row->key));
            QTest::mouseClick(form.Image4, Qt::LeftButton);
            QTest::mouseClick(form.Image4, Qt::LeftButton);  // again before the first has started
            QTest::qWait(200);
        }

        const content::Row& entry = content::TypedEntryTable.rows.back();
        form.ComboBox1->lineEdit()->clear();
        QTest::keyClicks(form.ComboBox1->lineEdit(), latin1(entry.key));
        QCOMPARE(form.Memo1->toPlainText(), content::paneText(entry.payloads[0]));
        QCOMPARE(boxes, 0);
    }
};

int main(int argc, char** argv)
{
    // Set before Qt Multimedia first asks for the sound server.
    QTemporaryDir nowhere;
    qputenv("PULSE_SERVER", ("unix:" + nowhere.filePath(QStringLiteral("no-such-socket"))).toLocal8Bit());
    QApplication app(argc, argv);
    media::handOver(&media::linkedModule());
    TestNoSoundServer test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_no_sound_server.moc"
