#include "OpenWindows.h"

#include <VkTestMain.h>

#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkPushButtonBar.h>
#include <vkwidgets/VkShadowDialog.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>
#include <vkwidgets/VkWidget.h>

#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QTimer>
#include <QTranslator>

namespace {

// Every call of the text hooks, in order, so that the tests can check order and count.
QStringList hookCalls;

class TranslatedPage : public VkWidget
{
    Q_OBJECT
public:
    explicit TranslatedPage(QWidget* parent)
        : VkWidget(parent)
        , caption(new QLabel(this))
    {
        RetranslateUi();
    }
    void RetranslateUi() override
    {
        hookCalls << QStringLiteral("page:RetranslateUi");
        caption->setText(tr("Name:"));
    }
    void TranslateText() override { hookCalls << QStringLiteral("page:TranslateText"); }
    QLabel* caption;
};

class TranslatedDialog : public VkFramelessDialog
{
    Q_OBJECT
public:
    TranslatedDialog()
        : VkFramelessDialog(nullptr, true, true)
        , page(new TranslatedPage(this))
    {
        SetContentWidget(page);
        RetranslateUi();
    }
    void RetranslateUi() override
    {
        hookCalls << QStringLiteral("dialog:RetranslateUi");
        SetTitleName(tr("Settings"), false);
    }
    void TranslateText() override { hookCalls << QStringLiteral("dialog:TranslateText"); }
    TranslatedPage* page;
};

class TranslatedShadowDialog : public VkShadowDialog
{
    Q_OBJECT
public:
    void RetranslateUi() override { hookCalls << QStringLiteral("shadow:RetranslateUi"); }
    void TranslateText() override { hookCalls << QStringLiteral("shadow:TranslateText"); }
    VkTopLevelWindowTitleBar* titleBar() const { return m_titleBar; }
    QWidget* titleArea() const { return m_titleArea; }
    int titleBarHeight() const { return m_titleBarHeight; }
};

QToolButton* closeButton(QWidget* dialog)
{
    return dialog->findChild<QToolButton*>(QStringLiteral("VkTopLevelWindowTitleBar_Close"));
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY2(openWindows().isEmpty(), "a test left a window open"); }
    void languageChangeCallsEachHookOnce();
    void modalRunEnds_data();
    void modalRunEnds();
    void framelessLayout();
    void replacedContentIsDeleted();
    void setFixedSizeClamps();
    void shadowTitleAreaPassesClicksThrough();
    void titleBarDragMovesWindow();
    void opensWithBodyFocused();
};

// Catches hooks that are not called, called twice (e.g. from both changeEvent and event) or called
// in the wrong order, and a translator that never reaches the widgets.
void TestDialogs::languageChangeCallsEachHookOnce()
{
    TranslatedDialog dialog;
    TranslatedShadowDialog shadow;
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Settings"));
    hookCalls.clear();

    QTranslator translator;
    QVERIFY2(translator.load(QStringLiteral(VK_TEST_TRANSLATION)), VK_TEST_TRANSLATION);
    QVERIFY(QCoreApplication::installTranslator(&translator));
    // The application posts the change to each window.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCoreApplication::processEvents();
    for (const char* hook : {"dialog:RetranslateUi", "dialog:TranslateText", "page:RetranslateUi",
                             "page:TranslateText", "shadow:RetranslateUi", "shadow:TranslateText"})
        QVERIFY2(hookCalls.count(QLatin1String(hook)) == 1, hook);
    for (const char* owner : {"dialog", "page"}) {
        QVERIFY(hookCalls.indexOf(QStringLiteral("%1:RetranslateUi").arg(owner)) <
                hookCalls.indexOf(QStringLiteral("%1:TranslateText").arg(owner)));
    }
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Einstellungen"));
    QCOMPARE(dialog.page->caption->text(), QStringLiteral("Name (de):"));

    hookCalls.clear();
    QVERIFY(QCoreApplication::removeTranslator(&translator));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCoreApplication::processEvents();
    QCOMPARE(hookCalls.size(), 6);
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Settings"));
}

