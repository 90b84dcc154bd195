// The sound button: its table, the file a word plays, the handler in the main window, the
// desktop output on a real sound server, and the tool that makes the recordings.

#include <map>
#include <memory>
#include <set>

#include <QAudioDevice>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMediaDevices>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtMath>
#include <QtTest>

#include "app/image_button.h"
#include "app/tform1.h"
#include "content/tables.h"
#include "media/desktop_sound.h"

namespace {

// Every recording by folder (number of words in brackets): each word and its file number.
const char* const recordingList = R"(
a (41): absolute 189, absolutely 279, accident 096, accidental 232, account 112, accountant 154,
    ache 288, achieve 128, achievement 243, acid 030, active 031, actual 134, actually 211,
    admit 049, adopt 050, adoption 238, affect 079, affection 205, afraid 125, Africa 106,
    africa 106, African 144, african 144, afterwards 256, alcohol 130, also 071, aluminium 272,
    angel 022, annual 147, appoint 093, appointment 195, April 025, april 025, Asia 062, asia 062,
    Asian 309, asian 309, Atlantic 175, atlantic 175, avoid 082, axis 072
b (30): back 057, bacteria 220, bank 010, banker 102, bare 108, barren 155, battle 011,
    battleship 217, beach 119, bellow 034, best 067, bid 003, billion 172, bitter 009, blush 131,
    boast 158, boil 171, boiler 205, bomb 052, bomber 062, bosom 142, bribe 200, bride 161,
    brief 063, briefly 156, build 106, builder 024, burn 147, burner 117, bus 140
c (41): cadre 222, cafe 250, cancel 178, care 046, career 225, careful 171, carefully 311,
    careless 245, chain 158, chamber 170, chat 017, cheer 117, cheerful 118, cheerfully 270,
    chew 152, chief 088, chiefly 240, child 229, China 047, china 047, chop 067, clarify 418,
    cold 162, colleague 214, command 326, commander 304, common 138, commonplace 430, comrade 335,
    condition 297, conditional 336, consider 302, consideration 452, cordial 177, cost 259,
    counsel 182, cripple 044, crisis 342, cruise 275, cruiser 252, cultivate 269
d (25): damp 007, dance 075, danger 079, dangerous 160, dawn 078, debt 002, decent 053, decide 169,
    defend 132, defender 145, defy 120, delight 059, delightful 150, desire 139, detail 115,
    devil 013, diamond 091, diary 095, discuss 186, discussion 201, dive 072, diver 068, dress 105,
    dull 048, dusk 050
e (24): earnest 057, edit 004, edition 066, editor 034, elbow 059, emperor 049, end 025,
    endless 115, endow 094, engage 187, engagement 172, entire 102, entreat 072, errand 047,
    estimate 077, excess 163, excessive 192, excite 086, excitement 200, excuse 168, exhibit 090,
    exhibition 179, exploit 105, exploitation 234
f (41): fabric 063, fabricate 231, fabrication 249, faculty 228, fair 091, fairly 082, faith 014,
    faithful 136, faithfully 206, fan 133, farm 142, farmer 119, father 053, fatherly 193,
    fatigue 190, fear 047, fearful 172, fearless 216, feed 034, feel 110, feeling 183, fight 019,
    fighter 050, final 187, finally 212, first 075, fish 055, fisher 040, fisherman 181, flame 129,
    follow 095, follower 158, following 205, forest 131, forester 170, fridge 159, fright 013,
    frighten 123, frightful 104, fruit 015, fruitful 115
g (9): game 078, garden 039, gardener 097, genius 120, govern 025, government 096, governor 032,
    grateful 068, grind 103
h (22): half 018, handle 093, happy 037, hard 082, harm 062, harmful 095, harmless 141, harvest 123,
    haul 044, head 053, hear 049, heat 005, heater 041, helicopter 157, help 016, helpful 106,
    helpless 117, hope 017, hopeful 084, hopeless 124, howl 071, hydrogen 137
i (12): idea 060, idiom 040, idol 032, India 006, india 006, Indian 003, indian 003, internet 053,
    irony 055, island 001, issue 038, itch 025
j (2): jail 003, journey 029
k (5): kidnap 026, kindle 015, kiss 010, knave 024, kneel 009
l (16): lag 010, lass 023, league 044, leisure 059, like 090, liquid 105, listen 108, listener 109,
    live 114, lock 120, lose 136, love 141, lovely 142, lover 143, luggage 150, lump 152
m (21): machine 196, magic 125, magnify 226, make 036, maker 053, manual 183, marry 048,
    marshal 109, meadow 090, medal 051, melon 126, merry 027, miracle 182, miser 151, missile 047,
    moan 099, model 031, motto 052, much 038, muscle 065, mutter 016
n (11): naked 032, naughty 012, neck 003, need 067, neglect 077, news 043, nonsense 084, norm 034,
    normal 045, normally 060, number 063
o (8): office 036, officer 037, often 038, oil 039, opium 056, oral 067, ore 074, other 090
p (20): pain 148, painful 252, pair 100, paradise 330, pause 190, persuade 347, pest 037, petty 011,
    pink 062, pledge 210, pocket 079, ponder 144, preach 126, predict 211, prediction 253,
    price 107, prohibit 182, prohibition 342, proud 163, provoke 162
q (1): quiet 009
r (26): radar 201, raid 144, rare 118, rarely 171, rate 029, react 176, reaction 252, reactor 265,
    read 121, reader 072, reading 132, receive 217, receiver 197, reckon 105, refuse 287, remit 080,
    reply 213, resign 224, resignation 284, retail 122, road 076, roadside 242, rogue 070, roll 031,
    roller 090, rumor 073
s (42): sale 137, satisfy 479, Saturday 357, saturday 357, scold 318, scout 136, scrap 134,
    second 189, secondary 498, self 100, serious 468, share 125, should 025, shriek 072, silk 016,
    silver 392, sing 195, singer 191, sire 240, sister 333, skill 259, skillful 456, slave 461,
    slit 083, small 317, smell 252, smile 258, snail 285, sneer 185, sorrow 437, sorrowful 445,
    speak 079, speaker 201, square 177, stain 435, stainless 512, stream 409, strict 082,
    strictly 353, strip 047, subdue 540, swing 326
t (20): tack 024, tall 134, taste 089, taxi 194, teach 095, teacher 092, tear 133, tearful 173,
    thirst 192, tide 159, tiger 141, tire 128, tobacco 211, toil 119, toiler 130, trade 175,
    trader 150, tribe 046, tutor 043, twice 123
u (15): ultimate 014, ultimately 037, uncle 005, uncommon 069, unfair 045, unhappy 046, unlock 042,
    unusual 055, update 021, use 015, useful 018, useless 038, user 008, usual 032, usually 026
v (4): vegetable 037, village 030, vote 009, voter 011
w (9): waist 097, wait 008, waiter 016, welcome 104, what 002, widower 108, width 001, wool 066,
    wrist 116
y (3): yearn 009, youth 007, youthful 014
z (1): zebra 004
)";

