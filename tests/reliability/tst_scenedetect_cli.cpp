#include "VkMediaTestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtEndian>
#include <QtTest>

#include <filesystem>
#include <string>

namespace {

QByteArray mediaBytes(const char* name)
{
    QFile f(VkMediaTestFiles::dir() + QLatin1Char('/') + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The MP4 with its sample data from `fromFraction` of the way through to the end overwritten with
// zeros: the header and the sample table stay whole, so every frame is listed, but the frames in the
// zeroed part cannot be decoded. Empty when the file has no plain 32-bit 'mdat' box.
QByteArray mp4WithZeroedSamples(QByteArray mp4, double fromFraction)
{
    const int type = mp4.indexOf("mdat");
    if (type < 4)
        return QByteArray();
    const quint32 boxSize = qFromBigEndian<quint32>(mp4.constData() + type - 4);
    const int payload = type + 4;
    const int end = type - 4 + int(boxSize);
    if (boxSize < 8 || end > mp4.size())
        return QByteArray();
    const int from = payload + int((end - payload) * fromFraction);
    std::fill(mp4.begin() + from, mp4.begin() + end, '\0');
    return mp4;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    quint32 state = 0x2545F491u;
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        c = char(state >> 24);
    }
    return bytes;
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// vkscenedetect in `dir` with `args` as given; `shellName`, when set, is added last as the bytes that
// printf's %b makes of it, so that a name can hold bytes that are not UTF-8.
Run runTool(const QString& dir, const QStringList& args, const QString& shellName = QString())
{
    QProcess process;
    process.setWorkingDirectory(dir);
    if (shellName.isEmpty()) {
        process.start(QStringLiteral(VK_SCENEDETECT), args);
    } else {
        QStringList shellArgs{QStringLiteral("-c"),
                              QStringLiteral("exec \"$@\" \"$(printf '%b' \"$NAME\")\""),
                              QStringLiteral("sh"), QStringLiteral(VK_SCENEDETECT)};
        shellArgs += args;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NAME"), shellName);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral("sh"), shellArgs);
    }
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool isUtf8(const QByteArray& bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

} // namespace

// The command-line detector as a script calls it: its exit code tells a finished run from one that
// failed part way and from a file without video; a name is always a file, whatever it looks like to
// FFmpeg; and --json prints valid UTF-8 whatever bytes the name holds.
class tst_SceneDetectCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exitCodes_data();
    void exitCodes();
    void namesAreFiles_data();
    void namesAreFiles();
    void jsonNames_data();
    void jsonNames();

private:
    QTemporaryDir m_work;
};

void tst_SceneDetectCli::initTestCase()
{
    VK_ENSURE_TEST_MEDIA();
    QVERIFY(m_work.isValid());
}

void tst_SceneDetectCli::exitCodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("whole clip") << mediaBytes("small.mp4") << 0;
    QTest::newRow("sound only") << mediaBytes("tone.wav") << 2;
    QTest::newRow("random bytes") << randomBytes(4096) << 2;
    // Every one of the 25 frames is listed but none decodes: no video to analyse.
    QTest::newRow("no decodable frame") << mp4WithZeroedSamples(mediaBytes("small.mp4"), 0.0) << 2;
    // The 750 frames are listed; about the second half cannot be read. The run stops part way, and
    // a last scene that reached frame 750 would cover frames nobody saw.
    QTest::newRow("unreadable from the middle on") << mp4WithZeroedSamples(mediaBytes("long.mp4"), 0.5) << 1;
}

void tst_SceneDetectCli::exitCodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, exitCode);
    QVERIFY(!bytes.isEmpty());
    const QString name = QStringLiteral("exit_%1.bin").arg(QTest::currentDataTag()).replace(' ', '_');
    QVERIFY(writeFile(m_work.filePath(name), bytes));
    const Run run = runTool(m_work.path(), {QStringLiteral("--json"), name});
    QVERIFY2(run.exitCode == exitCode, run.err.constData());
    if (exitCode == 0) {
        const QJsonObject result = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(result.value("frameCount").toInt(), 25);
    } else {
        // A failure prints no result a script could take for one, and says why.
        QVERIFY2(run.out.isEmpty(), run.out.constData());
        QVERIFY(run.err.contains(name.toUtf8()));
    }
}

