// The installed tree: `cmake --install` of this build into a fresh prefix, read back the way a
// desktop menu, a software centre and the program itself read it.
#include <algorithm>
#include <set>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "content/tables.h"
#include "review/cards.h"
#include "tests/support/gbk.h"

using namespace testsupport;

namespace {

// The package's two programs: the dictionary and the card drill.
struct Program {
    const char* binary;
    const char* appId;
    const char* name;
    const char* iconSource;
};
const Program kPrograms[] = {
    {"chenxing", "io.github.chenxing.Chenxing", "晨星学堂", "/app/icons/chenxing.svg"},
    {"chenxing-review", "io.github.chenxing.ChenxingReview", "晨星复习", "/review/icons/chenxing-review.svg"},
};

// The [Desktop Entry] group, key (with its [locale]) to value.
QMap<QString, QString> desktopEntry(const QString& path)
{
    QMap<QString, QString> entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entry;
    QString group;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            group = line;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (group == QLatin1String("[Desktop Entry]") && eq > 0)
            entry.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return entry;
}

struct Metainfo {
    QString type, id, name, launchableType, launchable, metadataLicense, projectLicense;
    QString binary, screenshot, firstRelease;
    bool contentRating = false;
};

Metainfo readMetainfo(const QString& path)
{
    Metainfo m;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return m;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto tag = xml.name();
        const bool untranslated = xml.attributes().value(QLatin1String("xml:lang")).isEmpty();
        if (tag == QLatin1String("component")) {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
        } else if (tag == QLatin1String("id")) {
            m.id = xml.readElementText();
        } else if (tag == QLatin1String("name") && untranslated && m.name.isEmpty()) {
            m.name = xml.readElementText();
        } else if (tag == QLatin1String("launchable")) {
            m.launchableType = xml.attributes().value(QLatin1String("type")).toString();
            m.launchable = xml.readElementText();
        } else if (tag == QLatin1String("metadata_license")) {
            m.metadataLicense = xml.readElementText();
        } else if (tag == QLatin1String("project_license")) {
            m.projectLicense = xml.readElementText();
        } else if (tag == QLatin1String("binary")) {
            m.binary = xml.readElementText();
        } else if (tag == QLatin1String("image") && m.screenshot.isEmpty()) {
            m.screenshot = xml.readElementText();
        } else if (tag == QLatin1String("release") && m.firstRelease.isEmpty()) {
            m.firstRelease = xml.attributes().value(QLatin1String("version")).toString();
        } else if (tag == QLatin1String("content_rating")) {
            m.contentRating = true;
        }
    }
    if (xml.hasError())
        m.type = QStringLiteral("parse error: ") + xml.errorString();
    return m;
}

