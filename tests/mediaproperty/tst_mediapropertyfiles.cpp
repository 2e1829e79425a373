#include "MediaPropertyFakes.h"
#include "VkMediaTestFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

using namespace MediaPropertyProbe;

namespace {
// A Pixabay download's record, as the library keeps it beside the file.
const char kStockRecord[] =
    "{\"name\": \"Mountain lake\", \"stock\": {\"site\": 2, \"source\": 1000, "
    "\"authorName\": \"Anna <Berg>\", \"authorUrl\": "
    "\"https://pixabay.com/users/anna-berg-1234/\", \"licenseUrl\": "
    "\"https://pixabay.com/service/license-summary/\", \"qualities\": [{\"level\": 3, "
    "\"width\": 640, \"height\": 427, \"available\": false}, {\"level\": 4, \"width\": "
    "1280, \"height\": 853}]}}";
} // namespace

// The properties window over real files made by the ffmpeg CLI and probed by the media library: the
// cells other suites check on fakes, here filled from what was probed, and no label cut off on screen.
class TestMediaPropertyFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString message;
        QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
        QVERIFY(m_dir.isValid());
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void shown_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("record"); // written beside a copy of the file when not empty
        QTest::addColumn<QString>("pages");     // after the common page
        // "Page row text" for each cell checked, "Page row ~text" for a part of its text, "Page row -"
        // for a row left out; separated by "|".
        QTest::addColumn<QString>("cells");
        // 2 s of 320x180 H.264 at 25 fps with 48 kHz stereo AAC, which has no fixed sample size
        // (ffprobe: bits_per_sample 0): no "0 Bits".
        QTest::newRow("video with aac") << "av.mp4" << QByteArray() << "Video Audio"
                                        << "Common 4 00:00:02:00|Video 3 25 fps|Audio 3 48000 Hz";
        // FLAC carries the source's bit depth (bits_per_raw_sample).
        QTest::newRow("flac in mkv") << "av.mkv" << QByteArray() << "Video Audio"
                                     << "Audio 3 44100 Hz, 24 Bits";
        // A PNG carries no camera data: no blank maker and model rows, no "Exposure Time: 0 s".
        QTest::newRow("png without exif") << "alpha.png" << QByteArray() << "Photo PngPhoto"
                                          << "Photo 3 200x100|Photo 1 -|Photo 2 -|Photo 4 -";
        // A Pixabay download with the site's record beside it. Level 3 is not offered, so the size is
        // level 4's, not the file's 240x160; the author's name is escaped inside the credit's markup.
        QTest::newRow("stock photo")
            << "photo.jpg" << QByteArray(kStockRecord) << "Photo"
            << "Common 0 Mountain lake|Common 1 -|Common 8 ~Anna &lt;Berg&gt;|Photo 3 1280x853|Photo 4 -";
    }
    void shown()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, record);
        QFETCH(QString, cells);
        QString path = QString::fromStdString(VkMediaTestFiles::path(file));
        if (!record.isEmpty()) {
            const QString copy = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) +
                                                QLatin1Char('.') + QFileInfo(path).suffix());
            QFile::remove(copy);
            QVERIFY(QFile::copy(path, copy));
            QFile beside(copy + QStringLiteral(".vkmeta.json"));
            QVERIFY(beside.open(QIODevice::WriteOnly) && beside.write(record) == record.size());
            path = copy;
        }
        QString error;
        std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
        QVERIFY2(item, qPrintable(error));
        VkMediaPropertyDialog dialog(item.get(), nullptr);
        QFETCH(QString, pages);
        QStringList classes;
        for (const QString& kind : (QStringLiteral("Common ") + pages).split(QLatin1Char(' ')))
            classes << QStringLiteral("Vk%1InfoPage").arg(kind);
        QCOMPARE(pageClasses(&dialog), classes);
        for (const QString& check : cells.split(QLatin1Char('|'))) {
            const QStringList parts = check.split(QLatin1Char(' '));
            const QWidget* shownPage =
                page(&dialog, qPrintable(QStringLiteral("Vk%1InfoPage").arg(parts.at(0))));
            const int row = parts.at(1).toInt();
            const QString expected = parts.mid(2).join(QLatin1Char(' '));
            const QString shown = text(shownPage, row);
            if (expected == QLatin1String("-"))
                QVERIFY2(!rowShown(shownPage, row), qPrintable(check + QStringLiteral(": ") + shown));
            else if (expected.startsWith(QLatin1Char('~')))
                QVERIFY2(shown.contains(expected.mid(1)), qPrintable(check + QStringLiteral(": ") + shown));
            else
                QVERIFY2(shown == expected, qPrintable(check + QStringLiteral(": ") + shown));
        }
        // The size is the file's own, in the unit the common page uses for it.
        QCOMPARE(text(page(&dialog, "VkCommonInfoPage"), 3).section(QLatin1Char(' '), 0, 0),
                 QString::number(QFileInfo(path).size() / 1024.0, 'f', 2));

        // Shown so that its layouts run; saved when VK_SCREENSHOT_DIR names a folder. No plain label's
        // ink reaches past its room (the ink, not the advance: a side bearing may stick out).
        dialog.show();
        QCoreApplication::processEvents();
        const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(dialog.grab().save(
                QDir(folder).filePath(QStringLiteral("media-properties-%1.png")
                                          .arg(QString::fromLatin1(QTest::currentDataTag())))));
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->isVisible() || label->wordWrap() || label->textFormat() != Qt::PlainText)
                continue;
            const int needed = label->fontMetrics().tightBoundingRect(label->text()).right() + 1;
            QVERIFY2(needed <= label->contentsRect().width(),
                     qPrintable(QStringLiteral("%1 (%2 px in %3)")
                                    .arg(label->text())
                                    .arg(needed)
                                    .arg(label->contentsRect().width())));
        }
    }

private:
    QTemporaryDir m_dir;
};

VK_TEST_MAIN(TestMediaPropertyFiles)
#include "tst_mediapropertyfiles.moc"
