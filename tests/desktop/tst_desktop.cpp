#include "StartupFixtures.h"
#include "VkShowWindow.h"
#include "VkTestMain.h"
#include "VkTestProcess.h"

#include <projectsetting/VkProjectSettingDialog.h>
#include <startup/VkStartupDlg.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkwidgets/VMessageDialog.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkShadowDialog.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QAbstractItemView>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// These tests need a real X server with a window manager (tests/desktop/run_x11_session.sh starts
// Xvfb and openbox for them); the offscreen platform has no window manager, no frames and no
// screen positions of its own to get wrong.

using namespace VkTestLiterals;

namespace {

// Generous for a loaded machine; every wait ends as soon as its condition holds.
const int kWaitMs = 10000;
const QSize kMainSize{720, 480};
// A point of the title bar that no title button covers, relative to the window.
const QPoint kTitleGrip{120, 12};
const QPoint kDragDistance{137, 83};
// Pixels whose colour is within this distance (per channel) of the accent count as accent.
const int kColourTolerance = 24;

// What the X server and its window manager see of our windows, asked from outside the toolkit: a
// connection of the test's own, and the desktop tools a user's session would have (xprop, xdotool
// for real input through XTEST). Server positions are device pixels; toDevice converts Qt's
// device-independent ones (QT_SCALE_FACTOR).
struct X11
{
    static inline xcb_connection_t* connection = nullptr;

    static int toDevice(int logical) { return qRound(logical * qGuiApp->devicePixelRatio()); }
    static QPoint toDevice(const QPoint& p) { return QPoint(toDevice(p.x()), toDevice(p.y())); }
    static xcb_window_t xid(const QWidget* w) { return xcb_window_t(w->window()->winId()); }

    // An xdotool command line: "mousedown 1", "key Tab". One that does not answer within the wait has
    // hung; the test fails instead of waiting.
    static bool xdotool(const QString& command)
    {
        const VkProcessRun run = vkRunProcess("xdotool"_s, command.split(QLatin1Char(' ')), {}, kWaitMs);
        return run.finished && run.exitCode == 0;
    }

    static bool mouseMove(const QPoint& devicePos)
    {
        // Not xdotool's --sync: it waits for a motion, and there is none when the pointer is there.
        if (!xdotool("mousemove %1 %2"_s.arg(devicePos.x()).arg(devicePos.y())))
            return false;
        // Qt reports the pointer in its own pixels; at a scale of 2 an odd device position rounds.
        const int slack = toDevice(1) - 1;
        const QRect near = QRect(devicePos, devicePos).adjusted(-slack, -slack, slack, slack);
        return QTest::qWaitFor([&] { return near.contains(toDevice(QCursor::pos())); }, kWaitMs);
    }
    static bool click(const QPoint& devicePos) { return mouseMove(devicePos) && xdotool("click 1"_s); }

    // The client area of the widget's window on the server.
    static QRect serverGeometry(const QWidget* window)
    {
        const auto reply = [](auto* r) {
            return std::unique_ptr<std::remove_pointer_t<decltype(r)>, void (*)(void*)>(r, std::free);
        };
        const auto geometry =
            reply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xid(window)), nullptr));
        if (!geometry)
            return QRect();
        const auto origin = reply(xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, xid(window), geometry->root, 0, 0), nullptr));
        return origin ? QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height) : QRect();
    }

    // Leaves window with a stale cached position: tells it, as a window manager does after moving its
    // frame, that it now stands at the screen's corner, without moving it. That is the state a window is
    // left in when the position it was told while the manager framed it was the frame's temporary
    // origin. A synthetic ConfigureNotify is how ICCCM lets a window manager report a client's position
    // in root coordinates.
    static bool makeStale(QWidget* window)
    {
        const QPoint corner = QGuiApplication::screens().constFirst()->geometry().topLeft();
        const QRect real = serverGeometry(window);
        xcb_configure_notify_event_t event{};
        event.response_type = XCB_CONFIGURE_NOTIFY;
        event.event = event.window = xid(window);
        event.x = int16_t(toDevice(corner.x()));
        event.y = int16_t(toDevice(corner.y()));
        event.width = uint16_t(real.width());
        event.height = uint16_t(real.height());
        xcb_send_event(connection, false, xid(window), XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection);
        // Wait until the toolkit has taken the word for it.
        return QTest::qWaitFor([&] { return window->geometry().topLeft() == corner; }, kWaitMs);
    }

    // The window's name as the window manager reads it: _NET_WM_NAME, else WM_NAME.
    static QString windowManagerName(const QWidget* window)
    {
        const VkProcessRun xprop = vkRunProcess(
            "xprop"_s, {"-id"_s, QString::number(xid(window)), "_NET_WM_NAME"_s, "WM_NAME"_s}, {}, kWaitMs);
        return QRegularExpression("= \"(.*)\""_s).match(QString::fromUtf8(xprop.out)).captured(1);
    }
};

