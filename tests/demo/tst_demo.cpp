#include "VkTestMain.h"
#include "VkTestProcess.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

using namespace VkTestLiterals;

// The demo host: its screenshot mode, run once as scripts/demo runs it without a display, in a
// VK_HOME of its own: the pictures it takes, the sample media and projects it makes (the photo's
// EXIF read back by the engine), and its scene detection.
class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_shots.isValid());
        // Its sample clip and one detection take seconds even under the sanitizers; this only bounds a hang.
        const VkProcessRun demo =
            vkRunProcess(QStringLiteral(VK_DEMO_BINARY), {"--screenshots"_s, m_shots.path()},
                         {{"VK_HOME"_s, m_home.path()},
                          {"QT_QPA_PLATFORM"_s, "offscreen"_s},
                          {"VK_TRANSLATIONS_DIR"_s, QString()}},
                         5 * 60 * 1000);
        m_stdout = QString::fromLocal8Bit(demo.out);
        const QString errors = QString::fromLocal8Bit(demo.err);
        QVERIFY2(demo.finished && demo.exitCode == 0 && !errors.contains("vkpopup-demo:"_s),
                 qPrintable(errors));
    }
    // One picture per window and no other; a window grabbed before it painted is one flat colour.
    void onePicturePerWindow()
    {
        const QStringList names =
            "demo-window.png media-properties-photo.png media-properties-png.png "
            "media-properties-stock.png media-properties-video.png project-settings.png "
            "scene-detection.png startup-empty.png startup.png unsupported-image.png"_s.split(
                QLatin1Char(' '));
        QCOMPARE(QDir(m_shots.path()).entryList(QDir::Files, QDir::Name), names);
        for (const QString& name : names) {
            const QString path = m_shots.filePath(name);
            QVERIFY2(m_stdout.contains(path), qPrintable(m_stdout));
            const QImage small = QImage(path).scaled(16, 16).convertToFormat(QImage::Format_RGB32);
            QImage flat(small.size(), small.format());
            flat.fill(small.pixel(0, 0));
            QVERIFY2(small != flat, qPrintable(name));
        }
    }
    void sampleMediaIsReal_data()
    {
        QTest::addColumn<QString>("facts"); // of the file the row is named after
        // Five shots of 40 frames at 25 fps with a sound track: flags video 1 | audio 2, 200 frames.
        QTest::newRow("sample-clip.mp4") << "flags 3, 640x360, 200 frames"_s;
        // Stills report the image flag 4 and one frame; the photo its camera and exposure, the stock photo
        // its name and site (2: Pixabay).
        QTest::newRow("sample-alpha.png") << "flags 4, 480x270, 1 frames"_s;
        QTest::newRow("sample-photo.jpg") << "flags 4, 640x426, 1 frames, Vk Optics Demo Camera 7 2"_s;
        QTest::newRow("sample-stock-photo.jpg") << "flags 4, 640x426, 1 frames, stock Lake at dawn 2"_s;
    }
    // The samples are what the engine makes of them, not just files that exist: the photo's EXIF, and
    // the record beside the stock photo that names it and credits its author on the site.
    void sampleMediaIsReal()
    {
        const QString file = m_home.filePath("SampleMedia/"_s + QLatin1String(QTest::currentDataTag()));
        QString error;
        const auto item = VkMediaItemFactory::create(file, &error);
        QVERIFY2(item && item->GetMediaInfo(), qPrintable(error));
        const IVkMediaInfo* info = item->GetMediaInfo();
        const auto* video = dynamic_cast<const IVkVideoMediaInfo*>(info);
        const auto* image = dynamic_cast<const IVkImageMediaInfo*>(info);
        QVERIFY(video || image);
        const QSize size = image ? QSize(image->GetWidth(), image->GetHeight())
                                 : QSize(video->GetWidth(), video->GetHeight());
        QString facts = QString::asprintf("flags %d, %dx%d, %d frames", info->GetStreamFlags(), size.width(),
                                          size.height(), info->GetFrameCount());
        if (image && !image->GetCameraMaker().isEmpty())
            facts += ", %1 %2 %3"_s.arg(image->GetCameraMaker(), image->GetCameraModel())
                         .arg(image->GetExposureTime());
        if (item->IsStockMedia())
            facts += ", stock %1 %2"_s.arg(item->GetName()).arg(item->GetStockSite());
        QTEST(facts, "facts");
    }
    // The host reads back one range per shot: the clip's hard cuts are at frames 40, 80, 120 and 160.
    void rangesReadBackFollowTheCuts()
    {
        QVERIFY2(
            m_stdout.contains("scene ranges read back: [0, 40) [40, 80) [80, 120) [120, 160) [160, 200)\n"_s),
            qPrintable(m_stdout));
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_shots;
    QString m_stdout;
};

VK_TEST_MAIN(TestDemo)
#include "tst_demo.moc"
