#include "MediaPropertyFakes.h"
#include "VkMediaTestFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QDir>
#include <QFileInfo>

#include <memory>

using namespace MediaPropertyProbe;

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
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void shown_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("pages"); // after the common page
        QTest::addColumn<QString>("cells"); // "Page row text" for each cell checked, separated by "|"
        // 2 s of 320x180 H.264 at 25 fps with 48 kHz stereo AAC, which has no fixed sample size
        // (ffprobe: bits_per_sample 0): no "0 Bits".
        QTest::newRow("video with aac") << "av.mp4"
                                        << "Video Audio"
                                        << "Common 4 00:00:02:00|Video 3 25 fps|Audio 3 48000 Hz";
        QTest::newRow("png") << "alpha.png"
                             << "Photo PngPhoto"
                             << "Photo 3 200x100";
    }
    void shown()
    {
        QFETCH(QString, file);
        QFETCH(QString, cells);
        const QString path = QString::fromStdString(VkMediaTestFiles::path(file));
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
            QCOMPARE(text(shownPage, parts.at(1).toInt()), parts.mid(2).join(QLatin1Char(' ')));
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
};

VK_TEST_MAIN(TestMediaPropertyFiles)
#include "tst_mediapropertyfiles.moc"