void tst_SceneDetectCli::namesAreFiles_data()
{
    QTest::addColumn<QString>("name");
    // FFmpeg would read "concat:base.mp4" as the protocol that joins files, and "file:base.mp4" as
    // base.mp4: both times the 25 frames of another file.
    QTest::newRow("concat protocol") << QStringLiteral("concat:base.mp4");
    QTest::newRow("file protocol") << QStringLiteral("file:base.mp4");
}

void tst_SceneDetectCli::namesAreFiles()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("base.mp4")), mediaBytes("small.mp4")));
    QVERIFY(writeFile(dir.filePath(name), randomBytes(2048)));
    // The named file is random bytes: not a video, whatever base.mp4 holds.
    const Run run = runTool(dir.path(), {name});
    QVERIFY2(run.exitCode == 2, run.out.constData());
    QVERIFY2(!run.out.contains("25 frames"), run.out.constData());
    // The same name for a real clip is that clip.
    QVERIFY(writeFile(dir.filePath(name), mediaBytes("long.mp4")));
    const Run real = runTool(dir.path(), {QStringLiteral("--json"), name});
    QVERIFY2(real.exitCode == 0, real.err.constData());
    const QJsonObject result = QJsonDocument::fromJson(real.out).object();
    QCOMPARE(result.value("file").toString(), name);
    QCOMPARE(result.value("frameCount").toInt(), 750);
}

void tst_SceneDetectCli::jsonNames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    // The name's bytes, written for printf's %b (octal escapes), and the "file" value expected back:
    // well-formed UTF-8 as it is, every other byte as U+FFFD.
    QTest::newRow("Latin-1 e acute") << QByteArray("caf\\0351.mp4") << QStringLiteral("caf\uFFFD.mp4");
    QTest::newRow("UTF-8 e acute") << QByteArray("caf\\0303\\0251.mp4") << QStringLiteral("caf\u00E9.mp4");
    // A surrogate encoded as UTF-8 (CESU) and an overlong slash are not UTF-8: one U+FFFD per byte.
    QTest::newRow("encoded surrogate")
        << QByteArray("s\\0355\\0240\\0200.mp4") << QStringLiteral("s\uFFFD\uFFFD\uFFFD.mp4");
    QTest::newRow("cut sequence at the end")
        << QByteArray("clip.mp4\\0342\\0202") << QStringLiteral("clip.mp4\uFFFD\uFFFD");
    QTest::newRow("quote, backslash, tab")
        << QByteArray("a\"b\\\\c\\td.mp4") << QStringLiteral("a\"b\\c\td.mp4");
}

void tst_SceneDetectCli::jsonNames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Made by the shell from the same escapes, so that the file holds exactly the bytes named.
    QProcess make;
    make.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NAME"), QString::fromLatin1(bytes));
    make.setProcessEnvironment(env);
    make.start(QStringLiteral("sh"),
               {QStringLiteral("-c"), QStringLiteral("cp \"$0\" \"$(printf '%b' \"$NAME\")\""),
                VkMediaTestFiles::dir() + QStringLiteral("/small.mp4")});
    QVERIFY(make.waitForFinished(10000) && make.exitCode() == 0);

    const Run run = runTool(dir.path(), {QStringLiteral("--json")}, QString::fromLatin1(bytes));
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY2(isUtf8(run.out), run.out.toHex().constData());
    QJsonParseError parseError;
    const QJsonObject result = QJsonDocument::fromJson(run.out, &parseError).object();
    QVERIFY2(parseError.error == QJsonParseError::NoError, qPrintable(parseError.errorString()));
    QCOMPARE(result.value("file").toString(), shown);
    QCOMPARE(result.value("frameCount").toInt(), 25);
}

QTEST_GUILESS_MAIN(tst_SceneDetectCli)
#include "tst_scenedetect_cli.moc"
