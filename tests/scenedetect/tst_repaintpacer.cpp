#include "VkRepaintPacer.h"
#include "VkTestMain.h"

#include <QWidget>

namespace {

// A window with one child whose paints are counted.
class PacedWindow : public QObject
{
public:
    QWidget window;
    QWidget* child = new QWidget(&window);
    int paints = 0;

    PacedWindow()
    {
        window.resize(120, 80);
        child->setGeometry(10, 10, 40, 20);
        window.show();
        child->installEventFilter(this);
    }
    // Changes the child `times` times, each in an event-loop turn of its own, as a stream of rows does.
    void change(int times)
    {
        for (int i = 0; i < times; ++i) {
            child->update();
            QCoreApplication::processEvents();
        }
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

class TestRepaintPacer : public QObject
{
    Q_OBJECT

private slots:
    void changesWithinAFrameArePaintedOnce()
    {
        PacedWindow paced;
        QVERIFY(QTest::qWaitForWindowExposed(&paced.window));
        paced.change(1);
        const int before = paced.paints;
        // One frame a second: every change below falls inside the first frame.
        VkRepaintPacer pacer(paced.child, 1);
        pacer.setActive(true);
        paced.change(20);
        QCOMPARE(paced.paints, before);
        // Turned off, the held changes are painted at once, together.
        pacer.setActive(false);
        QCoreApplication::processEvents();
        QCOMPARE(paced.paints, before + 1);
        QVERIFY(!pacer.isActive());
    }

    void heldChangesArePaintedWhenTheFrameIsDue()
    {
        PacedWindow paced;
        QVERIFY(QTest::qWaitForWindowExposed(&paced.window));
        VkRepaintPacer pacer(paced.child, 10);
        pacer.setActive(true);
        const int before = paced.paints;
        paced.change(5);
        // Nothing more to do for the window: the pacer's own frame paints what was held.
        QTRY_COMPARE(paced.paints, before + 1);
        QVERIFY(pacer.isActive());
    }

    void windowClosedWhileAChangeIsHeld()
    {
        auto paced = std::make_unique<PacedWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(&paced->window));
        auto* pacer = new VkRepaintPacer(paced->child, 1);
        pacer->setActive(true);
        paced->change(3);
        // The pacer goes with its widget, while the window it watches is being torn down.
        paced.reset();
        QTest::qWait(20);
    }
};

VK_TEST_MAIN(TestRepaintPacer)
#include "tst_repaintpacer.moc"
