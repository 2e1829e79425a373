#include "VkTestMain.h"
#include "VkX11Probe.h"

#include <projectsetting/VkProjectSettingDialog.h>
#include <startup/VkStartupDlg.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkwidgets/VMessageDialog.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkShadowDialog.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include <QAbstractItemView>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include <functional>
#include <memory>

// Which frame a test window has: VkFramelessDialog (the main window, message boxes, properties) or
// VkShadowDialog (the startup window, project settings).
enum class Kind
{
    Frameless,
    Shadow,
};
Q_DECLARE_METATYPE(Kind)

// These tests need a real X server with a window manager (tests/desktop/run_x11_session.sh starts
// Xvfb and openbox for them); the offscreen platform has no window manager, no frames and no
// screen positions of its own to get wrong.

namespace {

// Generous for a loaded machine; every wait ends as soon as its condition holds.
const int kWaitMs = 10000;
const QSize kMainSize{720, 480};
// A point of the title bar that no title button covers, relative to the window.
const QPoint kTitleGrip{120, 12};
const QPoint kDragDistance{137, 83};
// Pixels whose colour is within this distance (per channel) of the accent count as accent.
const int kColourTolerance = 24;

// A main window like a host's: frameless, with a title bar and a combo box in its body.
std::unique_ptr<VkFramelessDialog> makeFramelessWindow()
{
    auto window = std::make_unique<VkFramelessDialog>(nullptr, true, true);
    window->SetTitleName(QStringLiteral("Main Window"), false);
    auto* body = new QWidget(window.get());
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(129, 60, 129, 60);
    auto* combo = VkComboBox::CreateComboBox(body);
    combo->setObjectName(QStringLiteral("Desktop_Combo"));
    for (int i = 0; i < 6; ++i)
        combo->addItem(QStringLiteral("Clip %1.mp4").arg(i + 1));
    layout->addWidget(combo);
    layout->addStretch(1);
    window->SetContentWidget(body);
    window->resize(kMainSize);
    return window;
}

// A frameless window with a drop-shadow frame and its title bar, like the startup window.
std::unique_ptr<QDialog> makeWindow(Kind kind)
{
    if (kind == Kind::Frameless)
        return makeFramelessWindow();
    auto window = std::make_unique<VkShadowDialog>(nullptr);
    window->resize(kMainSize);
    return window;
}

// Shows window at its place and waits until the window manager has mapped and activated it.
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
        if (nearAccent(image.pixel(x, y)) || nearAccent(image.pixel(xInner, yInner)))
            ++accent;
    };
    const int w = image.width();
    const int h = image.height();
    if (w < 4 || h < 4)
        return 0;
    // Corners are rounded; the straight parts say enough.
    for (int x = 3; x < w - 3; ++x) {
        look(x, 0, x, 1);
        look(x, h - 1, x, h - 2);
    }
    for (int y = 3; y < h - 3; ++y) {
        look(0, y, 1, y);
        look(w - 1, y, w - 2, y);
    }
    return double(accent) / edge;
}

int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

// Pixels that show the accent colour in `focused` and not in `unfocused`.
int accentGained(const QImage& focused, const QImage& unfocused)
{
    if (focused.size() != unfocused.size())
        return 0;
    int count = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x)
            count += nearAccent(focused.pixel(x, y)) && !nearAccent(unfocused.pixel(x, y));
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

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void dragMovesByTheMouse_data();
    void dragMovesByTheMouse();
    void popupOpensUnderItsBoxAndLeavesNoMark_data();
    void popupOpensUnderItsBoxAndLeavesNoMark();
    void dialogCentredOnParent_data();
    void dialogCentredOnParent();
    void focusIsVisibleOnlyOnTheFocusedControl_data();
    void focusIsVisibleOnlyOnTheFocusedControl();

private:
    // Places window on the right half of the last screen (on the wide screen, where a second
    // display to the right would be), away from its centre, so that centring on the screen and
    // centring on the window give different answers.
    void placeOnLastScreen(QWidget* window);
    // Leaves window with a stale cached position when asked to: the window manager's word that it
    // stands at the screen's corner while it stays where it is.
    bool makeStale(QWidget* window);

    std::unique_ptr<VkX11Probe> m_x11;
};