struct Recording {
    QString key;
    QString path;  // as the table holds it
};

// The list above, checked against itself: folder counts, folder letters, number format.
std::vector<Recording> expectedRecordings()
{
    std::vector<Recording> list;
    const QRegularExpression token(QStringLiteral(R"(([a-z]) \((\d+)\):|([A-Za-z]+) (\d\d\d)\b)"));
    QString folder;
    int stated = 0, counted = 0;
    const auto closeFolder = [&] {
        if (!folder.isEmpty() && counted != stated)
            qFatal("folder %s: %d words listed, %d stated", qPrintable(folder), counted, stated);
    };
    for (const QRegularExpressionMatch& m : token.globalMatch(QString::fromLatin1(recordingList))) {
        if (!m.captured(1).isEmpty()) {
            closeFolder();
            folder = m.captured(1);
            stated = m.captured(2).toInt();
            counted = 0;
            continue;
        }
        const QString key = m.captured(3);
        if (key.front().toLower() != folder.front())
            qFatal("%s listed under %s", qPrintable(key), qPrintable(folder));
        list.push_back({key, QStringLiteral("sound\\%1\\%2.wav").arg(folder, m.captured(4))});
        ++counted;
    }
    closeFolder();
    return list;
}

QString toQString(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::set<QString> keys(const content::KeyedTextTable& table)
{
    std::set<QString> k;
    for (const content::Row& row : table.rows)
        k.insert(toQString(row.key));
    return k;
}

// Records the files the main window asks for, in order.
class FakeOutput : public dictionary::SoundOutput {
public:
    explicit FakeOutput(QStringList* started)
        : started_(started)
    {
    }
    void play(const QString& file) override { started_->append(file); }

private:
    QStringList* started_;
};

// What the main window shows.
struct Screen {
    QString box, phonetic, entry;
    int listRow;
    bool operator==(const Screen&) const = default;
};

Screen screen(const TForm1& form)
{
    return {form.ComboBox1->currentText(), form.Memo2->toPlainText(), form.Memo1->toPlainText(),
            form.ListBox1->currentRow()};
}

// Types over whatever the input box holds, as a user does.
void type(TForm1& form, const QString& text)
{
    form.ComboBox1->lineEdit()->selectAll();
    QTest::keyClicks(form.ComboBox1, text);
}

void click(TForm1& form)
{
    QTest::mouseClick(form.Image4, Qt::LeftButton);
}

QByteArray le16(int v)
{
    QByteArray b(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(v), b.data());
    return b;
}

QByteArray le32(qint64 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(v), b.data());
    return b;
}

