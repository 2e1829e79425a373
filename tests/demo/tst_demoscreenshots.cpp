#include "VkTestMain.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

namespace {

// Generous: the demo makes its sample clip with ffmpeg and runs one scene detection, a few seconds
// even under the sanitizers. The bound only keeps a broken demo from hanging the suite.
constexpr int kDemoTimeoutMs = 5 * 60 * 1000;

} // namespace

class TestDemoScreenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void demoEndsWithoutComplaint();
    void onePicturePerWindow_data();
    void onePicturePerWindow();
    void noOtherPictures();
    void sampleMediaIsReal_data();
    void sampleMediaIsReal();
    void samplePictureKeepsItsAlpha();
    void sampleProjectsAreRecent();
    void rangesReadBackFollowTheCuts();

private:
    QTemporaryDir m_home;
    QTemporaryDir m_shots;
    int m_exitCode = -1;
    QProcess::ExitStatus m_exitStatus = QProcess::CrashExit;
    QString m_stdout;
    QString m_stderr;
};

// The demo runs once, as scripts/demo runs it without a display, in a VK_HOME of its own.
void TestDemoScreenshots::initTestCase()
{
    QVERIFY(m_home.isValid());
    QVERIFY(m_shots.isValid());
    QProcess demo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VK_HOME"), m_home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("VK_TRANSLATIONS_DIR"));
    demo.setProcessEnvironment(environment);
    demo.start(QStringLiteral(VK_DEMO_BINARY), {QStringLiteral("--screenshots"), m_shots.path()});
    QVERIFY2(demo.waitForStarted(), qPrintable(demo.errorString()));
    if (!demo.waitForFinished(kDemoTimeoutMs)) {
        demo.kill();
        demo.waitForFinished();
        QFAIL("the demo did not finish");
    }
    m_exitStatus = demo.exitStatus();
    m_exitCode = demo.exitCode();
    m_stdout = QString::fromLocal8Bit(demo.readAllStandardOutput());
    m_stderr = QString::fromLocal8Bit(demo.readAllStandardError());
}

void TestDemoScreenshots::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

// Exit code 0 means every picture was written and nothing failed on the way; the demo reports each
// sample it could not make as a line of its own ("vkpopup-demo: ...").
void TestDemoScreenshots::demoEndsWithoutComplaint()
{
    QCOMPARE(m_exitStatus, QProcess::NormalExit);
    QVERIFY2(m_exitCode == 0, qPrintable(m_stderr));
    QVERIFY2(!m_stderr.contains(QLatin1String("vkpopup-demo:")), qPrintable(m_stderr));
    QVERIFY(m_stdout.contains(QDir(m_shots.path()).absolutePath()));
}

void TestDemoScreenshots::onePicturePerWindow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    // The fixed sizes of the windows; a picture of another size means the window was laid out
    // wrongly or grabbed before it was.
    QTest::newRow("startup") << "startup" << QSize(800, 452);
    QTest::newRow("startup, empty library") << "startup-empty" << QSize(800, 452);
    QTest::newRow("project settings") << "project-settings" << QSize(480, 328);
    QTest::newRow("scene detection") << "scene-detection" << QSize(1200, 659);
    // Properties are 480 wide; the height is the pages' sum plus 82, cut at 690 so that a taller body
    // scrolls: clip with sound 252 + 180 + 260 + 82 = 774 -> 690; PNG 211 + 175 + 252 + 82 = 720 ->
    // 690; JPEG 211 + 252 + 82 = 545.
    QTest::newRow("properties of the clip") << "media-properties-video" << QSize(480, 690);
    QTest::newRow("properties of the PNG") << "media-properties-png" << QSize(480, 690);
    QTest::newRow("properties of the JPEG") << "media-properties-photo" << QSize(480, 545);
    QTest::newRow("unsupported image") << "unsupported-image" << QSize(480, 312);
    QTest::newRow("demo window") << "demo-window" << QSize(720, 640);
}

void TestDemoScreenshots::onePicturePerWindow()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString path = QDir(m_shots.path()).filePath(name + QStringLiteral(".png"));
    QVERIFY2(m_stdout.contains(path), qPrintable(m_stdout));
    const QImage picture(path);
    QVERIFY2(!picture.isNull(), qPrintable(path));
    QCOMPARE(picture.size(), size);
    // A window grabbed before it painted is one flat colour.
    const QImage small = picture.scaled(16, 16).convertToFormat(QImage::Format_RGB32);
    bool varied = false;
    for (int y = 0; y < small.height() && !varied; ++y)
        for (int x = 0; x < small.width() && !varied; ++x)
            varied = small.pixel(x, y) != small.pixel(0, 0);
    QVERIFY(varied);
}