void TestDesktop::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server with a window manager (run through run_x11_session.sh)");
    m_x11 = std::make_unique<VkX11Probe>();
    QVERIFY(m_x11->isValid());
    IVkProjectManager::getInstance()->newProject();
    // The mouse rests in a corner where no test window goes, so no control shows its hover look.
    QVERIFY(VkX11Probe::mouseMove(QPoint(0, 0)));
}

void TestDesktop::cleanup()
{
    QVERIFY(VkX11Probe::xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
    QVERIFY(VkX11Probe::mouseMove(QPoint(0, 0)));
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->close();
    }
}

void TestDesktop::placeOnLastScreen(QWidget* window)
{
    const QRect area = QGuiApplication::screens().constLast()->availableGeometry();
    window->move(area.topLeft() + QPoint(area.width() * 9 / 16, area.height() / 10));
}

bool TestDesktop::makeStale(QWidget* window)
{
    const QPoint corner = QGuiApplication::screens().constFirst()->geometry().topLeft();
    m_x11->sendStalePosition(window, VkX11Probe::toDevice(corner));
    // Wait until the toolkit has taken the word for it.
    return QTest::qWaitFor([&] { return window->geometry().topLeft() == corner; }, kWaitMs);
}

void TestDesktop::dragMovesByTheMouse_data()
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
void TestDesktop::dragMovesByTheMouse()
{
    QFETCH(Kind, kind);
    QFETCH(bool, stale);
    std::unique_ptr<QDialog> window = makeWindow(kind);
    placeOnLastScreen(window.get());
    QVERIFY(showAndActivate(window.get()));
    QTRY_COMPARE_WITH_TIMEOUT(m_x11->serverGeometry(window.get()).topLeft(),
                              VkX11Probe::toDevice(window->geometry().topLeft()), kWaitMs);
    if (stale)
        QVERIFY(makeStale(window.get()));
    const QPoint start = m_x11->serverGeometry(window.get()).topLeft();
    const QPoint grip = start + VkX11Probe::toDevice(kTitleGrip);
    const QPoint distance = VkX11Probe::toDevice(kDragDistance);

    QVERIFY(VkX11Probe::mouseMove(grip));
    QVERIFY(VkX11Probe::xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}));
    // In steps, as a hand moves: each one is a move event of its own.
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        QVERIFY(VkX11Probe::mouseMove(grip + distance * i / steps));
    QVERIFY(VkX11Probe::xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));

    QTRY_COMPARE_WITH_TIMEOUT(m_x11->serverGeometry(window.get()).topLeft(), start + distance, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(VkX11Probe::toDevice(window->geometry().topLeft()), start + distance, kWaitMs);
}

void TestDesktop::popupOpensUnderItsBoxAndLeavesNoMark_data()
{
    QTest::addColumn<bool>("stale");
    QTest::newRow("fresh window") << false;
    QTest::newRow("stale position") << true;
}