QByteArray chunk(const char* id, const QByteArray& body)
{
    QByteArray c = QByteArray(id, 4) + le32(body.size()) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

QByteArray fmtBody(int tag, int channels, int rate, int bits)
{
    const int block = channels * bits / 8;
    return le16(tag) + le16(channels) + le32(rate) + le32(qint64(rate) * block) + le16(block) + le16(bits);
}

QByteArray riff(const QByteArray& chunks)
{
    return "RIFF" + le32(4 + chunks.size()) + "WAVE" + chunks;
}

// A 440 Hz tone, 16-bit mono.
QByteArray tone(double seconds)
{
    const int rate = 22050;
    QByteArray samples;
    for (int i = 0; i < int(seconds * rate); ++i)
        samples += le16(int(12000 * qSin(2 * M_PI * 440 * i / rate)));
    return riff(chunk("fmt ", fmtBody(1, 1, rate, 16)) + chunk("data", samples));
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Sound streams this process has open on the sound server.
int ourStreams()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(10000) || pactl.exitCode() != 0)
        return -1;
    const QString pid = QStringLiteral("application.process.id = \"%1\"").arg(QCoreApplication::applicationPid());
    return QString::fromUtf8(pactl.readAllStandardOutput()).count(pid);
}

// What a made recording must be: RIFF/WAVE, 16-bit PCM, with sound in it.
QString checkRecording(const QByteArray& f)
{
    if (f.size() < 44 || !f.startsWith("RIFF") || f.mid(8, 4) != "WAVE")
        return QStringLiteral("not RIFF/WAVE");
    int tag = 0, bits = 0;
    for (qsizetype at = 12; at + 8 <= f.size();) {
        const QByteArray id = f.mid(at, 4);
        const qsizetype size = qFromLittleEndian<quint32>(f.constData() + at + 4);
        if (id == "fmt ") {
            tag = qFromLittleEndian<quint16>(f.constData() + at + 8);
            bits = qFromLittleEndian<quint16>(f.constData() + at + 22);
        } else if (id == "data") {
            if (tag != 1 || bits != 16)
                return QStringLiteral("format %1, %2 bits").arg(tag).arg(bits);
            if (at + 8 + size > f.size())
                return QStringLiteral("data chunk runs past the end");
            int peak = 0;
            for (qsizetype i = at + 8; i + 1 < at + 8 + size; i += 2)
                peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(f.constData() + i))));
            // A spoken word peaks near full scale; anything this quiet is silence or noise.
            return peak > 4000 ? QString() : QStringLiteral("silent (peak %1)").arg(peak);
        }
        at += 8 + size + (size & 1);
    }
    return QStringLiteral("no data chunk");
}

