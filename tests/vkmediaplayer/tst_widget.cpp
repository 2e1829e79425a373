// The player widget and the factory: the latest frame letterboxed on black, rendered for the widget's
// own size, blanked on request; a widget attached late starts with the picture already shown.

#include "PlayerTestMedia.h"
#include "VkTestMain.h"

#include <vkmediaplayer/VkMediaPlayerFactory.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>

using PlayerTestMedia::FrameLog;
using PlayerTestMedia::ProbedItem;

namespace {

constexpr int kWaitMs = 60000;
// Frame 74 is 0b1001010: columns 1, 3 and 6 of the picture are white, the others black.
constexpr int kProbeFrame = 74;

bool isBlack(QRgb c)
{
    return qRed(c) < 8 && qGreen(c) < 8 && qBlue(c) < 8;
}

bool isWhite(QRgb c)
{
    return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240;
}

// The middle of column `k` of the picture drawn in `rect`.
QPoint columnCentre(const QRect& rect, int k)
{
    return QPoint(rect.x() + (2 * k + 1) * rect.width() / 16, rect.center().y());
}

} // namespace

class tst_VkMediaPlayerWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void factory();
    void letterbox_data();
    void letterbox();
    void clearViewBlanks();
    void lateAttachShowsCurrentPicture();

private:
    std::unique_ptr<ProbedItem> m_item;
};

void tst_VkMediaPlayerWidget::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
    m_item = ProbedItem::open("numbered.mp4");
    QVERIFY(m_item);
}

void tst_VkMediaPlayerWidget::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_VkMediaPlayerWidget::factory()
{
    QVERIFY(mediaPlayerFactory());
    QCOMPARE(mediaPlayerFactory(), mediaPlayerFactory());
    QWidget parent;
    VkMediaPlayerWidget* widget = mediaPlayerFactory()->createPlayerWidget(&parent);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), &parent);
    QVERIFY(!widget->presenter());
    QVERIFY(widget->currentFrame().isNull());
}

void tst_VkMediaPlayerWidget::letterbox_data()
{
    QTest::addColumn<QSize>("widgetSize");
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<QRect>("picture");

    // The clip is 320 x 180 (16:9); frames are rendered for the widget's size, never above the clip's.
    // 100 high: 320 x 100 / 180 = 177.8, so 178 x 100, centred: (400 - 178) / 2 = 111.
    QTest::newRow("bars left and right") << QSize(400, 100) << QSize(178, 100) << QRect(111, 0, 178, 100);
    // 200 wide: 180 x 200 / 320 = 112.5, rounded to 113; the picture 200 x 113 at (200 - 113) / 2 = 43.
    QTest::newRow("bars above and below") << QSize(200, 200) << QSize(200, 113) << QRect(0, 43, 200, 113);
    QTest::newRow("same aspect") << QSize(320, 180) << QSize(320, 180) << QRect(0, 0, 320, 180);
    // Larger than the clip: decoded at 320 x 180 and drawn scaled up to fill.
    QTest::newRow("larger than the clip") << QSize(640, 360) << QSize(320, 180) << QRect(0, 0, 640, 360);
}

void tst_VkMediaPlayerWidget::letterbox()
{
    QFETCH(QSize, widgetSize);
    QFETCH(QSize, frameSize);
    QFETCH(QRect, picture);

    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QWidget window;
    VkMediaPlayerWidget* widget = mediaPlayerFactory()->createPlayerWidget(&window);
    widget->resize(widgetSize);
    widget->setPresenter(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    presenter.seek(kProbeFrame, true, false);
    QTRY_VERIFY_WITH_TIMEOUT(!log.shown.isEmpty() && log.shown.last() == kProbeFrame, kWaitMs);
    QCOMPARE(log.sizes.last(), frameSize * widget->devicePixelRatioF());
    QCOMPARE(widget->currentFrame().size(), log.sizes.last());
    QCOMPARE(widget->pictureRect(), picture);

    const QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.size(), widgetSize * widget->devicePixelRatioF());
    // Black bars where the picture is not; the white columns 1, 3 and 6 inside it.
    if (picture.left() > 0) {
        QVERIFY(isBlack(shot.pixel(picture.left() / 2, widgetSize.height() / 2)));
        QVERIFY(isBlack(shot.pixel(picture.right() + picture.left() / 2, widgetSize.height() / 2)));
    }
    if (picture.top() > 0) {
        QVERIFY(isBlack(shot.pixel(widgetSize.width() / 2, picture.top() / 2)));
        QVERIFY(isBlack(shot.pixel(widgetSize.width() / 2, picture.bottom() + picture.top() / 2)));
    }
    for (int k = 0; k < 8; ++k) {
        const bool white = (kProbeFrame >> k) & 1;
        const QRgb c = shot.pixel(columnCentre(picture, k));
        QVERIFY2(white ? isWhite(c) : isBlack(c), qPrintable(QStringLiteral("column %1").arg(k)));
    }
}

void tst_VkMediaPlayerWidget::clearViewBlanks()
{
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QWidget window;
    VkMediaPlayerWidget* widget = mediaPlayerFactory()->createPlayerWidget(&window);
    widget->resize(320, 180);
    widget->setPresenter(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    presenter.seek(kProbeFrame, true, false);
    QTRY_VERIFY_WITH_TIMEOUT(!widget->currentFrame().isNull() && log.shown.last() == kProbeFrame, kWaitMs);

    presenter.clearView();
    QVERIFY(widget->currentFrame().isNull());
    QVERIFY(widget->pictureRect().isNull());
    const QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(isBlack(shot.pixel(columnCentre(QRect(0, 0, 320, 180), 1))));

    // Detached, it no longer follows the presenter.
    widget->setPresenter(nullptr);
    presenter.seek(10, true, false);
    QTRY_VERIFY_WITH_TIMEOUT(log.shown.last() == 10, kWaitMs);
    QVERIFY(widget->currentFrame().isNull());
}

void tst_VkMediaPlayerWidget::lateAttachShowsCurrentPicture()
{
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    presenter.seek(kProbeFrame, true, false);
    QTRY_VERIFY_WITH_TIMEOUT(!log.shown.isEmpty() && log.shown.last() == kProbeFrame, kWaitMs);

    QWidget window;
    VkMediaPlayerWidget* widget = mediaPlayerFactory()->createPlayerWidget(&window);
    widget->resize(160, 90);
    widget->setPresenter(&presenter);
    QCOMPARE(PlayerTestMedia::numberIn(widget->currentFrame()), kProbeFrame);
    // Its size then asks for a smaller rendering of the same frame.
    QTRY_VERIFY_WITH_TIMEOUT(log.sizes.last() == QSize(160, 90), kWaitMs);
    QCOMPARE(log.shown.last(), kProbeFrame);
    QCOMPARE(widget->currentFrame().size(), QSize(160, 90));
}

VK_TEST_MAIN(tst_VkMediaPlayerWidget)
#include "tst_widget.moc"