// Catches a list placed from the box's position inside the window instead of on the screen, and a
// box that keeps an accent border (hover stuck after the list grabbed the mouse, or the focus taken
// by the click) once its list was used with the mouse.
void TestDesktop::popupOpensUnderItsBoxAndLeavesNoMark()
{
    QFETCH(bool, stale);
    std::unique_ptr<VkFramelessDialog> window = makeFramelessWindow();
    placeOnLastScreen(window.get());
    QVERIFY(showAndActivate(window.get()));
    if (stale)
        QVERIFY(makeStale(window.get()));
    auto* combo = window->findChild<VkComboBox*>(QStringLiteral("Desktop_Combo"));
    QVERIFY(combo);
    // The window opens with its only control focused; what is looked at here is what the mouse
    // leaves behind.
    QTRY_VERIFY_WITH_TIMEOUT(combo->hasFocus(), kWaitMs);
    combo->clearFocus();
    QVERIFY2(accentOutline(look(combo)) < 0.1, "the box shows a focus mark without the focus");
    const QRect windowOnServer = m_x11->serverGeometry(window.get());
    const QRect box(windowOnServer.topLeft() + VkX11Probe::toDevice(combo->mapTo(window.get(), QPoint(0, 0))),
                    QSize(VkX11Probe::toDevice(combo->width()), VkX11Probe::toDevice(combo->height())));

    QVERIFY(VkX11Probe::click(box.center()));
    QWidget* popup = combo->view()->window();
    QTRY_VERIFY_WITH_TIMEOUT(popup->isVisible() && m_x11->serverGeometry(popup).isValid(), kWaitMs);
    QVERIFY(QTest::qWaitForWindowExposed(popup, kWaitMs));
    const QRect list = m_x11->serverGeometry(popup);
    const QString where = QStringLiteral("box %1,%2 %3x%4, list %5,%6 %7x%8")
                              .arg(box.x())
                              .arg(box.y())
                              .arg(box.width())
                              .arg(box.height())
                              .arg(list.x())
                              .arg(list.y())
                              .arg(list.width())
                              .arg(list.height());
    // The list lines up with the box and starts on it or right below it.
    QVERIFY2(qAbs(list.left() - box.left()) <= VkX11Probe::toDevice(1), qPrintable(where));
    QVERIFY2(list.top() >= box.top() && list.top() <= box.bottom() + VkX11Probe::toDevice(2),
             qPrintable(where));
    // The third row of the list.
    const QRect third = combo->view()->visualRect(combo->model()->index(2, 0));
    QVERIFY(VkX11Probe::click(list.topLeft() +
                              VkX11Probe::toDevice(combo->view()->viewport()->mapTo(popup, third.center()))));
    QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), kWaitMs);
    QCOMPARE(combo->currentIndex(), 2);
    QVERIFY(VkX11Probe::mouseMove(QPoint(0, 0)));
    QVERIFY2(accentOutline(look(combo)) < 0.1, qPrintable(QString::number(accentOutline(look(combo)))));
    QVERIFY(!combo->hasFocus());
}

void TestDesktop::dialogCentredOnParent_data()
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
void TestDesktop::dialogCentredOnParent()
{
    QFETCH(Kind, dialogKind);
    QFETCH(bool, stale);
    QFETCH(bool, parentVisible);
    std::unique_ptr<VkFramelessDialog> parent = makeFramelessWindow();
    placeOnLastScreen(parent.get());
    QScreen* parentScreen = QGuiApplication::screens().constLast();
    if (parentVisible) {
        QVERIFY(showAndActivate(parent.get()));
        if (stale)
            QVERIFY(makeStale(parent.get()));
    } else {
        parent->winId();
        parent->windowHandle()->setScreen(parentScreen);
    }

    QPointer<QDialog> dialog;
    if (dialogKind == Kind::Frameless)
        dialog = new VMessageDialog(QStringLiteral("Centred?"), parent.get(), VMessageDialog::Ok, QString(),
                                    QString(), QString(), false);
    else
        dialog = new VkProjectSettingDialog(parent.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.data(), kWaitMs));

    QPoint expectedCentre;
    if (parentVisible)
        expectedCentre = m_x11->serverGeometry(parent.get()).center();
    else
        expectedCentre = VkX11Probe::toDevice(parentScreen->availableGeometry().center());
    const int tolerance = VkX11Probe::toDevice(1);
    QTRY_VERIFY2_WITH_TIMEOUT(
        (m_x11->serverGeometry(dialog.data()).center() - expectedCentre).manhattanLength() <= 2 * tolerance,
        qPrintable(QStringLiteral("dialog centre %1,%2, expected %3,%4")
                       .arg(m_x11->serverGeometry(dialog.data()).center().x())
                       .arg(m_x11->serverGeometry(dialog.data()).center().y())
                       .arg(expectedCentre.x())
                       .arg(expectedCentre.y())),
        kWaitMs);
    dialog->close();
}

void TestDesktop::focusIsVisibleOnlyOnTheFocusedControl_data()
{
    QTest::addColumn<QString>("dialogName");
    QTest::addColumn<QString>("title"); // as the window manager (task bar, screen readers) names it
    const QString startup = QGuiApplication::applicationDisplayName();
    QTest::newRow("startup window") << QStringLiteral("startup") << startup;
    QTest::newRow("startup window with recent projects")
        << QStringLiteral("startup with projects") << startup;
    QTest::newRow("project settings")
        << QStringLiteral("project settings") << QStringLiteral("Project Settings");
    QTest::newRow("message box") << QStringLiteral("message box") << QStringLiteral("Information");
}

