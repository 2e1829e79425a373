// The player widget: the latest frame letterboxed on black, rendered for the widget's own size,
// blanked on request; a widget attached late starts with the picture already shown.

#include "PlayerTestMedia.h"

#include <vkmediaplayer/VkMediaPlayerFactory.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>

using namespace PlayerTestMedia;

namespace {

// Frame 74 is 0b1001010: columns 1, 3 and 6 of the picture are white, the others black.
constexpr int kProbeFrame = 74;

bool isBlack(QRgb c)
{
    return qRed(c) < 8 && qGreen(c) < 8 && qBlue(c) < 8;
}

// The middle of column `k` of the picture drawn in `rect`.
QPoint columnCentre(const QRect& rect, int k)
{
    return QPoint(rect.x() + (2 * k + 1) * rect.width() / 16, rect.center().y());
}

QImage grab(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_VkMediaPlayerWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<IVkAbstractMediaItem> m_item;
    std::unique_ptr<Preview> p;
    std::unique_ptr<QWidget> window;
    VkMediaPlayerWidget* widget = nullptr;

    // A widget of the given size bound to a presenter that shows kProbeFrame.
    bool showProbeFrame(QSize size)
    {
        widget->resize(size);
        widget->setPresenter(&p->presenter);
        return p->open(m_item.get()) && p->showAt(0, 75, kProbeFrame);
    }

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        m_item = item("numbered.mp4");
        QVERIFY(m_item);
    }
    void init()
    {
        p = std::make_unique<Preview>();
        window = std::make_unique<QWidget>();
        widget = mediaPlayerFactory()->createPlayerWidget(window.get());
        QCOMPARE(widget->parentWidget(), window.get());
    }
    void cleanup()
    {
        window.reset();
        p.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void letterbox_data()
    {
        QTest::addColumn<QSize>("widgetSize");
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QRect>("picture");
        // The clip is 320 x 180; frames are rendered for the widget's size, never above the clip's.
        // 320 x 100 / 180 = 177.8 -> 178, centred at (400 - 178) / 2 = 111.
        QTest::newRow("bars left and right") << QSize(400, 100) << QSize(178, 100) << QRect(111, 0, 178, 100);
        // 180 x 200 / 320 = 112.5 -> 113, at (200 - 113) / 2 = 43.
        QTest::newRow("bars above and below") << QSize(200, 200) << QSize(200, 113) << QRect(0, 43, 200, 113);
        // 180 x 100 / 320 = 56.25 -> 56.
        QTest::newRow("rounded down") << QSize(100, 100) << QSize(100, 56) << QRect(0, 22, 100, 56);
        QTest::newRow("same aspect") << QSize(320, 180) << QSize(320, 180) << QRect(0, 0, 320, 180);
        // Larger than the clip: decoded at 320 x 180 and drawn scaled up to fill.
        QTest::newRow("larger than the clip") << QSize(640, 360) << QSize(320, 180) << QRect(0, 0, 640, 360);
    }
    void letterbox()
    {
        QFETCH(QSize, widgetSize);
        QFETCH(QSize, frameSize);
        QFETCH(QRect, picture);
        QVERIFY(showProbeFrame(widgetSize));
        QCOMPARE(p->sizes.last(), frameSize * widget->devicePixelRatioF());
        QCOMPARE(widget->currentFrame().size(), p->sizes.last());
        QCOMPARE(widget->pictureRect(), picture);
        const QImage shot = grab(widget);
        QCOMPARE(shot.size(), widgetSize * widget->devicePixelRatioF());
        // Black bars where the picture is not; the white columns 1, 3 and 6 inside it.
        const int midX = widgetSize.width() / 2;
        const int midY = widgetSize.height() / 2;
        if (picture.left() > 0) {
            QVERIFY(isBlack(shot.pixel(picture.left() / 2, midY)));
            QVERIFY(isBlack(shot.pixel(picture.right() + picture.left() / 2, midY)));
        }
        if (picture.top() > 0) {
            QVERIFY(isBlack(shot.pixel(midX, picture.top() / 2)));
            QVERIFY(isBlack(shot.pixel(midX, picture.bottom() + picture.top() / 2)));
        }
        for (int k = 0; k < 8; ++k) {
            const QRgb c = shot.pixel(columnCentre(picture, k));
            const bool white = qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240;
            QVERIFY2((kProbeFrame >> k) & 1 ? white : isBlack(c),
                     qPrintable(QStringLiteral("column %1").arg(k)));
        }
    }

    void clearViewBlanks()
    {
        QVERIFY(showProbeFrame(QSize(320, 180)));
        QVERIFY(!widget->currentFrame().isNull());
        p->presenter.clearView();
        QVERIFY(widget->currentFrame().isNull());
        QVERIFY(widget->pictureRect().isNull());
        QVERIFY(isBlack(grab(widget).pixel(columnCentre(QRect(0, 0, 320, 180), 1))));
        // Detached, it no longer follows the presenter; attached again, it starts with the picture
        // already shown.
        widget->setPresenter(nullptr);
        QVERIFY(p->showAt(0, 75, 10));
        QVERIFY(widget->currentFrame().isNull());
        widget->setPresenter(&p->presenter);
        QCOMPARE(numberIn(widget->currentFrame()), 10);
    }
};

VK_TEST_MAIN(tst_VkMediaPlayerWidget)
#include "tst_widget.moc"
