#include "StartupFixtures.h"
#include "VkTestMain.h"

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
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// These tests need a real X server with a window manager (tests/desktop/run_x11_session.sh starts
// Xvfb and openbox for them); the offscreen platform has no window manager, no frames and no
// screen positions of its own to get wrong.

// Which frame a test window has: VkFramelessDialog (the main window, message boxes, properties) or
// VkShadowDialog (the startup window, project settings).
enum class Kind
{
    Frameless,
    Shadow,
};
Q_DECLARE_METATYPE(Kind)

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

    // A desktop tool that does not answer within the wait has hung; the test fails instead of waiting.
    static bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(kWaitMs)) {
            process.kill();
            process.waitForFinished();
            return false;
        }
        if (output)
            *output = process.readAllStandardOutput();
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    // An xdotool command line: "mousedown 1", "key Tab".
    static bool xdotool(const QString& command)
    {
        return run(QStringLiteral("xdotool"), command.split(QLatin1Char(' ')));
    }

    static bool mouseMove(const QPoint& devicePos)
    {
        // Not xdotool's --sync: it waits for a motion, and there is none when the pointer is there.
        if (!xdotool(QStringLiteral("mousemove %1 %2").arg(devicePos.x()).arg(devicePos.y())))
            return false;
        // Qt reports the pointer in its own pixels; at a scale of 2 an odd device position rounds.
        const int slack = toDevice(1) - 1;
        return QTest::qWaitFor(
            [&] {
                const QPoint off = toDevice(QCursor::pos()) - devicePos;
                return qAbs(off.x()) <= slack && qAbs(off.y()) <= slack;
            },
            kWaitMs);
    }
    static bool click(const QPoint& devicePos)
    {
        return mouseMove(devicePos) && xdotool(QStringLiteral("click 1"));
    }

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

    // Tells the window, as a window manager does after moving its frame, that it now stands at
    // devicePos, without moving it: the state a window is left in when the position it was told
    // while the manager framed it was the frame's temporary origin. A synthetic ConfigureNotify is
    // how ICCCM lets a window manager report a client's position in root coordinates.
    static void sendStalePosition(const QWidget* window, const QPoint& devicePos)
    {
        const QRect real = serverGeometry(window);
        xcb_configure_notify_event_t event{};
        event.response_type = XCB_CONFIGURE_NOTIFY;
        event.event = event.window = xid(window);
        event.x = int16_t(devicePos.x());
        event.y = int16_t(devicePos.y());
        event.width = uint16_t(real.width());
        event.height = uint16_t(real.height());
        xcb_send_event(connection, false, xid(window), XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection);
    }

    // The window's name as the window manager reads it: _NET_WM_NAME, else WM_NAME.
    static QString windowManagerName(const QWidget* window)
    {
        QByteArray output;
        run(QStringLiteral("xprop"),
            {QStringLiteral("-id"), QString::number(xid(window)), QStringLiteral("_NET_WM_NAME"),
             QStringLiteral("WM_NAME")},
            &output);
        return QRegularExpression(QStringLiteral("= \"(.*)\"")).match(QString::fromUtf8(output)).captured(1);
    }
};

// A main window like a host's: frameless, with a title bar and a combo box in its body; or a
// window with a drop-shadow frame and its title bar, like the startup window.
std::unique_ptr<QDialog> makeWindow(Kind kind)
{
    if (kind == Kind::Shadow) {
        auto window = std::make_unique<VkShadowDialog>(nullptr);
        window->resize(kMainSize);
        return window;
    }
    auto window = std::make_unique<VkFramelessDialog>(nullptr, true, true);
    window->SetTitleName(QStringLiteral("Main Window"), false);
    auto* body = new QWidget(window.get());
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(129, 60, 129, 60);
    auto* combo = VkComboBox::CreateComboBox(body);
    for (int i = 0; i < 6; ++i)
        combo->addItem(QStringLiteral("Clip %1.mp4").arg(i + 1));
    layout->addWidget(combo);
    layout->addStretch(1);
    window->SetContentWidget(body);
    window->resize(kMainSize);
    return window;
}

// Shows window and waits until the window manager has mapped and activated it.
bool showAndActivate(QWidget* window)
{
    window->show();
    return QTest::qWaitForWindowExposed(window, kWaitMs) && QTest::qWaitForWindowActive(window, kWaitMs);
}

bool nearAccent(QRgb pixel)
{
    const QColor accent = VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Primary());
    return qAbs(qRed(pixel) - accent.red()) <= kColourTolerance &&
           qAbs(qGreen(pixel) - accent.green()) <= kColourTolerance &&
           qAbs(qBlue(pixel) - accent.blue()) <= kColourTolerance;
}