// Catches a window that the window manager cannot name. Then tabs through every keyboard stop of the
// dialog with real key presses and grabs each stop: the focused one must differ from its unfocused look and
// show the accent colour around it; all the others must look exactly as when something else has the focus.
void TestDesktop::focusIsVisibleOnlyOnTheFocusedControl()
{
    QFETCH(QString, dialogName);
    std::unique_ptr<QDialog> dialog;
    QTemporaryDir projects;
    if (dialogName == QLatin1String("startup with projects")) {
        // The library list becomes a stop of its own; its mark is the current row's outline.
        for (const char* name : {"Harbour", "Old Town"}) {
            const QString path = projects.filePath(QLatin1String(name) + QStringLiteral(".vkproj"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QString error;
            QVERIFY2(IVkProjectRecentManager::getInstance()->addProject(path, QLatin1String(name), &error),
                     qPrintable(error));
        }
    }
    if (dialogName.startsWith(QLatin1String("startup")))
        dialog = std::make_unique<VkStartupDlg>(nullptr);
    else if (dialogName == QLatin1String("project settings"))
        dialog = std::make_unique<VkProjectSettingDialog>(nullptr);
    else
        dialog = std::make_unique<VMessageDialog>(QStringLiteral("Keep the changes?"), nullptr,
                                                  VMessageDialog::Ok | VMessageDialog::Cancel, QString(),
                                                  QString(), QString(), false);
    QVERIFY(showAndActivate(dialog.get()));
    QFETCH(QString, title);
    QVERIFY(!title.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(VkX11Probe::windowManagerName(dialog.get()).startsWith(title), kWaitMs);

    // The stops, in Tab order, as the keyboard reaches them.
    QList<QPointer<QWidget>> stops;
    for (int guard = 0; guard < 40; ++guard) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (!stops.isEmpty() && stops.constFirst() == focused)
            break;
        stops << focused;
        QVERIFY(VkX11Probe::xdotool({QStringLiteral("key"), QStringLiteral("Tab")}));
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() != focused, kWaitMs);
    }
    QVERIFY2(stops.size() >= 2, qPrintable(QString::number(stops.size())));
    QStringList names;
    for (const QPointer<QWidget>& stop : stops)
        names << describe(stop);
    qInfo("%d stops: %s", int(stops.size()), qPrintable(names.join(QLatin1String(", "))));

    // looks[i][j]: stop j while stop i has the focus.
    QVector<QVector<QImage>> looks;
    for (int i = 0; i < stops.size(); ++i) {
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), stops.at(i).data(), kWaitMs);
        QVector<QImage> row;
        for (const QPointer<QWidget>& stop : stops)
            row << look(stop);
        looks << row;
        QVERIFY(VkX11Probe::xdotool({QStringLiteral("key"), QStringLiteral("Tab")}));
    }

    QStringList faults;
    for (int j = 0; j < stops.size(); ++j) {
        const QImage unfocused = looks.at((j + 1) % stops.size()).at(j);
        const QImage focused = looks.at(j).at(j);
        if (differingPixels(focused, unfocused) < 8)
            faults << describe(stops.at(j)) + QStringLiteral(": no focus mark");
        // An accent ring or border around the stop, or (a list) an accent mark inside it. A
        // button filled with the accent colour has the ring already; its mark is the line inside.
        else if (accentOutline(focused) < 0.5 && accentGained(focused, unfocused) < 8)
            faults << describe(stops.at(j)) + QStringLiteral(": focus mark not in the accent colour (%1)")
                                                  .arg(accentOutline(focused));
        for (int i = 0; i < stops.size(); ++i) {
            if (i != j && differingPixels(looks.at(i).at(j), unfocused) != 0)
                faults << describe(stops.at(j)) + QStringLiteral(": looks focused while %1 has the focus")
                                                      .arg(describe(stops.at(i)));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

VK_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