// A window by its name: one of the dialogs; a bare window with a drop-shadow frame and its title bar,
// like the startup window's; or a main window like a host's, frameless, with a title bar and a combo
// box in its body.
std::unique_ptr<QDialog> makeWindow(const QString& name, QWidget* parent = nullptr)
{
    if (name == "startup"_s)
        return std::make_unique<VkStartupDlg>(parent);
    if (name == "project settings"_s)
        return std::make_unique<VkProjectSettingDialog>(parent);
    if (name == "message box"_s)
        return std::make_unique<VMessageDialog>("Keep the changes?"_s, parent,
                                                VMessageDialog::Ok | VMessageDialog::Cancel, QString(),
                                                QString(), QString(), false);
    if (name == "shadow window"_s) {
        auto window = std::make_unique<VkShadowDialog>(parent);
        window->resize(kMainSize);
        return window;
    }
    auto window = std::make_unique<VkFramelessDialog>(parent, true, true);
    window->SetTitleName("Main Window"_s, false);
    auto* body = new QWidget(window.get());
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(129, 60, 129, 60);
    auto* combo = VkComboBox::CreateComboBox(body);
    for (int i = 0; i < 6; ++i)
        combo->addItem("Clip %1.mp4"_s.arg(i + 1));
    layout->addWidget(combo);
    layout->addStretch(1);
    window->SetContentWidget(body);
    window->resize(kMainSize);
    return window;
}

bool nearAccent(QRgb pixel)
{
    const QColor accent = VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Primary());
    return qAbs(qRed(pixel) - accent.red()) <= kColourTolerance &&
           qAbs(qGreen(pixel) - accent.green()) <= kColourTolerance &&
           qAbs(qBlue(pixel) - accent.blue()) <= kColourTolerance;
}

// The share of the widget's outline (its outer two pixels) that shows the accent colour. Corners
// are rounded; the straight parts say enough. A place on them counts when its outer pixel or the one
// inside it shows the accent.
double accentOutline(const QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    const auto at = [&](int x, int y, int inwardX, int inwardY) {
        return int(nearAccent(image.pixel(x, y)) || nearAccent(image.pixel(x + inwardX, y + inwardY)));
    };
    int accent = 0;
    for (int x = 3; x < w - 3; ++x)
        accent += at(x, 0, 0, 1) + at(x, h - 1, 0, -1);
    for (int y = 3; y < h - 3; ++y)
        accent += at(0, y, 1, 0) + at(w - 1, y, -1, 0);
    const int edge = 2 * qMax(w - 6, 0) + 2 * qMax(h - 6, 0);
    return edge > 0 ? double(accent) / edge : 0;
}

// Pixels that differ between two looks of a widget, and pixels that show the accent colour in
// `focused` and not in `unfocused`.
QPair<int, int> differences(const QImage& focused, const QImage& unfocused)
{
    if (focused.size() != unfocused.size())
        return {focused.width() * focused.height(), 0};
    QPair<int, int> count{0, 0};
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            count.first += focused.pixel(x, y) != unfocused.pixel(x, y);
            count.second += nearAccent(focused.pixel(x, y)) && !nearAccent(unfocused.pixel(x, y));
        }
    }
    return count;
}

