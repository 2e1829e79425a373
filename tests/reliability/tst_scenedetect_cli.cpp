#include "VkMediaTestFiles.h"
#include "VkTestFiles.h"
#include "VkTestProcess.h"
#include "VkTestStrings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace VkTestLiterals;

namespace {

QByteArray mediaBytes(const char* name)
{
    return readBytes(VkMediaTestFiles::dir() + QLatin1Char('/') + QLatin1String(name));
}

// The MP4 with its sample data from `fromFraction` of the way through to the end overwritten with
// zeros: the header and the sample table stay whole, so every frame is listed, but the frames in the
// zeroed part cannot be decoded. Empty when the file has no plain 32-bit 'mdat' box.
QByteArray mp4WithZeroedSamples(QByteArray mp4, double fromFraction)
{
    const int type = mp4.indexOf("mdat");
    const int end = type - 4 + int(type < 4 ? 0 : qFromBigEndian<quint32>(mp4.constData() + type - 4));
    if (type < 4 || end < type + 4 || end > mp4.size())
        return QByteArray();
    const int from = type + 4 + int((end - type - 4) * fromFraction);
    std::fill(mp4.begin() + from, mp4.begin() + end, '\0');
    return mp4;
}

} // namespace

// The command-line detector as a script calls it: its exit code tells a finished run from one that
// failed part way and from a file without video; a name is always a file, whatever it looks like to
// FFmpeg; and --json prints valid UTF-8 whatever bytes the name holds.
class tst_SceneDetectCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        QVERIFY(m_work.isValid());
        // What FFmpeg would read in place of a name that looks like a protocol: 25 frames of another file.
        QVERIFY(writeBytes(m_work.filePath("base.mp4"_s), mediaBytes("small.mp4")));
    }
    void exitCodes_data()
    {
        QTest::addColumn<QString>("name"); // its bytes, written for printf's %b (octal escapes)
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("shown"); // the "file" value, or what the failure names
        const QByteArray clip = mediaBytes("small.mp4");
        // Seeded, so that a failure can be replayed with the same bytes.
        QByteArray noise(4096, '\0');
        QRandomGenerator(0x2545F491u).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QTest::newRow("whole clip") << "whole.mp4"_s << clip << 0 << 25 << "whole.mp4"_s;
        QTest::newRow("sound only") << "tone.bin"_s << mediaBytes("tone.wav") << 2 << 0 << "tone.bin"_s;
        QTest::newRow("random bytes") << "random.bin"_s << noise << 2 << 0 << "random.bin"_s;
        // Every one of the 25 frames is listed but none decodes: no video to analyse.
        QTest::newRow("no decodable frame")
            << "dead.mp4"_s << mp4WithZeroedSamples(clip, 0.0) << 2 << 0 << "dead.mp4"_s;
        // The 750 frames are listed; about the second half cannot be read. The run stops part way, and
        // a last scene that reached frame 750 would cover frames nobody saw.
        QTest::newRow("unreadable from the middle on")
            << "half.mp4"_s << mp4WithZeroedSamples(mediaBytes("long.mp4"), 0.5) << 1 << 0 << "half.mp4"_s;
        // FFmpeg would read "concat:base.mp4" as the protocol that joins files; the named file is what
        // counts, random bytes or a clip of its own.
        QTest::newRow("concat protocol, random bytes")
            << "concat:base.mp4"_s << noise.left(2048) << 2 << 0 << "concat:base.mp4"_s;
        QTest::newRow("concat protocol, a clip")
            << "concat:base.mp4"_s << mediaBytes("long.mp4") << 0 << 750 << "concat:base.mp4"_s;
        // --json prints well-formed UTF-8 of a name as it is, and every other byte as U+FFFD: a surrogate
        // encoded as UTF-8 (CESU) and an overlong slash are not UTF-8.
        QTest::newRow("UTF-8 e acute")
            << "caf\\0303\\0251.mp4"_s << clip << 0 << 25 << QStringLiteral("caf\u00E9.mp4");
        QTest::newRow("encoded surrogate")
            << "s\\0355\\0240\\0200.mp4"_s << clip << 0 << 25 << QStringLiteral("s\uFFFD\uFFFD\uFFFD.mp4");
        QTest::newRow("cut sequence at the end")
            << "clip.mp4\\0342\\0202"_s << clip << 0 << 25 << QStringLiteral("clip.mp4\uFFFD\uFFFD");
        QTest::newRow("quote, backslash, tab")
            << "a\"b\\\\c\\td.mp4"_s << clip << 0 << 25 << "a\"b\\c\td.mp4"_s;
    }
    void exitCodes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, exitCode);
        QFETCH(QString, shown);
        QVERIFY(!bytes.isEmpty() && writeBytes(m_work.filePath("input.bin"_s), bytes));
        // The shell makes the name's bytes and the file that holds exactly them; the detector is "$0".
        const VkProcessRun run = vkRunProcess(
            "sh"_s,
            {"-c"_s, "n=\"$(printf '%b' \"$NAME\")\" && cp input.bin \"$n\" && exec \"$0\" --json \"$n\""_s,
             QStringLiteral(VK_SCENEDETECT)},
            {{"NAME"_s, name}}, 120000, m_work.path());
        QVERIFY2(run.exitCode == exitCode, run.err.constData());
        if (exitCode != 0) {
            // A failure prints no result a script could take for one, and says why.
            QVERIFY2(run.out.isEmpty(), run.out.constData());
            QVERIFY(run.err.contains(shown.toUtf8()));
            return;
        }
        // Bytes that are not UTF-8 come back from a decode and encode as U+FFFD, so they differ.
        QVERIFY2(QString::fromUtf8(run.out).toUtf8() == run.out, run.out.toHex().constData());
        const QJsonObject result = QJsonDocument::fromJson(run.out).object();
        QVERIFY2(!result.isEmpty(), run.out.constData());
        QTEST(result.value("file"_s).toString(), "shown");
        QTEST(result.value("frameCount"_s).toInt(), "frames");
    }

private:
    QTemporaryDir m_work;
};

QTEST_GUILESS_MAIN(tst_SceneDetectCli)
#include "tst_scenedetect_cli.moc"
