// The real program started with one thing missing at a time: the Chinese fonts, the sound
// server, the speech engine, its sound and speech module. Each time it must come up, keep
// running, show no error box except the one for a missing speech engine (once), and end normally
// when its main window is closed.
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/robustness/x_windows.h"

namespace {

const QString kProgram = QStringLiteral(CHENXING_PROGRAM);
const QString kMainTitle = QStringLiteral("晨星学堂 3.9");
const QString kBoxTitle = QStringLiteral("晨星学堂");  // the application's name, the error box's title

struct Outcome {
    bool mainWindowShown = false;
    int errorBoxes = 0;
    bool runningAfterStart = false;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    int exitCode = -1;
    QString output;
};

// Starts the program, closes every error box it raises (counting them), waits until its main
// window is up and the boxes expected have come, then two seconds more for any unexpected box,
// then closes the main window and waits for the exit.
Outcome run(const QProcessEnvironment& env, const QString& workDir, int expectedBoxes, const QString& program = kProgram)
{
    Outcome o;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, {});
    if (!p.waitForStarted(10000))
        return o;

    XWindows x;
    QSet<unsigned long> closedBoxes;
    unsigned long mainWindow = 0;
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer sinceLastWindow;
    // Generous: a sanitizer build starts several times slower.
    while (p.state() == QProcess::Running && clock.elapsed() < 60000) {
        for (const XWindows::Window& w : x.shown(p.processId())) {
            if (w.title == kBoxTitle && !closedBoxes.contains(w.id)) {
                closedBoxes.insert(w.id);
                x.close(w.id);
                sinceLastWindow.start();
            } else if (w.title == kMainTitle && !mainWindow) {
                mainWindow = w.id;
                sinceLastWindow.start();
            }
        }
        if (mainWindow && closedBoxes.size() >= expectedBoxes && sinceLastWindow.elapsed() >= 2000)
            break;
        QTest::qWait(50);
    }
    o.mainWindowShown = mainWindow != 0;
    o.errorBoxes = static_cast<int>(closedBoxes.size());
    o.runningAfterStart = p.state() == QProcess::Running;
    if (mainWindow && o.runningAfterStart)
        x.close(mainWindow);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
    }
    o.exitStatus = p.exitStatus();
    o.exitCode = p.exitCode();
    o.output = QString::fromLocal8Bit(p.readAll());
    return o;
}

QProcessEnvironment baseEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the real X server, as a user has it
    return env;
}

#define VERIFY_CAME_UP_AND_ENDED(o, boxes)                                                         \
    do {                                                                                           \
        if (!(o).output.isEmpty())                                                                 \
            qInfo().noquote() << "program output:\n" << (o).output;                               \
        QVERIFY((o).mainWindowShown);                                                              \
        QCOMPARE((o).errorBoxes, boxes);                                                           \
        QVERIFY((o).runningAfterStart);                                                            \
        QCOMPARE((o).exitStatus, QProcess::NormalExit);                                            \
        QCOMPARE((o).exitCode, 0);                                                                 \
    } while (false)

} // namespace

class TestDegradedStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(kProgram), qPrintable(kProgram));
        QVERIFY2(XWindows().connected(), "needs an X server (DISPLAY)");
    }

    void withoutChineseFonts()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // A font configuration that knows one Latin font folder and nothing else.
        QString fonts;
        for (const char* candidate : {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/charis"})
            if (QDir(QString::fromLatin1(candidate)).exists()) {
                fonts = QString::fromLatin1(candidate);
                break;
            }
        QVERIFY2(!fonts.isEmpty(), "no Latin font folder to keep");
        QFile conf(dir.filePath(QStringLiteral("fonts.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                                  "<fontconfig>\n  <dir>%1</dir>\n  <cachedir>%2</cachedir>\n</fontconfig>\n")
                       .arg(fonts, dir.filePath(QStringLiteral("cache")))
                       .toUtf8());
        conf.close();

        QProcessEnvironment env = baseEnvironment();
        env.insert(QStringLiteral("FONTCONFIG_FILE"), conf.fileName());

        // The configuration really hides every Chinese font.
        const QString fcList = QStandardPaths::findExecutable(QStringLiteral("fc-list"));
        if (!fcList.isEmpty()) {
            QProcess list;
            list.setProcessEnvironment(env);
            list.start(fcList, {QStringLiteral(":lang=zh-cn"), QStringLiteral("family")});
            QVERIFY(list.waitForFinished(30000));
            QCOMPARE(QString::fromUtf8(list.readAllStandardOutput()).trimmed(), QString());
        }

        const Outcome o = run(env, dir.path(), 0);
        VERIFY_CAME_UP_AND_ENDED(o, 0);
    }

    void withoutSoundServer()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcessEnvironment env = baseEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + dir.filePath(QStringLiteral("no-such-socket")));
        const Outcome o = run(env, dir.path(), 0);
        VERIFY_CAME_UP_AND_ENDED(o, 0);
    }

    // A copy of the program in bin/ of a folder of its own, with or without the speech engines
    // (bin/qt.conf names a plugin folder that holds every plugin kind of this Qt, the speech
    // engines only if asked), and the sound and speech module in lib/chenxing: the real one,
    // none, or a file that is no library. Without engine or module the read-aloud window's box
    // comes at start; a module that does not load is found out only when sound or speech is
    // first asked for.
    void withoutSpeechEngineOrModule_data()
    {
        QTest::addColumn<bool>("engines");
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("boxes");
        QTest::newRow("no speech engine") << false << "real" << 1;
        QTest::newRow("no module") << true << "none" << 1;
        QTest::newRow("module that does not load") << true << "broken" << 0;
    }
    void withoutSpeechEngineOrModule()
    {
        QFETCH(bool, engines);
        QFETCH(QString, module);
        QFETCH(int, boxes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QDir systemPlugins(QLibraryInfo::path(QLibraryInfo::PluginsPath));
        QVERIFY(systemPlugins.exists(QStringLiteral("texttospeech")));
        const QString plugins = dir.filePath(QStringLiteral("plugins"));
        QVERIFY(QDir().mkpath(plugins));
        for (const QString& kind : systemPlugins.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (engines || kind != QLatin1String("texttospeech"))
                QVERIFY(QFile::link(systemPlugins.filePath(kind), plugins + QLatin1Char('/') + kind));

        const QString bin = dir.filePath(QStringLiteral("bin"));
        const QString lib = dir.filePath(QStringLiteral("lib/chenxing"));
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(lib));
        QFile conf(bin + QStringLiteral("/qt.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        QString paths = QStringLiteral("[Paths]\n");
        const std::pair<const char*, QLibraryInfo::LibraryPath> kept[] = {
            {"Prefix", QLibraryInfo::PrefixPath},
            {"Libraries", QLibraryInfo::LibrariesPath},
            {"LibraryExecutables", QLibraryInfo::LibraryExecutablesPath},
            {"Binaries", QLibraryInfo::BinariesPath},
            {"QmlImports", QLibraryInfo::QmlImportsPath},
            {"ArchData", QLibraryInfo::ArchDataPath},
            {"Data", QLibraryInfo::DataPath},
            {"Translations", QLibraryInfo::TranslationsPath},
        };
        for (const auto& [key, which] : kept)
            paths += QStringLiteral("%1=%2\n").arg(QLatin1String(key), QLibraryInfo::path(which));
        paths += QStringLiteral("Plugins=%1\n").arg(plugins);
        conf.write(paths.toUtf8());
        conf.close();

        const QString program = bin + QStringLiteral("/chenxing");
        QVERIFY(QFile::copy(kProgram, program));
        const QString moduleFile = lib + QStringLiteral("/chenxing-media.so");
        if (module == QLatin1String("real")) {
            QVERIFY(QFile::copy(QStringLiteral(CHENXING_MEDIA_MODULE), moduleFile));
        } else if (module == QLatin1String("broken")) {
            QFile broken(moduleFile);
            QVERIFY(broken.open(QIODevice::WriteOnly));
            broken.write("not a library\n");
        }

        const Outcome o = run(baseEnvironment(), dir.path(), boxes, program);
        VERIFY_CAME_UP_AND_ENDED(o, boxes);
    }
};

QTEST_GUILESS_MAIN(TestDegradedStartup)
#include "test_degraded_startup.moc"