QStringList filesUnder(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

class TestSound : public QObject {
    Q_OBJECT
private slots:
    void soundTable();
    void keysOfTheOtherTables();
    void recordingFile();
    void soundButton_data();
    void soundButton();
    void promptAndListSelection();
    void workingDirectory();
    void decodeWave_data();
    void decodeWave();
    void desktopOutput();
    void withoutSoundDevice();
    void recordingsMaker();
};

void TestSound::soundTable()
{
    const std::vector<Recording> expected = expectedRecordings();
    QCOMPARE(int(expected.size()), 449);
    QCOMPARE(int(content::SoundTable.rows.size()), 449);
    QCOMPARE(int(content::SoundTable.targets.size()), 1);
    QCOMPARE(toQString(content::SoundTable.targets[0]), QStringLiteral("play"));

    std::map<QString, QString> table;  // key -> path
    for (const content::Row& row : content::SoundTable.rows) {
        QCOMPARE(int(row.payloads.size()), 1);
        const QString key = toQString(row.key);
        QVERIFY2(table.emplace(key, toQString(row.payloads[0])).second, qPrintable(key + " twice"));
    }
    for (const Recording& r : expected) {
        const auto it = table.find(r.key);
        QVERIFY2(it != table.end(), qPrintable(r.key + " has no row"));
        QCOMPARE(it->second, r.path);
    }

    // Files: 439 in 25 folders a-z without x; a number names one word per folder, and a
    // capitalised key shares the file of its lower-case form.
    std::map<QString, std::set<QString>> wordsOfFile;
    std::set<QChar> folders;
    const QRegularExpression shape(QStringLiteral(R"(^sound\\([a-z])\\(\d\d\d)\.wav$)"));
    for (const auto& [key, path] : table) {
        const QRegularExpressionMatch m = shape.match(path);
        QVERIFY2(m.hasMatch(), qPrintable(path));
        QCOMPARE(m.captured(1), key.left(1).toLower());
        QVERIFY(m.captured(2).toInt() >= 1 && m.captured(2).toInt() <= 540);
        folders.insert(m.captured(1).front());
        wordsOfFile[path].insert(key.toLower());
    }
    QCOMPARE(int(wordsOfFile.size()), 439);
    QCOMPARE(int(folders.size()), 25);
    QVERIFY(!folders.count(QLatin1Char('x')));
    for (const auto& [path, words] : wordsOfFile)
        QVERIFY2(words.size() == 1, qPrintable(path + " is shared by different words"));

    QStringList capitalised;
    for (const auto& [key, path] : table) {
        if (key.front().isUpper()) {
            capitalised << key;
            QCOMPARE(table.at(key.toLower()), path);
        }
    }
    QCOMPARE(capitalised.join(QLatin1Char(' ')),
             QStringLiteral("Africa African April Asia Asian Atlantic China India Indian Saturday"));
}

// Every word the window can show an entry for, and every list word, has a recording; of the
// words with only a phonetic line, 37 have none.
void TestSound::keysOfTheOtherTables()
{
    const std::set<QString> sound = keys(content::SoundTable);
    for (const QString& k : keys(content::WordListTable))
        QVERIFY2(sound.count(k), qPrintable(k + " (word list) has no recording"));
    const std::set<QString> entries = keys(content::TypedEntryTable);
    for (const QString& k : entries)
        QVERIFY2(sound.count(k), qPrintable(k + " (entry) has no recording"));
    QStringList phoneticOnly;
    for (const QString& k : keys(content::TypedPhoneticTable))
        if (!sound.count(k))
            phoneticOnly << k;
    QCOMPARE(phoneticOnly.size(), 37);
    QVERIFY(phoneticOnly.contains(QStringLiteral("entirely")));
    QVERIFY(phoneticOnly.contains(QStringLiteral("background")));
}

void TestSound::recordingFile()
{
    const QString file = dictionary::recordingFile("sound\\b\\155.wav");
    QCOMPARE(file, QDir::currentPath() + QStringLiteral("/sound/b/155.wav"));
    QVERIFY(!file.contains(QLatin1Char('\\')));
}

void TestSound::soundButton_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");  // under the working directory; empty: nothing plays

    QTest::newRow("barren") << "barren" << "sound/b/155.wav";
    QTest::newRow("Africa") << "Africa" << "sound/a/106.wav";
    QTest::newRow("africa") << "africa" << "sound/a/106.wav";
    QTest::newRow("absolute") << "absolute" << "sound/a/189.wav";
    QTest::newRow("derived word") << "absolutely" << "sound/a/279.wav";
    QTest::newRow("Saturday") << "Saturday" << "sound/s/357.wav";
    QTest::newRow("last row") << "zebra" << "sound/z/004.wav";
    QTest::newRow("capitals") << "ABSOLUTE" << "";
    QTest::newRow("AFRICA") << "AFRICA" << "";
    QTest::newRow("phonetic line only") << "entirely" << "";
    QTest::newRow("blank before") << " barren" << "";
    QTest::newRow("blank after") << "barren " << "";
    QTest::newRow("part of a word") << "barre" << "";
}

