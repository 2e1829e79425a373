#include "VkTestMain.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

// The demo host: its screenshot mode, run once as scripts/demo runs it without a display, in a
// VK_HOME of its own (the pictures it takes, the sample media and projects it makes, its scene
// detection), down to the camera facts of its sample photo as the engine reads them back.
class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onePicturePerWindow();
    void sampleMediaIsReal_data();
    void sampleMediaIsReal();
    void samplePictureKeepsItsAlpha();
    void sampleProjectsAreRecent();
    void rangesReadBackFollowTheCuts();

private:
    QString sample(const char* name) const { return m_home.filePath(QStringLiteral("SampleMedia/") + name); }
    QTemporaryDir m_home;
    QTemporaryDir m_shots;
    QString m_stdout;
};

void TestDemo::initTestCase()
{
    QVERIFY(m_home.isValid() && m_shots.isValid());
    QProcess demo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VK_HOME"), m_home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("VK_TRANSLATIONS_DIR"));
    demo.setProcessEnvironment(environment);
    demo.start(QStringLiteral(VK_DEMO_BINARY), {QStringLiteral("--screenshots"), m_shots.path()});
    QVERIFY2(demo.waitForStarted(), qPrintable(demo.errorString()));
    // Its sample clip and one detection take seconds even under the sanitizers; this only bounds a hang.
    if (!demo.waitForFinished(5 * 60 * 1000)) {
        demo.kill();
        demo.waitForFinished();
        QFAIL("the demo did not finish");
    }
    m_stdout = QString::fromLocal8Bit(demo.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(demo.readAllStandardError());
    QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
    QVERIFY2(demo.exitCode() == 0 && !errors.contains(QLatin1String("vkpopup-demo:")), qPrintable(errors));
}

// One picture per window and no other; a window grabbed before it painted is one flat colour.
void TestDemo::onePicturePerWindow()
{
    QStringList names = QStringLiteral("demo-window media-properties-photo media-properties-png "
                                       "media-properties-stock media-properties-video project-settings "
                                       "scene-detection startup startup-empty unsupported-image")
                            .split(QLatin1Char(' '));
    for (QString& name : names) {
        name += QStringLiteral(".png");
        const QString path = m_shots.filePath(name);
        QVERIFY2(m_stdout.contains(path), qPrintable(m_stdout));
        const QImage small = QImage(path).scaled(16, 16).convertToFormat(QImage::Format_RGB32);
        bool varied = false;
        for (int i = 0; i < 256 && !varied; ++i)
            varied = small.pixel(i % 16, i / 16) != small.pixel(0, 0);
        QVERIFY2(varied, qPrintable(name));
    }
    QStringList pictures = QDir(m_shots.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    pictures.sort();
    names.sort();
    QCOMPARE(pictures, names);
}

void TestDemo::sampleMediaIsReal_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("streams");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("frames");
    // Five shots of 40 frames at 25 fps with a sound track: flags video 1 | audio 2, 200 frames.
    QTest::newRow("clip") << "sample-clip.mp4" << 3 << QSize(640, 360) << 200;
    // Stills report the image flag 4 and one frame.
    QTest::newRow("PNG") << "sample-alpha.png" << 4 << QSize(480, 270) << 1;
    QTest::newRow("JPEG") << "sample-photo.jpg" << 4 << QSize(640, 426) << 1;
    QTest::newRow("stock photo") << "sample-stock-photo.jpg" << 4 << QSize(640, 426) << 1;
}

// The samples are what the engine makes of them, not just files that exist.
void TestDemo::sampleMediaIsReal()
{
    QFETCH(QString, file);
    QFETCH(int, streams);
    QFETCH(QSize, size);
    QFETCH(int, frames);
    QString error;
    const auto item = VkMediaItemFactory::create(sample(file.toLatin1().constData()), &error);
    QVERIFY2(item, qPrintable(error));
    const IVkMediaInfo* info = item->GetMediaInfo();
    QVERIFY(info);
    QCOMPARE(info->GetStreamFlags(), streams);
    QCOMPARE(info->GetFrameCount(), frames);
    if (const auto* video = dynamic_cast<const IVkVideoMediaInfo*>(info); video && (streams & 1))
        QCOMPARE(QSize(video->GetWidth(), video->GetHeight()), size);
    if (const auto* image = dynamic_cast<const IVkImageMediaInfo*>(info); image && (streams & 4)) {
        QCOMPARE(QSize(image->GetWidth(), image->GetHeight()), size);
        if (file == QLatin1String("sample-photo.jpg")) {
            QCOMPARE(image->GetCameraMaker(), QStringLiteral("Vk Optics"));
            QCOMPARE(image->GetCameraModel(), QStringLiteral("Demo Camera 7"));
            QCOMPARE(image->GetExposureTime(), 2);
        }
    }
    // The record beside the stock photo names it and credits its author on the site.
    QCOMPARE(item->IsStockMedia(), file.contains(QLatin1String("stock")));
    if (item->IsStockMedia()) {
        QCOMPARE(item->GetName(), QStringLiteral("Lake at dawn"));
        QCOMPARE(item->GetStockSite(), int(IVkAbstractMedia::StockSite_Pixabay));
    }
}

// The properties offer the alpha choices only when the PNG really is partly transparent.
void TestDemo::samplePictureKeepsItsAlpha()
{
    const QImage png(sample("sample-alpha.png"));
    QVERIFY(png.hasAlphaChannel());
    QCOMPARE(qAlpha(png.pixel(0, 0)), 0);
    const int centre = qAlpha(png.pixel(png.width() / 2, png.height() / 2 - png.height() / 4));
    QVERIFY2(centre > 0 && centre < 255, qPrintable(QString::number(centre)));
}

void TestDemo::sampleProjectsAreRecent()
{
    QFile store(m_home.filePath(QStringLiteral("recent.json")));
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
void TestDemo::rangesReadBackFollowTheCuts()
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("scene ranges read back:(.*)")).match(m_stdout);
    QVERIFY2(match.hasMatch(), qPrintable(m_stdout));
    QCOMPARE(match.captured(1).trimmed(), QStringLiteral("[0, 40) [40, 80) [80, 120) [120, 160) [160, 200)"));
}

VK_TEST_MAIN(TestDemo)
#include "tst_demo.moc"