QImage look(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QString describe(const QWidget* widget)
{
    return "%1 \"%2\""_s.arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
}

// Two places (rectangles, points) for a failure message.
template <class T>
QString describe(const T& actual, const T& expected)
{
    QString text;
    QDebug(&text) << "actual" << actual << "expected" << expected;
    return text;
}

// Shows window on the right half of the last screen (on the wide screen, where a second display to
// the right would be), away from its centre, so that centring on the screen and centring on the
// window give different answers.
bool showOnLastScreen(QWidget* window)
{
    const QRect area = QGuiApplication::screens().constLast()->availableGeometry();
    window->move(area.topLeft() + QPoint(area.width() * 9 / 16, area.height() / 10));
    return vkShowActive(window, kWaitMs);
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server with a window manager (run through run_x11_session.sh)");
        X11::connection = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(X11::connection));
        IVkProjectManager::getInstance()->newProject();
        // The mouse rests in a corner where no test window goes, so no control shows its hover look.
        QVERIFY(X11::mouseMove(QPoint(0, 0)));
    }
    void cleanupTestCase() { xcb_disconnect(X11::connection); }

    void cleanup()
    {
        QVERIFY(X11::xdotool("mouseup 1"_s));
        QVERIFY(X11::mouseMove(QPoint(0, 0)));
    }

    void dragMovesByTheMouse_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("stale");
        QTest::newRow("frameless window") << "main window"_s << false;
        QTest::newRow("shadow window") << "shadow window"_s << false;
        QTest::newRow("frameless window, stale position") << "main window"_s << true;
        QTest::newRow("shadow window, stale position") << "shadow window"_s << true;
    }

    // Catches a window whose cached position is still the frame's temporary origin once the window
    // manager has placed and activated it, and a drag that takes its offset from a cached position that
    // is not the window's: the window jumps towards the screen's corner by its distance from it.
    void dragMovesByTheMouse()
    {
        QFETCH(QString, window);
        QFETCH(bool, stale);
        const std::unique_ptr<QDialog> shown = makeWindow(window);
        QVERIFY(showOnLastScreen(shown.get()));
        QTRY_COMPARE_WITH_TIMEOUT(X11::serverGeometry(shown.get()).topLeft(),
                                  X11::toDevice(shown->geometry().topLeft()), kWaitMs);
        QVERIFY(!stale || X11::makeStale(shown.get()));
        const QPoint start = X11::serverGeometry(shown.get()).topLeft();
        const QPoint grip = start + X11::toDevice(kTitleGrip);
        const QPoint distance = X11::toDevice(kDragDistance);

        QVERIFY(X11::mouseMove(grip));
        QVERIFY(X11::xdotool("mousedown 1"_s));
        // In steps, as a hand moves: each one is a move event of its own.
        for (int i = 1; i <= 4; ++i)
            QVERIFY(X11::mouseMove(grip + distance * i / 4));
        QVERIFY(X11::xdotool("mouseup 1"_s));
        QTRY_COMPARE_WITH_TIMEOUT(X11::serverGeometry(shown.get()).topLeft(), start + distance, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(X11::toDevice(shown->geometry().topLeft()), start + distance, kWaitMs);
    }

    void popupOpensUnderItsBoxAndLeavesNoMark_data()
    {
        QTest::addColumn<bool>("stale");
        QTest::newRow("fresh window") << false;
        QTest::newRow("stale position") << true;
    }

    // Catches a list placed from the box's position inside the window instead of on the screen, and a
    // box that keeps an accent border (hover stuck after the list grabbed the mouse, or the focus taken
    // by the click) once its list was used with the mouse.
    void popupOpensUnderItsBoxAndLeavesNoMark()
    {
        QFETCH(bool, stale);
        const std::unique_ptr<QDialog> window = makeWindow("main window"_s);
        QVERIFY(showOnLastScreen(window.get()) && (!stale || X11::makeStale(window.get())));
        auto* combo = window->findChild<VkComboBox*>();
        // The window opens with its only control focused; what is looked at here is what the mouse
        // leaves behind.
        QTRY_VERIFY_WITH_TIMEOUT(combo->hasFocus(), kWaitMs);
        combo->clearFocus();
        QVERIFY2(accentOutline(look(combo)) < 0.1, "the box shows a focus mark without the focus");
        const QRect box(X11::serverGeometry(window.get()).topLeft() +
                            X11::toDevice(combo->mapTo(window.get(), QPoint())),
                        QSize(X11::toDevice(combo->width()), X11::toDevice(combo->height())));

        QVERIFY(X11::click(box.center()));
        QWidget* popup = combo->view()->window();
        QTRY_VERIFY_WITH_TIMEOUT(popup->isVisible() && X11::serverGeometry(popup).isValid(), kWaitMs);
        QVERIFY(QTest::qWaitForWindowExposed(popup, kWaitMs));
        const QRect list = X11::serverGeometry(popup);
        // The list lines up with the box and starts on it or right below it.
        QVERIFY2(qAbs(list.left() - box.left()) <= X11::toDevice(1) && list.top() >= box.top() &&
                     list.top() <= box.bottom() + X11::toDevice(2),
                 qPrintable(describe(list, box)));
        // The third row of the list.
        const QRect third = combo->view()->visualRect(combo->model()->index(2, 0));
        QVERIFY(X11::click(list.topLeft() +
                           X11::toDevice(combo->view()->viewport()->mapTo(popup, third.center()))));
        QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), kWaitMs);
        QCOMPARE(combo->currentIndex(), 2);
        QVERIFY(X11::mouseMove(QPoint(0, 0)));
        QVERIFY2(accentOutline(look(combo)) < 0.1, qPrintable(QString::number(accentOutline(look(combo)))));
        QVERIFY(!combo->hasFocus());
    }

    void dialogCentredOnParent_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("stale");
        QTest::addColumn<bool>("parentVisible");
        QTest::newRow("message box") << "message box"_s << false << true;
        QTest::newRow("message box, parent's position stale") << "message box"_s << true << true;
        QTest::newRow("project settings, parent's position stale") << "project settings"_s << true << true;
        QTest::newRow("message box, parent hidden") << "message box"_s << false << false;
    }

    // Catches centring on a parent assumed at the screen's corner, QDialog's allowance for a native
    // frame that a frameless window does not have, and a dialog of a hidden parent that opens on
    // another screen than the parent's.
    void dialogCentredOnParent()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, stale);
        QFETCH(bool, parentVisible);
        const std::unique_ptr<QDialog> parent = makeWindow("main window"_s);
        QScreen* parentScreen = QGuiApplication::screens().constLast();
        parent->winId();
        parent->windowHandle()->setScreen(parentScreen);
        QVERIFY(!parentVisible ||
                (showOnLastScreen(parent.get()) && (!stale || X11::makeStale(parent.get()))));
        const std::unique_ptr<QDialog> child = makeWindow(dialog, parent.get());
        child->open();
        QVERIFY(QTest::qWaitForWindowExposed(child.get(), kWaitMs));
        const QPoint centre = parentVisible ? X11::serverGeometry(parent.get()).center()
                                            : X11::toDevice(parentScreen->availableGeometry().center());
        QTRY_VERIFY2_WITH_TIMEOUT(
            (X11::serverGeometry(child.get()).center() - centre).manhattanLength() <= 2 * X11::toDevice(1),
            qPrintable(describe(X11::serverGeometry(child.get()).center(), centre)), kWaitMs);
    }

    void focusIsVisibleOnlyOnTheFocusedControl_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("title"); // as the window manager (task bar, screen readers) names it
        QTest::newRow("startup window with recent projects")
            << "startup"_s << QGuiApplication::applicationDisplayName();
        QTest::newRow("project settings") << "project settings"_s
                                          << "Project Settings"_s;
        QTest::newRow("message box") << "message box"_s
                                     << "Information"_s;
    }

    // Catches a window that the window manager cannot name. Then tabs through every keyboard stop of the
    // dialog with real key presses and grabs each stop: the focused one must differ from its unfocused look
    // and show the accent colour around it; all the others must look exactly as when something else has the
    // focus.
    void focusIsVisibleOnlyOnTheFocusedControl()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, title);
        // The startup window's library list is a stop of its own; its mark is the current row's outline.
        // Its other stops are those of the empty library.
        QTemporaryDir projects;
        QCOMPARE(RecentFixture::listProjects(QDir(projects.path()), {"Harbour"_s, "Old Town"_s}).size(), 2);
        const std::unique_ptr<QDialog> shown = makeWindow(dialog);
        QVERIFY(vkShowActive(shown.get(), kWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(!title.isEmpty() && X11::windowManagerName(shown.get()).startsWith(title),
                                 kWaitMs);

        // The stops, in Tab order, as the keyboard reaches them.
        QList<QPointer<QWidget>> stops;
        while (stops.size() < 40 && (stops.isEmpty() || stops.constFirst() != QApplication::focusWidget())) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused);
            stops << focused;
            QVERIFY(X11::xdotool("key Tab"_s));
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() != focused, kWaitMs);
        }
        QVERIFY2(stops.size() >= 2, qPrintable(QString::number(stops.size())));

        // looks[i][j]: stop j while stop i has the focus.
        QVector<QVector<QImage>> looks(stops.size());
        for (int i = 0; i < stops.size(); ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), stops.at(i).data(), kWaitMs);
            for (const QPointer<QWidget>& stop : stops)
                looks[i] << look(stop);
            QVERIFY(X11::xdotool("key Tab"_s));
        }

        QStringList faults;
        for (int j = 0; j < stops.size(); ++j) {
            const QImage unfocused = looks.at((j + 1) % stops.size()).at(j);
            const QPair<int, int> marked = differences(looks.at(j).at(j), unfocused);
            if (marked.first < 8)
                faults << describe(stops.at(j)) + ": no focus mark"_s;
            // An accent ring or border around the stop, or (a list) an accent mark inside it. A
            // button filled with the accent colour has the ring already; its mark is the line inside.
            else if (accentOutline(looks.at(j).at(j)) < 0.5 && marked.second < 8)
                faults << describe(stops.at(j)) + ": focus mark not in the accent colour"_s;
            for (int i = 0; i < stops.size(); ++i) {
                if (i != j && differences(looks.at(i).at(j), unfocused).first != 0)
                    faults << describe(stops.at(j)) +
                                  ": looks focused while %1 has the focus"_s.arg(describe(stops.at(i)));
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

VK_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