// One start per click, the same file again on the second; nothing on the screen changes.
void TestSound::soundButton()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QStringList started;
    TForm1 form(std::make_unique<FakeOutput>(&started));
    type(form, typed);
    QCOMPARE(form.ComboBox1->currentText(), typed);
    const Screen before = screen(form);

    const QString expected = file.isEmpty() ? QString() : QDir::current().filePath(file);
    click(form);
    QCOMPARE(started, (expected.isEmpty() ? QStringList() : QStringList{expected}));
    click(form);
    QCOMPARE(started, (expected.isEmpty() ? QStringList() : QStringList{expected, expected}));
    QCOMPARE(screen(form), before);
}

// The box's first text is the prompt: silence. A list pick writes "Africa", typing gives
// "africa": both play one file.
void TestSound::promptAndListSelection()
{
    QStringList started;
    TForm1 form(std::make_unique<FakeOutput>(&started));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.ComboBox1->currentText(), QStringLiteral("请输入单词"));
    click(form);
    QVERIFY(started.isEmpty());

    const QList<QListWidgetItem*> items = form.ListBox1->findItems(QStringLiteral("Africa"), Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    form.ListBox1->scrollToItem(items[0]);
    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, form.ListBox1->visualItemRect(items[0]).center());
    QCOMPARE(form.ComboBox1->currentText(), QStringLiteral("Africa"));
    const Screen picked = screen(form);
    click(form);
    QCOMPARE(screen(form), picked);
    type(form, QStringLiteral("africa"));
    click(form);
    const QString file = QDir::current().filePath(QStringLiteral("sound/a/106.wav"));
    QCOMPARE(started, (QStringList{file, file}));
}

// The file is found from the working directory of the moment; the program never moves it.
void TestSound::workingDirectory()
{
    const QString home = QDir::currentPath();
    QStringList started;
    TForm1 form(std::make_unique<FakeOutput>(&started));
    QCOMPARE(QDir::currentPath(), home);
    type(form, QStringLiteral("barren"));
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    click(form);
    const QString there = QDir::currentPath();
    QVERIFY(QDir::setCurrent(home));
    QCOMPARE(started, QStringList{there + QStringLiteral("/sound/b/155.wav")});
    click(form);
    QCOMPARE(started.last(), home + QStringLiteral("/sound/b/155.wav"));
    QCOMPARE(QDir::currentPath(), home);
}

