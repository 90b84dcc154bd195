// The windows with a part of the desktop missing: no recordings folder under the working
// directory (the sound button gives the alert), no speech engine (one error box, then the
// read-aloud window works without a voice), no sound and speech module (both at once).
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/image_button.h"
#include "app/tform1.h"
#include "content/pane.h"
#include "content/tables.h"
#include "dictionary/pronunciation.h"
#include "media/parts.h"
#include "speech/tform2.h"

namespace {

QString latin1(std::string_view s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Listens to the sound server's events; a stream that starts playing shows up as a new sink input.
class SoundServerEvents {
public:
    bool start()
    {
        const QString pactl = QStandardPaths::findExecutable(QStringLiteral("pactl"));
        if (pactl.isEmpty())
            return false;
        QProcess info;
        info.start(pactl, {QStringLiteral("info")});
        if (!info.waitForFinished(10000) || info.exitCode() != 0)
            return false;
        subscribe_.start(pactl, {QStringLiteral("subscribe")});
        if (!subscribe_.waitForStarted(10000))
            return false;
        // The subscription is live once it reports a client of our own coming and going.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            QProcess probe;
            probe.start(pactl, {QStringLiteral("info")});
            probe.waitForFinished(10000);
            QTest::qWait(50);
            if (take().contains(QLatin1String("'new' on client")))
                return true;
        }
        return false;
    }
    ~SoundServerEvents()
    {
        subscribe_.kill();
        subscribe_.waitForFinished();
    }
    QString take()
    {
        seen_ += QString::fromUtf8(subscribe_.readAllStandardOutput());
        return std::exchange(seen_, QString());
    }
    bool streamStarted()
    {
        seen_ += QString::fromUtf8(subscribe_.readAllStandardOutput());
        return seen_.contains(QLatin1String("'new' on sink-input"));
    }

private:
    QProcess subscribe_;
    QString seen_;
};

// Closes every message box that comes up while it lives, and keeps what each one said.
class BoxCloser : public QObject {
public:
    BoxCloser()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.append({box->windowTitle(), box->text(), box->icon()});
                box->close();
            }
        });
        timer_.start(20);
    }
    struct Box {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };
    QList<Box> boxes;

private:
    QTimer timer_;
};

speech::VoiceCreation notRegistered()
{
    speech::VoiceCreation made;
    made.status = speech::REGDB_E_CLASSNOTREG;
    return made;
}

speech::VoiceCreation engineFailed()
{
    speech::VoiceCreation made;
    made.status = speech::E_FAIL;
    made.description = QStringLiteral("The speech engine could not be started.\r\n");
    return made;
}

// The last one as the program has it, where the module cannot be found.
speech::VoiceCreation (*const failingFactories[])() = {&notRegistered, &engineFailed,
                                                       &speech::createDesktopVoiceOnFirstUse};

} // namespace

class TestDegradedWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setApplicationName(QStringLiteral("晨星学堂"));
    }

    void soundButtonWithoutRecordings_data()
    {
        QTest::addColumn<bool>("module");
        QTest::newRow("recordings missing") << true;  // the alert plays
        QTest::newRow("module missing too") << false;  // nothing plays
    }
    void soundButtonWithoutRecordings()
    {
        QFETCH(bool, module);
        media::handOver(module ? &media::linkedModule() : nullptr);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });

        SoundServerEvents events;
        if (!events.start())
            QSKIP("no sound server to listen to");

        TForm1 form(dictionary::makeDesktopSoundOutput());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        BoxCloser closer;

        for (const content::Row* row : {&content::SoundTable.rows.front(), &content::SoundTable.rows.back()}) {
            QVERIFY(!QFile::exists(dictionary::recordingFile(row->payloads[0])));
            form.ComboBox1->lineEdit()->clear();
            QTest::keyClicks(form.ComboBox1->lineEdit(), latin1(row->key));
            events.take();
            QTest::mouseClick(form.Image4, Qt::LeftButton);
            if (module) {
                QTRY_VERIFY_WITH_TIMEOUT(events.streamStarted(), 10000);
            } else {
                QTest::qWait(500);
                QVERIFY(!events.streamStarted());
            }
        }
        // The window goes on answering.
        const content::Row& entry = content::TypedEntryTable.rows.front();
        form.ComboBox1->lineEdit()->clear();
        QTest::keyClicks(form.ComboBox1->lineEdit(), latin1(entry.key));
        QCOMPARE(form.Memo1->toPlainText(), content::paneText(entry.payloads[0]));
        QVERIFY(closer.boxes.isEmpty());
    }

    void readAloudWithoutSpeechEngine_data()
    {
        QTest::addColumn<int>("factory");
        QTest::addColumn<QString>("message");
        QTest::newRow("not installed") << 0 << QStringLiteral("Class not registered.");
        QTest::newRow("fails to start") << 1 << QStringLiteral("The speech engine could not be started.");
        QTest::newRow("module missing") << 2 << QStringLiteral("Class not registered.");
    }
    void readAloudWithoutSpeechEngine()
    {
        QFETCH(int, factory);
        QFETCH(QString, message);
        media::handOver(nullptr);  // this test's folder has no module
        BoxCloser closer;
        speech::TForm2 form(failingFactories[factory]);
        QCOMPARE(closer.boxes.size(), 1);
        QCOMPARE(closer.boxes[0].title, QStringLiteral("晨星学堂"));
        QCOMPARE(closer.boxes[0].text, message);
        QCOMPARE(closer.boxes[0].icon, QMessageBox::Critical);
        QVERIFY(!form.voice());

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Without a voice the speech buttons do nothing, and say nothing either.
        for (QToolButton* b : {form.SpeedButton1, form.SpeedButton2, form.SpeedButton3, form.SpeedButton4})
            QTest::mouseClick(b, Qt::LeftButton);
        QTest::qWait(100);
        QCOMPARE(closer.boxes.size(), 1);

        // The pane still takes text and the clear button still empties it.
        form.Memo1->clear();
        QTest::keyClicks(form.Memo1, QStringLiteral("read me"));
        QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("read me"));
        QTest::mouseClick(form.SpeedButton5, Qt::LeftButton);
        QVERIFY(form.Memo1->toPlainText().isEmpty());
        QTest::mouseClick(form.SpeedButton6, Qt::LeftButton);
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(closer.boxes.size(), 1);
    }
};

QTEST_MAIN(TestDegradedWindows)
#include "test_degraded_windows.moc"