void TestDialogs::modalRunEnds_data()
{
    QTest::addColumn<bool>("shadow");
    QTest::addColumn<QString>("way"); // a code given to done(), "escape" or "close"
    QTest::addColumn<int>("result");
    QTest::newRow("frameless, done(0)") << false << "0" << 0;
    QTest::newRow("frameless, own code") << false << "42" << 42;
    QTest::newRow("shadow, own code") << true << "7" << 7;
    QTest::newRow("frameless, Escape") << false << "escape" << 0;
    QTest::newRow("frameless, close button") << false << "close" << 0;
    QTest::newRow("shadow, close button") << true << "close" << 0;
}

// Catches a DoModal that maps the code to accepted/rejected or returns before the dialog ends, a
// frame that swallows Escape, and a close button that does not end the run.
void TestDialogs::modalRunEnds()
{
    QFETCH(bool, shadow);
    QFETCH(QString, way);
    TranslatedDialog frameless;
    TranslatedShadowDialog shadowDialog;
    shadowDialog.titleBar()->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
    QDialog* dialog = shadow ? static_cast<QDialog*>(&shadowDialog) : &frameless;
    dialog->setResult(5);
    bool wasVisible = false;
    QTimer::singleShot(0, dialog, [&] {
        wasVisible = dialog->isVisible();
        if (way == "escape") {
            QTest::keyClick(dialog, Qt::Key_Escape);
        } else if (way == "close") {
            QVERIFY(closeButton(dialog) && closeButton(dialog)->isVisible());
            closeButton(dialog)->click();
        } else {
            dialog->done(way.toInt());
        }
    });
    QTimer::singleShot(5000, dialog, [dialog] { dialog->done(-1); }); // never hang
    QTEST(shadow ? shadowDialog.DoModal() : frameless.DoModal(), "result");
    QVERIFY(wasVisible);
}

// Catches a body that overlaps the bars, a hidden bar that still takes room, children shifted off
// the one-pixel border, and buttons on the wrong side or out of order (position 1 is the right,
// index -1 appends).
void TestDialogs::framelessLayout()
{
    TranslatedDialog dialog;
    VkButtonBar* buttons = dialog.ButtonBar();
    auto* ok = VkPushButton::CreatePrimaryButton(&dialog, VkPushButton::Size_32);
    auto* cancel = VkPushButton::CreateSecondaryButton(&dialog, VkPushButton::Size_32);
    auto* help = VkPushButton::CreateSecondaryButton(&dialog, VkPushButton::Size_32);
    buttons->AddButton(1, ok, -1);
    buttons->AddButton(VkButtonBar::Position_Right, cancel, 0);
    buttons->AddButton(VkButtonBar::Position_Left, help, -1);
    QCOMPARE(buttons->Buttons(VkButtonBar::Position_Right), (QList<QAbstractButton*>{cancel, ok}));
    QCOMPARE(buttons->Buttons(VkButtonBar::Position_Left), (QList<QAbstractButton*>{help}));
    QCOMPARE(ok->parentWidget(), buttons);
    dialog.resize(480, 400);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QRect title = dialog.GetTitleBar()->geometry();
    const QRect body = dialog.page->geometry();
    const QRect bar = buttons->geometry();
    QCOMPARE(title.topLeft(), QPoint(1, 1));
    QCOMPARE(title.width(), 480 - 2);
    QCOMPARE(body.top(), title.bottom() + 1);
    QCOMPARE(bar.top(), body.bottom() + 1);
    QCOMPARE(bar.bottom(), 400 - 2);
    QCOMPARE(bar.height(), 64);
    // Right group flush with the bar's 24-pixel margin, OK rightmost.
    QCOMPARE(ok->geometry().right(), bar.width() - 24 - 1);
    QVERIFY(cancel->geometry().right() < ok->geometry().left());
    QVERIFY(help->geometry().right() < cancel->geometry().left());

    dialog.SetBottomBarVisible(false);
    QCoreApplication::processEvents();
    dialog.layout()->activate();
    QVERIFY(!buttons->isVisible());
    QCOMPARE(dialog.page->geometry().bottom(), 400 - 2);
}