void TestSound::decodeWave_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("sampleFormat");  // QAudioFormat::SampleFormat; Unknown: not playable
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bytes");

    const QByteArray s16 = fmtBody(1, 1, 22050, 16);
    const QByteArray data(400, '\x10');
    QTest::newRow("16-bit mono") << riff(chunk("fmt ", s16) + chunk("data", data)) << int(QAudioFormat::Int16) << 1 << 400;
    QTest::newRow("8-bit stereo") << riff(chunk("fmt ", fmtBody(1, 2, 8000, 8)) + chunk("data", data))
                                  << int(QAudioFormat::UInt8) << 2 << 400;
    QTest::newRow("float") << riff(chunk("fmt ", fmtBody(3, 1, 44100, 32)) + chunk("data", data))
                           << int(QAudioFormat::Float) << 1 << 400;
    QByteArray extensible = fmtBody(0xFFFE, 2, 48000, 16) + le16(22) + le16(16) + le32(3)
                            + QByteArray::fromHex("0100000000001000800000aa00389b71");
    QTest::newRow("extensible") << riff(chunk("fmt ", extensible) + chunk("data", data)) << int(QAudioFormat::Int16) << 2 << 400;
    QTest::newRow("odd chunk before data") << riff(chunk("fmt ", s16) + chunk("LIST", "abc") + chunk("data", data))
                                           << int(QAudioFormat::Int16) << 1 << 400;
    QTest::newRow("truncated data: whole frames") << riff(chunk("fmt ", s16) + chunk("data", data)).left(44 + 301)
                                                  << int(QAudioFormat::Int16) << 1 << 300;

    const int none = int(QAudioFormat::Unknown);
    QTest::newRow("text") << QByteArray("not a sound at all, just some text") << none << 0 << 0;
    QTest::newRow("empty") << QByteArray() << none << 0 << 0;
    QTest::newRow("header only") << riff(chunk("fmt ", s16)).left(30) << none << 0 << 0;
    QTest::newRow("no data chunk") << riff(chunk("fmt ", s16)) << none << 0 << 0;
    QTest::newRow("no frames") << riff(chunk("fmt ", s16) + chunk("data", {})) << none << 0 << 0;
    QTest::newRow("data before fmt") << riff(chunk("data", data) + chunk("fmt ", s16)) << none << 0 << 0;
    QTest::newRow("compressed") << riff(chunk("fmt ", fmtBody(2, 1, 22050, 4)) + chunk("data", data)) << none << 0 << 0;
    QTest::newRow("24-bit") << riff(chunk("fmt ", fmtBody(1, 1, 22050, 24)) + chunk("data", data)) << none << 0 << 0;
    QTest::newRow("no channels") << riff(chunk("fmt ", fmtBody(1, 0, 22050, 16)) + chunk("data", data)) << none << 0 << 0;
    QTest::newRow("huge chunk size") << riff(chunk("fmt ", s16)) + "JUNK" + le32(0xFFFFFFF0) + "x" << none << 0 << 0;
}

void TestSound::decodeWave()
{
    QFETCH(QByteArray, file);
    QFETCH(int, sampleFormat);
    QFETCH(int, channels);
    QFETCH(int, bytes);
    const std::optional<dictionary::Wave> wave = dictionary::decodeWave(file);
    if (sampleFormat == QAudioFormat::Unknown) {
        QVERIFY(!wave);
        return;
    }
    QVERIFY(wave);
    QCOMPARE(int(wave->format.sampleFormat()), sampleFormat);
    QCOMPARE(wave->format.channelCount(), channels);
    QCOMPARE(int(wave->samples.size()), bytes);
}

