#include "VkDemoExifWriter.h"
#include "VkTestMain.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QBuffer>
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
// detection), and its EXIF writer, whose offsets and sizes are right exactly when an independent
// reader (the engine's EXIF reading) finds the facts and the picture still decodes to its size.
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
    void engineReadsWrittenFacts_data();
    void engineReadsWrittenFacts();
    void refusesWhatIsNoJpeg();

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

void TestDemo::engineReadsWrittenFacts_data()
{
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QString>("model");
    QTest::addColumn<uint>("numerator");
    QTest::addColumn<uint>("denominator");
    QTest::addColumn<QDateTime>("taken");
    QTest::addColumn<int>("seconds");
    const QDateTime evening(QDate(2024, 6, 21), QTime(19, 42, 5));
    // "Vk" and "X1" with their NUL take 3 bytes: they sit inside their entries, not behind the IFD.
    QTest::newRow("short texts inline") << "Vk"
                                        << "X1" << 2u << 1u << evening << 2;
    // 10 and 14 bytes, behind the IFD at even offsets; the engine counts whole seconds: 5/2 s is 2.
    QTest::newRow("long texts behind the table") << "Vk Optics"
                                                 << "Demo Camera 7" << 5u << 2u << evening << 2;
    // "Abcdef" with its NUL is 7 bytes, so a pad byte must keep the model's offset even.
    QTest::newRow("odd length padded") << "Abcdef"
                                       << "Model After Odd" << 30u << 1u << evening << 30;
    // Without a date the main IFD has one entry less, which moves the EXIF IFD it points to.
    QTest::newRow("no date") << "Vk Optics"
                             << "Demo Camera 7" << 8u << 1u << QDateTime() << 8;
    // 1/250 s is shorter than a second: the engine shows no exposure, yet maker and model remain.
    QTest::newRow("short exposure") << "Vk Optics"
                                    << "Demo Camera 7" << 1u << 250u << evening << 0;
}

void TestDemo::engineReadsWrittenFacts()
{
    QFETCH(QString, maker);
    QFETCH(QString, model);
    QFETCH(uint, numerator);
    QFETCH(uint, denominator);
    QFETCH(QDateTime, taken);
    QFETCH(int, seconds);
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    QByteArray plain;
    QBuffer buffer(&plain);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "JPEG"));

    VkDemoExifWriter::Facts facts;
    facts.maker = maker;
    facts.model = model;
    facts.exposureNumerator = numerator;
    facts.exposureDenominator = denominator;
    facts.taken = taken;
    const QByteArray tagged = VkDemoExifWriter::addExif(plain, facts);
    QVERIFY(tagged.size() > plain.size());
    QCOMPARE(QImage::fromData(tagged, "JPEG").size(), image.size());

    QFile file(m_shots.filePath(QStringLiteral("exif-%1.jpg").arg(QTest::currentDataTag())));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(tagged), qint64(tagged.size()));
    file.close();

    QString error;
    const std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(file.fileName(), &error);
    QVERIFY2(item, qPrintable(error));
    const auto* info = dynamic_cast<IVkImageMediaInfo*>(item->GetMediaInfo());
    QVERIFY(info);
    QCOMPARE(info->GetCameraMaker(), maker);
    QCOMPARE(info->GetCameraModel(), model);
    QCOMPARE(info->GetExposureTime(), seconds);
    QCOMPARE(QSize(info->GetWidth(), info->GetHeight()), image.size());
}

void TestDemo::refusesWhatIsNoJpeg()
{
    VkDemoExifWriter::Facts facts;
    facts.maker = QStringLiteral("Vk Optics");
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("\x89PNG\r\n\x1a\n", 8), QByteArray("\xFF\xD8", 2)})
        QVERIFY2(VkDemoExifWriter::addExif(bytes, facts).isEmpty(), bytes.toHex().constData());
}

VK_TEST_MAIN(TestDemo)
#include "tst_demo.moc"