void TestDialogs::replacedContentIsDeleted()
{
    TranslatedDialog dialog;
    QPointer<QWidget> first = dialog.page;
    auto* second = new QWidget;
    dialog.SetContentWidget(second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QCOMPARE(dialog.ContentWidget(), second);
    QCOMPARE(second->parentWidget(), &dialog);
}

// Catches the limit used as the height (a short dialog would grow) or the width ignored. Kind 0 is
// the 480-pixel class, 3 the 1200-pixel one; an unknown kind is narrow.
void TestDialogs::setFixedSizeClamps()
{
    const QList<std::tuple<int, int, int, QSize>> cases{{0, 514, 690, {480, 514}},
                                                        {0, 774, 690, {480, 690}},
                                                        {3, 659, 800, {1200, 659}},
                                                        {9, 300, 690, {480, 300}}};
    for (const auto& [kind, startHeight, maxHeight, expected] : cases) {
        TranslatedDialog dialog;
        dialog.resize(480, startHeight);
        dialog.SetFixedSize(kind, maxHeight);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), expected);
        QCOMPARE(dialog.minimumSize(), expected);
        QCOMPARE(dialog.maximumSize(), expected);
    }
}

// Catches a title area that covers the title bar's close button, or one that lets clicks through
// its own buttons.
void TestDialogs::shadowTitleAreaPassesClicksThrough()
{
    TranslatedShadowDialog dialog;
    dialog.setFixedSize(480, 328);
    dialog.titleBar()->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
    VkToolButton* help = VkToolButton::CreateToolButton(dialog.titleArea(), QStringLiteral("Test_Help"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    help->setGeometry(300, 4, 24, 24);
    QCoreApplication::processEvents();

    QCOMPARE(dialog.titleArea()->geometry(), QRect(0, 0, 480, dialog.titleBarHeight()));
    QCOMPARE(dialog.titleBar()->geometry(), QRect(0, 0, 480, dialog.titleBarHeight()));
    QToolButton* close = closeButton(&dialog);
    QVERIFY(close && close->isVisible());
    QCOMPARE(dialog.childAt(close->mapTo(&dialog, close->rect().center())), close);
    QCOMPARE(dialog.childAt(QPoint(312, 16)), help);
    // Between the buttons the title bar itself takes the press (and drags the window).
    QWidget* between = dialog.childAt(QPoint(200, 16));
    QVERIFY(between == dialog.titleBar() || dialog.titleBar()->isAncestorOf(between));
}

// Catches a title bar that does not move its frameless window.
void TestDialogs::titleBarDragMovesWindow()
{
    TranslatedDialog dialog;
    dialog.resize(480, 300);
    dialog.move(100, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    VkTopLevelWindowTitleBar* bar = dialog.GetTitleBar();
    const QPoint origin = bar->mapToGlobal(QPoint(0, 0)); // where the press began, fixed
    const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held) {
        // As the platform delivers it: the position in the bar, in the window and on the screen.
        QMouseEvent event(type, local, bar->mapTo(&dialog, local), origin + local, button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(80, 30), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(80, 30), Qt::LeftButton, Qt::NoButton);
    QTRY_COMPARE(dialog.pos(), start + QPoint(30, 20));
}

// Catches a dialog that opens with its title bar's close button focused (Enter would close it, and
// the focus mark sits on the close button), and a chosen focus that the base overrides.
void TestDialogs::opensWithBodyFocused()
{
    TranslatedShadowDialog dialog;
    dialog.setFixedSize(480, 328);
    dialog.titleBar()->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
    auto* first = new VkPushButton(&dialog, false, 32);
    first->setGeometry(20, 100, 88, 32);
    auto* second = new VkPushButton(&dialog, false, 32);
    second->setGeometry(120, 100, 88, 32);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QVERIFY(closeButton(&dialog));
    QCOMPARE(dialog.focusWidget(), first);
    dialog.hide();

    TranslatedShadowDialog chosen;
    chosen.setFixedSize(480, 328);
    chosen.titleBar()->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
    new VkPushButton(&chosen, false, 32);
    auto* wanted = new VkPushButton(&chosen, false, 32);
    wanted->setFocus();
    chosen.show();
    QVERIFY(QTest::qWaitForWindowActive(&chosen));
    QCOMPARE(chosen.focusWidget(), wanted);
}

VK_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