// Through the real output on the sound server: the recording plays, a second press starts it
// again with one stream open, it ends by itself; a missing folder, a missing, undecodable or
// unreadable file each give the alert.
void TestSound::desktopOutput()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        QFAIL("no sound output: the sound_server fixture starts one");
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("sound/b/155.wav")), tone(1.5)));     // barren
    QVERIFY(writeFile(dir.filePath(QStringLiteral("sound/a/106.wav")), "RIFF garbage"));  // africa
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("sound/a/279.wav"))));              // absolutely
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString barren = QDir::current().filePath(QStringLiteral("sound/b/155.wav"));

    auto output = std::make_unique<dictionary::DesktopSoundOutput>();
    dictionary::DesktopSoundOutput* desktop = output.get();
    TForm1 form(std::move(output));
    QSignalSpy started(desktop, &dictionary::DesktopSoundOutput::started);

    type(form, QStringLiteral("barren"));
    click(form);
    QTRY_COMPARE(started.size(), 1);
    QCOMPARE(started.at(0).at(0).toString(), barren);
    QTRY_VERIFY(desktop->playing());
    QCOMPARE(ourStreams(), 1);

    click(form);
    QTRY_COMPARE(started.size(), 2);
    QCOMPARE(started.at(1).at(0).toString(), barren);
    QTRY_VERIFY(desktop->playing());
    QCOMPARE(ourStreams(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!desktop->playing(), 15000);

    // Missing folder, missing file, undecodable file, a folder where the file should be.
    int n = 2;
    for (const char* word : {"zebra", "absolute", "africa", "absolutely"}) {
        type(form, QString::fromLatin1(word));
        click(form);
        ++n;
        QTRY_COMPARE(started.size(), n);
        QCOMPARE(started.at(n - 1).at(0).toString(), dictionary::DesktopSoundOutput::alertSound());
    }
    QTRY_VERIFY(desktop->playing());
    QCOMPARE(ourStreams(), 1);
    QVERIFY(QDir::setCurrent(home));
}

// Run on its own with no sound server to reach (test_sound_without_device): nothing plays,
// nothing fails.
void TestSound::withoutSoundDevice()
{
    if (!QMediaDevices::audioOutputs().isEmpty())
        QSKIP("a sound output is present; test_sound_without_device runs this without one");
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("sound/b/155.wav")), tone(0.5)));
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto output = std::make_unique<dictionary::DesktopSoundOutput>();
    dictionary::DesktopSoundOutput* desktop = output.get();
    TForm1 form(std::move(output));
    QSignalSpy started(desktop, &dictionary::DesktopSoundOutput::started);
    for (const char* word : {"barren", "zebra", "barren"}) {
        type(form, QString::fromLatin1(word));
        click(form);
    }
    QTest::qWait(500);
    QVERIFY(started.isEmpty());
    QVERIFY(!desktop->playing());
    QVERIFY(QDir::setCurrent(home));
}