void TestDemoScreenshots::noOtherPictures()
{
    const QStringList pictures = QDir(m_shots.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    QCOMPARE(pictures.size(), 9);
}

void TestDemoScreenshots::sampleMediaIsReal_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("streams");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("frames");
    // Five shots of 40 frames at 25 fps with a sound track: flags video 1 | audio 2 = 3, 200 frames.
    QTest::newRow("clip") << "sample-clip.mp4" << 3 << QSize(640, 360) << 200;
    // Stills report the image flag 4 and one frame.
    QTest::newRow("PNG") << "sample-alpha.png" << 4 << QSize(480, 270) << 1;
    QTest::newRow("JPEG") << "sample-photo.jpg" << 4 << QSize(640, 426) << 1;
}

// The samples are what the engine makes of them, not just files that exist.
void TestDemoScreenshots::sampleMediaIsReal()
{
    QFETCH(QString, file);
    QFETCH(int, streams);
    QFETCH(QSize, size);
    QFETCH(int, frames);
    QString error;
    const auto item = VkMediaItemFactory::create(
        QDir(m_home.path()).filePath(QStringLiteral("SampleMedia/") + file), &error);
    QVERIFY2(item, qPrintable(error));
    const IVkMediaInfo* info = item->GetMediaInfo();
    QVERIFY(info);
    QCOMPARE(info->GetStreamFlags(), streams);
    QCOMPARE(info->GetFrameCount(), frames);
    if (const auto* video = dynamic_cast<const IVkVideoMediaInfo*>(info); video && (streams & 1))
        QCOMPARE(QSize(video->GetWidth(), video->GetHeight()), size);
    if (const auto* image = dynamic_cast<const IVkImageMediaInfo*>(info); image && (streams & 4)) {
        QCOMPARE(QSize(image->GetWidth(), image->GetHeight()), size);
        if (file.endsWith(QLatin1String(".jpg"))) {
            QCOMPARE(image->GetCameraMaker(), QStringLiteral("Vk Optics"));
            QCOMPARE(image->GetCameraModel(), QStringLiteral("Demo Camera 7"));
            QCOMPARE(image->GetExposureTime(), 2);
        }
    }
}

// The properties offer the alpha choices only when the PNG really is partly transparent.
void TestDemoScreenshots::samplePictureKeepsItsAlpha()
{
    const QImage png(QDir(m_home.path()).filePath(QStringLiteral("SampleMedia/sample-alpha.png")));
    QVERIFY(png.hasAlphaChannel());
    QCOMPARE(qAlpha(png.pixel(0, 0)), 0);
    const int centre = qAlpha(png.pixel(png.width() / 2, png.height() / 2 - png.height() / 4));
    QVERIFY2(centre > 0 && centre < 255, qPrintable(QString::number(centre)));
}

void TestDemoScreenshots::sampleProjectsAreRecent()
{
    QFile store(QDir(m_home.path()).filePath(QStringLiteral("recent.json")));
    QVERIFY(store.open(QIODevice::ReadOnly));
    const QJsonArray recent = QJsonDocument::fromJson(store.readAll()).array();
    QCOMPARE(recent.size(), 6);
    for (const QJsonValue& entry : recent) {
        const QFileInfo project(entry.toObject().value(QStringLiteral("path")).toString());
        QVERIFY2(project.isFile(), qPrintable(project.filePath()));
        QVERIFY(QFileInfo::exists(project.absolutePath() + QLatin1Char('/') + project.completeBaseName() +
                                  QStringLiteral(".kqthumb")));
    }
}

// The host reads back one range per shot: the clip's hard cuts are at frames 40, 80, 120 and 160.
void TestDemoScreenshots::rangesReadBackFollowTheCuts()
{
    const QRegularExpression line(QStringLiteral("scene ranges read back:(.*)"));
    const QRegularExpressionMatch match = line.match(m_stdout);
    QVERIFY2(match.hasMatch(), qPrintable(m_stdout));
    QCOMPARE(match.captured(1).trimmed(), QStringLiteral("[0, 40) [40, 80) [80, 120) [120, 160) [160, 200)"));
}

VK_TEST_MAIN(TestDemoScreenshots)
#include "tst_demoscreenshots.moc"
