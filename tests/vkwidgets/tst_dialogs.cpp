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
    void framelessLayout();
    void replacedContentIsDeleted();
    void setFixedSizeClamps_data();
    void setFixedSizeClamps();
    void shadowTitleAreaPassesClicksThrough();
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

void TestDialogs::setFixedSizeClamps_data()
{
    QTest::addColumn<int>("kind"); // 0 is the 480-pixel class, 3 the 1200-pixel one
    QTest::addColumn<int>("startHeight");
    QTest::addColumn<int>("maxHeight");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("short dialog keeps its height") << 0 << 514 << 690 << QSize(480, 514);
    QTest::newRow("tall dialog clamped") << 0 << 774 << 690 << QSize(480, 690);
    QTest::newRow("wide class") << 3 << 659 << 800 << QSize(1200, 659);
    QTest::newRow("unknown kind is narrow") << 9 << 300 << 690 << QSize(480, 300);
}

// Catches the limit used as the height (a short dialog would grow) or the width ignored.
void TestDialogs::setFixedSizeClamps()
{
    QFETCH(int, kind);
    QFETCH(int, startHeight);
    QFETCH(int, maxHeight);
    QFETCH(QSize, expected);
    TranslatedDialog dialog;
    dialog.resize(480, startHeight);
    dialog.SetFixedSize(kind, maxHeight);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), expected);
    QCOMPARE(dialog.minimumSize(), expected);
    QCOMPARE(dialog.maximumSize(), expected);
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

VK_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