// Runs a validator on one file; empty on success, its report otherwise.
QString validatorComplaint(const QString& program, QStringList args, const QString& file)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args << file);
    if (!p.waitForFinished(120000))
        return program + QStringLiteral(" did not finish");
    const QString out = QString::fromUtf8(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("%1 exit %2:\n%3").arg(program).arg(p.exitCode()).arg(out);
    return {};
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir prefix_;

    QString installed(const QString& relative) const { return QDir(prefix_.path()).filePath(relative); }
    QString desktopFile(const Program& p) const
    {
        return installed(QStringLiteral("share/applications/%1.desktop").arg(QLatin1String(p.binary)));
    }
    QString metainfoFile(const Program& p) const
    {
        return installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(QLatin1String(p.appId)));
    }
    // Each program's row of a data-driven case.
    static void perProgram()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kPrograms)); ++i)
            QTest::newRow(kPrograms[i].binary) << i;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(prefix_.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(CHENXING_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(CHENXING_BUILD_DIR), QStringLiteral("--prefix"), prefix_.path()});
        QVERIFY(install.waitForFinished(300000));
        const QByteArray log = install.readAll();
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0, log.constData());
    }

    // What the menu runs: the program on PATH, started in the folder that holds the recordings.
    void desktopEntryStartsTheProgramWhereItsRecordingsAre_data() { perProgram(); }
    void desktopEntryStartsTheProgramWhereItsRecordingsAre()
    {
        QFETCH(int, index);
        const Program& p = kPrograms[index];
        const auto entry = desktopEntry(desktopFile(p));
        QVERIFY2(!entry.isEmpty(), qPrintable(desktopFile(p)));
        QCOMPARE(entry.value("Type"), QStringLiteral("Application"));
        QCOMPARE(entry.value("Name"), QString::fromUtf8(p.name));
        QCOMPARE(entry.value("Exec"), QLatin1String(p.binary));
        QCOMPARE(entry.value("Icon"), QLatin1String(p.binary));
        QCOMPARE(entry.value("Terminal"), QStringLiteral("false"));
        const QStringList categories = entry.value("Categories").split(QLatin1Char(';'), Qt::SkipEmptyParts);
        QVERIFY(categories.contains("Education") && categories.contains("Languages"));

        const QString english = entry.value("Comment");
        QVERIFY(!english.isEmpty());
        for (QChar c : english)
            QVERIFY2(c.unicode() < 0x80, qPrintable(english));
        const QString chinese = entry.value("Comment[zh_CN]");
        QVERIFY(std::any_of(chinese.begin(), chinese.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; }));
        QVERIFY2(toGbk(chinese.toStdString()).has_value(), qPrintable(chinese));

        const QFileInfo program(installed(QStringLiteral("bin/") + QLatin1String(p.binary)));
        QVERIFY(program.isFile() && program.isExecutable());
        // The modules the programs load when first needed, where they look: ../lib/chenxing.
        for (const char* module : {"chenxing-media", "chenxing-review-stats"})
            QVERIFY2(QFileInfo(program.dir().filePath(QStringLiteral("../lib/chenxing/%1.so").arg(QLatin1String(module)))).isFile(),
                     module);

        const QString dataDir = QDir::cleanPath(installed(QStringLiteral(CHENXING_DATADIR "/chenxing")));
        QCOMPARE(QDir::cleanPath(entry.value("Path")), dataDir);
        if (!CHENXING_RECORDINGS || index > 0)
            return;  // the recordings are counted once
        // Every file the sound table and the review cards name, resolved the way the programs
        // resolve them, and no others.
        std::set<QString> named;
        for (const content::Row& row : content::SoundTable.rows)
            named.insert(q(row.payloads[0]).replace(QLatin1Char('\\'), QLatin1Char('/')));
        for (const review::Card& card : review::allCards())
            named.insert(q(card.recording).replace(QLatin1Char('\\'), QLatin1Char('/')));
        for (const QString& relative : named)
            QVERIFY2(QFileInfo(QDir(dataDir).filePath(relative)).size() > 44, qPrintable(relative));
        QDirIterator wav(dataDir + QStringLiteral("/sound"), {QStringLiteral("*.wav")}, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        for (; wav.hasNext(); wav.next())
            ++count;
        QCOMPARE(count, static_cast<int>(named.size()));
    }

    void iconsInEveryThemeSize_data() { perProgram(); }
    void iconsInEveryThemeSize()
    {
        QFETCH(int, index);
        const Program& p = kPrograms[index];
        const QString name = QLatin1String(p.binary);
        QFile source(QStringLiteral(CHENXING_SOURCE_DIR) + QLatin1String(p.iconSource));
        QFile scalable(installed(QStringLiteral(CHENXING_DATADIR "/icons/hicolor/scalable/apps/%1.svg").arg(name)));
        QVERIFY(source.open(QIODevice::ReadOnly) && scalable.open(QIODevice::ReadOnly));
        QCOMPARE(scalable.readAll(), source.readAll());

        const QStringList sizes = QStringLiteral(CHENXING_ICON_SIZES).split(QLatin1Char(','));
        for (const char* needed : {"16", "32", "48"})
            QVERIFY(sizes.contains(QLatin1String(needed)));
        for (const QString& s : sizes) {
            const int n = s.toInt();
            const QString path = installed(QStringLiteral(CHENXING_DATADIR "/icons/hicolor/%1x%1/apps/%2.png").arg(n).arg(name));
            QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(n, n));
            QVERIFY(image.hasAlphaChannel());
            // A picture on a clear ground, drawn over the whole square.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(n - 1, n - 1)), 0);
            QCOMPARE(qAlpha(image.pixel(n / 2, n / 2)), 255);
            QCOMPARE(qAlpha(image.pixel(n / 2, n / 8)), 255);
            std::set<QRgb> colours;
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x)
                    colours.insert(image.pixel(x, y));
            QVERIFY2(colours.size() > 4, qPrintable(path));
        }
    }

    void metainfoDescribesThisRelease_data() { perProgram(); }
    void metainfoDescribesThisRelease()
    {
        QFETCH(int, index);
        const Program& p = kPrograms[index];
        const Metainfo m = readMetainfo(metainfoFile(p));
        QCOMPARE(m.type, QStringLiteral("desktop-application"));
        QCOMPARE(m.id, QLatin1String(p.appId));
        QCOMPARE(m.name, QString::fromUtf8(p.name));
        QCOMPARE(m.launchableType, QStringLiteral("desktop-id"));
        QCOMPARE(m.launchable, QFileInfo(desktopFile(p)).fileName());
        QCOMPARE(m.binary, QLatin1String(p.binary));
        QCOMPARE(m.metadataLicense, QStringLiteral("CC0-1.0"));
        QVERIFY(m.projectLicense.contains(QLatin1String("OFL-1.1")));
        QVERIFY(m.screenshot.startsWith(QLatin1String("https://")) && m.screenshot.endsWith(QLatin1String(".png")));
        QVERIFY(m.contentRating);
        // The newest release listed is the version being built.
        QCOMPARE(m.firstRelease, QStringLiteral(CHENXING_VERSION));
    }

    // The phonetic font inside the program travels with its notice and licence.
    void licencesAndManual()
    {
        QFile ofl(installed(QStringLiteral(CHENXING_DATADIR "/doc/chenxing/OFL.txt")));
        QVERIFY(ofl.open(QIODevice::ReadOnly));
        const QByteArray text = ofl.readAll();
        QVERIFY(text.contains("SIL OPEN FONT LICENSE Version 1.1"));
        QVERIFY(text.contains("Reserved Font Names \"Charis\" and \"SIL\""));
        QVERIFY(QFileInfo(installed(QStringLiteral(CHENXING_DATADIR "/doc/chenxing/copyright"))).size() > 0);
        for (const Program& p : kPrograms) {
            QFile man(installed(QStringLiteral(CHENXING_DATADIR "/man/man1/%1.1.gz").arg(QLatin1String(p.binary))));
            QVERIFY2(man.open(QIODevice::ReadOnly), p.binary);
            QVERIFY(man.read(2) == QByteArray("\x1f\x8b"));
        }
    }

    void desktopFileValidates_data() { perProgram(); }
    void desktopFileValidates()
    {
        QFETCH(int, index);
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (tool.isEmpty())
            QSKIP("desktop-file-validate is not installed (desktop-file-utils)");
        const QString complaint = validatorComplaint(tool, {}, desktopFile(kPrograms[index]));
        QVERIFY2(complaint.isEmpty(), qPrintable(complaint));
    }

    void metainfoValidates_data() { perProgram(); }
    void metainfoValidates()
    {
        QFETCH(int, index);
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (tool.isEmpty())
            QSKIP("appstreamcli is not installed (appstream)");
        const QString complaint = validatorComplaint(tool, {QStringLiteral("validate"), QStringLiteral("--no-net")}, metainfoFile(kPrograms[index]));
        QVERIFY2(complaint.isEmpty(), qPrintable(complaint));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
