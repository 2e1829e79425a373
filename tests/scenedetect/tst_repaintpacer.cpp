#include "VkRepaintPacer.h"
#include "VkTestMain.h"

#include <QWidget>

namespace {

// Counts the paints that reach a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct PacedWindow
{
    QWidget window;
    QWidget* child = new QWidget(&window);
    PaintCounter counter;

    PacedWindow()
    {
        window.resize(120, 80);
        child->setGeometry(10, 10, 40, 20);
        window.show();
        child->installEventFilter(&counter);
    }
    // Changes the child `times` times, each in an event-loop turn of its own, as a stream of rows does.
    void change(int times)
    {
        for (int i = 0; i < times; ++i) {
            child->update();
            QCoreApplication::processEvents();
        }
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
        const int before = paced.counter.paints;
        // One frame a second: every change below falls inside the first frame.
        VkRepaintPacer pacer(paced.child, 1);
        pacer.setActive(true);
        paced.change(20);
        QCOMPARE(paced.counter.paints, before);
        // Turned off, the held changes are painted at once, together.
        pacer.setActive(false);
        QCoreApplication::processEvents();
        QCOMPARE(paced.counter.paints, before + 1);
        QVERIFY(!pacer.isActive());
    }

    void heldChangesArePaintedWhenTheFrameIsDue()
    {
        PacedWindow paced;
        QVERIFY(QTest::qWaitForWindowExposed(&paced.window));
        VkRepaintPacer pacer(paced.child, 10);
        pacer.setActive(true);
        const int before = paced.counter.paints;
        paced.change(5);
        // Nothing more to do for the window: the pacer's own frame paints what was held.
        QTRY_COMPARE(paced.counter.paints, before + 1);
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