// The share of the widget's outline (its outer two pixels) that shows the accent colour.
double accentOutline(const QImage& image)
{
    int edge = 0;
    int accent = 0;
    const auto look = [&](int x, int y, int xInner, int yInner) {
        ++edge;
        accent += nearAccent(image.pixel(x, y)) || nearAccent(image.pixel(xInner, yInner));
    };
    const int w = image.width();
    const int h = image.height();
    // Corners are rounded; the straight parts say enough.
    for (int x = 3; x < w - 3; ++x) {
        look(x, 0, x, 1);
        look(x, h - 1, x, h - 2);
    }
    for (int y = 3; y < h - 3; ++y) {
        look(0, y, 1, y);
        look(w - 1, y, w - 2, y);
    }
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
    return QStringLiteral("%1 \"%2\"")
        .arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
}

// Two places (rectangles, points) for a failure message.
template <class T>
QString describe(const T& actual, const T& expected)
{
    QString text;
    QDebug(&text) << "actual" << actual << "expected" << expected;
    return text;
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
        QVERIFY(X11::xdotool(QStringLiteral("mouseup 1")));
        QVERIFY(X11::mouseMove(QPoint(0, 0)));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                window->close();
        }
    }

    void dragMovesByTheMouse_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("stale");
        QTest::newRow("frameless window") << Kind::Frameless << false;
        QTest::newRow("shadow window") << Kind::Shadow << false;
        QTest::newRow("frameless window, stale position") << Kind::Frameless << true;
        QTest::newRow("shadow window, stale position") << Kind::Shadow << true;
    }

    // Catches a window whose cached position is still the frame's temporary origin once the window
    // manager has placed and activated it, and a drag that takes its offset from a cached position that
    // is not the window's: the window jumps towards the screen's corner by its distance from it.
    void dragMovesByTheMouse()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, stale);
        std::unique_ptr<QDialog> window = makeWindow(kind);
        QVERIFY(showOnLastScreen(window.get()));
        QTRY_COMPARE_WITH_TIMEOUT(X11::serverGeometry(window.get()).topLeft(),
                                  X11::toDevice(window->geometry().topLeft()), kWaitMs);
        QVERIFY(!stale || makeStale(window.get()));
        const QPoint start = X11::serverGeometry(window.get()).topLeft();
        const QPoint grip = start + X11::toDevice(kTitleGrip);
        const QPoint distance = X11::toDevice(kDragDistance);

        QVERIFY(X11::mouseMove(grip));
        QVERIFY(X11::xdotool(QStringLiteral("mousedown 1")));
        // In steps, as a hand moves: each one is a move event of its own.
        for (int i = 1; i <= 4; ++i)
            QVERIFY(X11::mouseMove(grip + distance * i / 4));
        QVERIFY(X11::xdotool(QStringLiteral("mouseup 1")));
        QTRY_COMPARE_WITH_TIMEOUT(X11::serverGeometry(window.get()).topLeft(), start + distance, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(X11::toDevice(window->geometry().topLeft()), start + distance, kWaitMs);
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
        std::unique_ptr<QDialog> window = makeWindow(Kind::Frameless);
        QVERIFY(showOnLastScreen(window.get()) && (!stale || makeStale(window.get())));
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
        QVERIFY2(qAbs(list.left() - box.left()) <= X11::toDevice(1), qPrintable(describe(box, list)));
        QVERIFY2(list.top() >= box.top() && list.top() <= box.bottom() + X11::toDevice(2),
                 qPrintable(describe(box, list)));
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
        QTest::addColumn<Kind>("dialogKind");
        QTest::addColumn<bool>("stale");
        QTest::addColumn<bool>("parentVisible");
        QTest::newRow("message box") << Kind::Frameless << false << true;
        QTest::newRow("message box, parent's position stale") << Kind::Frameless << true << true;
        QTest::newRow("project settings, parent's position stale") << Kind::Shadow << true << true;
        QTest::newRow("message box, parent hidden") << Kind::Frameless << false << false;
    }

    // Catches centring on a parent assumed at the screen's corner, QDialog's allowance for a native
    // frame that a frameless window does not have, and a dialog of a hidden parent that opens on
    // another screen than the parent's.
    void dialogCentredOnParent()
    {
        QFETCH(Kind, dialogKind);
        QFETCH(bool, stale);
        QFETCH(bool, parentVisible);
        std::unique_ptr<QDialog> parent = makeWindow(Kind::Frameless);
        QScreen* parentScreen = QGuiApplication::screens().constLast();
        if (parentVisible) {
            QVERIFY(showOnLastScreen(parent.get()) && (!stale || makeStale(parent.get())));
        } else {
            parent->winId();
            parent->windowHandle()->setScreen(parentScreen);
        }
        QPointer<QDialog> dialog;
        if (dialogKind == Kind::Frameless)
            dialog = new VMessageDialog(QStringLiteral("Centred?"), parent.get(), VMessageDialog::Ok,
                                        QString(), QString(), QString(), false);
        else
            dialog = new VkProjectSettingDialog(parent.get());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.data(), kWaitMs));
        const QPoint centre = parentVisible ? X11::serverGeometry(parent.get()).center()
                                            : X11::toDevice(parentScreen->availableGeometry().center());
        QTRY_VERIFY2_WITH_TIMEOUT(
            (X11::serverGeometry(dialog.data()).center() - centre).manhattanLength() <= 2 * X11::toDevice(1),
            qPrintable(describe(X11::serverGeometry(dialog.data()).center(), centre)), kWaitMs);
        dialog->close();
    }

    void focusIsVisibleOnlyOnTheFocusedControl_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("title"); // as the window manager (task bar, screen readers) names it
        QTest::newRow("startup window with recent projects")
            << "startup" << QGuiApplication::applicationDisplayName();
        QTest::newRow("project settings") << "project settings"
                                          << "Project Settings";
        QTest::newRow("message box") << "message box"
                                     << "Information";
    }

    // Catches a window that the window manager cannot name. Then tabs through every keyboard stop of the
    // dialog with real key presses and grabs each stop: the focused one must differ from its unfocused look
    // and show the accent colour around it; all the others must look exactly as when something else has the
    // focus.
    void focusIsVisibleOnlyOnTheFocusedControl()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, title);
        std::unique_ptr<QDialog> dialog;
        QTemporaryDir projects;
        // The startup window's library list is a stop of its own; its mark is the current row's outline.
        // Its other stops are those of the empty library.
        QVERIFY(RecentFixture::listProjects(QDir(projects.path()),
                                            {QStringLiteral("Harbour"), QStringLiteral("Old Town")})
                    .size() == 2);
        if (dialogName == QLatin1String("startup"))
            dialog = std::make_unique<VkStartupDlg>(nullptr);
        else if (dialogName == QLatin1String("project settings"))
            dialog = std::make_unique<VkProjectSettingDialog>(nullptr);
        else
            dialog = std::make_unique<VMessageDialog>(QStringLiteral("Keep the changes?"), nullptr,
                                                      VMessageDialog::Ok | VMessageDialog::Cancel, QString(),
                                                      QString(), QString(), false);
        QVERIFY(showAndActivate(dialog.get()));
        QVERIFY(!title.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(X11::windowManagerName(dialog.get()).startsWith(title), kWaitMs);

        // The stops, in Tab order, as the keyboard reaches them.
        QList<QPointer<QWidget>> stops;
        while (stops.size() < 40 && (stops.isEmpty() || stops.constFirst() != QApplication::focusWidget())) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused);
            stops << focused;
            QVERIFY(X11::xdotool(QStringLiteral("key Tab")));
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() != focused, kWaitMs);
        }
        QVERIFY2(stops.size() >= 2, qPrintable(QString::number(stops.size())));

        // looks[i][j]: stop j while stop i has the focus.
        QVector<QVector<QImage>> looks;
        for (int i = 0; i < stops.size(); ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), stops.at(i).data(), kWaitMs);
            looks.append(QVector<QImage>());
            for (const QPointer<QWidget>& stop : stops)
                looks.last() << look(stop);
            QVERIFY(X11::xdotool(QStringLiteral("key Tab")));
        }

        QStringList faults;
        for (int j = 0; j < stops.size(); ++j) {
            const QImage unfocused = looks.at((j + 1) % stops.size()).at(j);
            const QPair<int, int> marked = differences(looks.at(j).at(j), unfocused);
            if (marked.first < 8)
                faults << describe(stops.at(j)) + QStringLiteral(": no focus mark");
            // An accent ring or border around the stop, or (a list) an accent mark inside it. A
            // button filled with the accent colour has the ring already; its mark is the line inside.
            else if (accentOutline(looks.at(j).at(j)) < 0.5 && marked.second < 8)
                faults << describe(stops.at(j)) + QStringLiteral(": focus mark not in the accent colour");
            for (int i = 0; i < stops.size(); ++i) {
                if (i != j && differences(looks.at(i).at(j), unfocused).first != 0)
                    faults << describe(stops.at(j)) + QStringLiteral(": looks focused while %1 has the focus")
                                                          .arg(describe(stops.at(i)));
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

private:
    // Shows window on the right half of the last screen (on the wide screen, where a second
    // display to the right would be), away from its centre, so that centring on the screen and
    // centring on the window give different answers.
    static bool showOnLastScreen(QWidget* window)
    {
        const QRect area = QGuiApplication::screens().constLast()->availableGeometry();
        window->move(area.topLeft() + QPoint(area.width() * 9 / 16, area.height() / 10));
        return showAndActivate(window);
    }
    // Leaves window with a stale cached position: the window manager's word that it stands at the
    // screen's corner while it stays where it is.
    static bool makeStale(QWidget* window)
    {
        const QPoint corner = QGuiApplication::screens().constFirst()->geometry().topLeft();
        X11::sendStalePosition(window, X11::toDevice(corner));
        // Wait until the toolkit has taken the word for it.
        return QTest::qWaitFor([&] { return window->geometry().topLeft() == corner; }, kWaitMs);
    }
};

VK_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