// The recordings maker on a few rows, one of them respelt: exactly the table's files and the
// record of their voice, each a spoken word in 16-bit PCM; a second run makes nothing; files an
// earlier voice made (no record, or another voice's) are made again.
void TestSound::recordingsMaker()
{
    QProcess exporter;
    exporter.start(QStringLiteral(CHENXING_EXPORT), {});
    QVERIFY(exporter.waitForFinished(60000));
    QCOMPARE(exporter.exitCode(), 0);
    const QJsonObject all = QJsonDocument::fromJson(exporter.readAllStandardOutput()).object();
    QJsonObject table;
    for (const QJsonValue t : all.value(QStringLiteral("tables")).toArray())
        if (t.toObject().value(QStringLiteral("name")).toString() == QStringLiteral("SoundTable"))
            table = t.toObject();
    QVERIFY(!table.isEmpty());

    const QStringList chosen = {QStringLiteral("barren"), QStringLiteral("Africa"), QStringLiteral("africa"),
                                QStringLiteral("absolute"), QStringLiteral("absolutely"),
                                QStringLiteral("quiet"), QStringLiteral("zebra")};
    QJsonArray rows;
    QStringList expected;
    for (const QJsonValue r : table.value(QStringLiteral("rows")).toArray()) {
        if (!chosen.contains(r.toObject().value(QStringLiteral("key")).toString()))
            continue;
        rows.append(r);
        const QString path = r.toObject().value(QStringLiteral("payloads")).toArray().at(0).toString();
        const QString file = path.section(QLatin1Char('\\'), 1).replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!expected.contains(file))
            expected << file;
    }
    QCOMPARE(rows.size(), chosen.size());
    expected.sort();
    QCOMPARE(expected.size(), 6);
    table.insert(QStringLiteral("rows"), rows);
    const QByteArray input = QJsonDocument(QJsonObject{{QStringLiteral("tables"), QJsonArray{table}}}).toJson();

    QTemporaryDir out, sources;
    const QString respellings = sources.filePath(QStringLiteral("respellings.txt"));
    const auto run = [&](const QByteArray& respelt) {
        if (!writeFile(respellings, respelt))
            return false;
        QProcess maker;
        maker.start(QStringLiteral(CHENXING_PYTHON),
                    {QStringLiteral(CHENXING_SOURCE_DIR "/tools/make_recordings.py"), out.path(), respellings});
        maker.write(input);
        maker.closeWriteChannel();
        const bool finished = maker.waitForFinished(120000);
        return finished && maker.exitStatus() == QProcess::NormalExit && maker.exitCode() == 0;
    };
    const auto madeAt = [&] {
        std::map<QString, QDateTime> made;
        for (const QString& file : expected)
            made[file] = QFileInfo(out.filePath(file)).lastModified();
        return made;
    };
    QStringList listed = expected;
    listed << QStringLiteral("voice.txt");
    listed.sort();
    const QByteArray zebra = "zebra  z eh1 b r ax0  # a respelling\n";
    QVERIFY(run(zebra));
    QCOMPARE(filesUnder(out.path()), listed);
    for (const QString& file : expected) {
        QFile f(out.filePath(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QString fault = checkRecording(bytes);
        QVERIFY2(fault.isEmpty(), qPrintable(file + ": " + fault));
        QVERIFY(dictionary::decodeWave(bytes));  // and the player takes it
    }
    std::map<QString, QDateTime> made = madeAt();

    QVERIFY(run(zebra));
    QCOMPARE(filesUnder(out.path()), listed);
    QVERIFY(madeAt() == made);

    // A changed respelling makes its word again, and only that word; one for a word the table
    // lacks stops the maker.
    QVERIFY(run("zebra  z iy1 b r ax0\n"));
    std::map<QString, QDateTime> now = madeAt();
    for (const QString& file : expected)
        QCOMPARE(now[file] != made[file], file == QStringLiteral("z/004.wav"));
    QVERIFY(!run("zebras  z eh1 b r ax0 z\n"));

    QFile record(out.filePath(QStringLiteral("voice.txt")));
    QVERIFY(record.open(QIODevice::ReadOnly));
    QByteArray older = record.readAll();
    record.close();
    older.replace(0, older.indexOf('\n'), "espeak-ng en-gb");
    for (const QByteArray& left : {older, QByteArray()}) {
        for (const QString& file : expected)
            QVERIFY(writeFile(out.filePath(file), "RIFF from the earlier voice"));
        if (left.isEmpty())
            QVERIFY(QFile::remove(out.filePath(QStringLiteral("voice.txt"))));
        else
            QVERIFY(writeFile(out.filePath(QStringLiteral("voice.txt")), left));
        QVERIFY(run(zebra));
        for (const QString& file : expected) {
            QFile f(out.filePath(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString fault = checkRecording(f.readAll());
            QVERIFY2(fault.isEmpty(), qPrintable(file + " not made again: " + fault));
        }
    }
}

QTEST_MAIN(TestSound)
#include "test_sound.moc"
