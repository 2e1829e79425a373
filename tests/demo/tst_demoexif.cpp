#include "VkDemoExifWriter.h"
#include "VkTestMain.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

const QSize kPictureSize{64, 48};

QByteArray plainJpeg()
{
    QImage image(kPictureSize, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

} // namespace

class TestDemoExif : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void engineReadsWrittenFacts_data();
    void engineReadsWrittenFacts();
    void refusesWhatIsNoJpeg_data();
    void refusesWhatIsNoJpeg();
};

void TestDemoExif::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestDemoExif::engineReadsWrittenFacts_data()
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
    // 10 and 14 bytes: stored behind the IFD at even offsets; the engine counts whole seconds, so
    // 5/2 s reads as 2.
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

// The writer's offsets and sizes are right exactly when an independent reader (the engine's
// EXIF reading) finds the facts, and the picture still decodes to the same size.
void TestDemoExif::engineReadsWrittenFacts()
{
    QFETCH(QString, maker);
    QFETCH(QString, model);
    QFETCH(uint, numerator);
    QFETCH(uint, denominator);
    QFETCH(QDateTime, taken);
    QFETCH(int, seconds);

    VkDemoExifWriter::Facts facts;
    facts.maker = maker;
    facts.model = model;
    facts.exposureNumerator = numerator;
    facts.exposureDenominator = denominator;
    facts.taken = taken;
    const QByteArray plain = plainJpeg();
    const QByteArray tagged = VkDemoExifWriter::addExif(plain, facts);
    QVERIFY(tagged.size() > plain.size());
    QCOMPARE(QImage::fromData(tagged, "JPEG").size(), kPictureSize);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(tagged), qint64(tagged.size()));
    file.close();

    QString error;
    const std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
    QVERIFY2(item, qPrintable(error));
    const auto* info = dynamic_cast<IVkImageMediaInfo*>(item->GetMediaInfo());
    QVERIFY(info);
    QCOMPARE(info->GetCameraMaker(), maker);
    QCOMPARE(info->GetCameraModel(), model);
    QCOMPARE(info->GetExposureTime(), seconds);
    QCOMPARE(QSize(info->GetWidth(), info->GetHeight()), kPictureSize);
}

void TestDemoExif::refusesWhatIsNoJpeg_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("PNG signature") << QByteArray("\x89PNG\r\n\x1a\n", 8);
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2);
}

void TestDemoExif::refusesWhatIsNoJpeg()
{
    QFETCH(QByteArray, bytes);
    VkDemoExifWriter::Facts facts;
    facts.maker = QStringLiteral("Vk Optics");
    QVERIFY(VkDemoExifWriter::addExif(bytes, facts).isEmpty());
}

VK_TEST_MAIN(TestDemoExif)
#include "tst_demoexif.moc"
