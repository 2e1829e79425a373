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

QWidgetList openWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidgetList windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->inherits("QTipLabel"))
            windows.append(w);
    }
    return windows;
}

// Records every call of the text hooks so that the tests can check order and count.
class TranslatedPage : public VkWidget
{
    Q_OBJECT
public:
    TranslatedPage(QStringList* calls, QWidget* parent)
        : VkWidget(parent)
        , calls(calls)
        , caption(new QLabel(this))
    {
        RetranslateUi();
        calls->clear();
    }
    void RetranslateUi() override
    {
        calls->append(QStringLiteral("page:RetranslateUi"));
        caption->setText(tr("Name:"));
    }
    void TranslateText() override { calls->append(QStringLiteral("page:TranslateText")); }

    QStringList* calls;
    QLabel* caption;
};

class TranslatedDialog : public VkFramelessDialog
{
    Q_OBJECT
public:
    explicit TranslatedDialog(QStringList* calls)
        : VkFramelessDialog(nullptr, true, true)
        , calls(calls)
        , page(new TranslatedPage(calls, this))
    {
        SetContentWidget(page);
        RetranslateUi();
        calls->clear();
    }
    void RetranslateUi() override
    {
        calls->append(QStringLiteral("dialog:RetranslateUi"));
        SetTitleName(tr("Settings"), false);
    }
    void TranslateText() override { calls->append(QStringLiteral("dialog:TranslateText")); }

    QStringList* calls;
    TranslatedPage* page;
};

class TranslatedShadowDialog : public VkShadowDialog
{
    Q_OBJECT
public:
    explicit TranslatedShadowDialog(QStringList* calls)
        : calls(calls)
    {}
    void RetranslateUi() override { calls->append(QStringLiteral("shadow:RetranslateUi")); }
    void TranslateText() override { calls->append(QStringLiteral("shadow:TranslateText")); }

    VkTopLevelWindowTitleBar* titleBar() const { return m_titleBar; }
    QWidget* titleArea() const { return m_titleArea; }
    int titleBarHeight() const { return m_titleBarHeight; }

    QStringList* calls;
};

} // namespace

// The dialog bases: text hooks on a language change, the modal run's result, the frame's layout
// and sizing, and the title strip of the shadow dialog.
class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void languageChangeCallsEachHookOnce();
    void doModalReturnsDoneCode_data();
    void doModalReturnsDoneCode();
    void escapeAndCloseButtonReject();
    void framelessLayoutStacksBars();
    void replacedContentIsDeleted();
    void setFixedSizeClamps_data();
    void setFixedSizeClamps();
    void buttonBarPlacesButtons();
    void shadowTitleAreaPassesClicksThrough();
    void titleBarDragMovesWindow();
};

void TestDialogs::cleanup()
{
    QVERIFY2(openWindows().isEmpty(), "a test left a window open");
}

// Catches hooks that are not called, called twice (e.g. from both changeEvent and event) or called
// in the wrong order, and a translator that never reaches the widgets.
void TestDialogs::languageChangeCallsEachHookOnce()
{
    QStringList calls;
    TranslatedDialog dialog(&calls);
    TranslatedShadowDialog shadow(&calls);
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Settings"));

    QTranslator translator;
    QVERIFY2(translator.load(QStringLiteral(VK_TEST_TRANSLATION)), VK_TEST_TRANSLATION);
    QVERIFY(QCoreApplication::installTranslator(&translator));
    // The application posts the change to each window.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCoreApplication::processEvents();

    QCOMPARE(calls.count(QStringLiteral("dialog:RetranslateUi")), 1);
    QCOMPARE(calls.count(QStringLiteral("dialog:TranslateText")), 1);
    QCOMPARE(calls.count(QStringLiteral("page:RetranslateUi")), 1);
    QCOMPARE(calls.count(QStringLiteral("page:TranslateText")), 1);
    QCOMPARE(calls.count(QStringLiteral("shadow:RetranslateUi")), 1);
    QCOMPARE(calls.count(QStringLiteral("shadow:TranslateText")), 1);
    QVERIFY(calls.indexOf(QStringLiteral("dialog:RetranslateUi")) <
            calls.indexOf(QStringLiteral("dialog:TranslateText")));
    QVERIFY(calls.indexOf(QStringLiteral("page:RetranslateUi")) <
            calls.indexOf(QStringLiteral("page:TranslateText")));
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Einstellungen"));
    QCOMPARE(dialog.page->caption->text(), QStringLiteral("Name (de):"));

    calls.clear();
    QVERIFY(QCoreApplication::removeTranslator(&translator));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCoreApplication::processEvents();
    QCOMPARE(calls.size(), 6);
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Settings"));
}

void TestDialogs::doModalReturnsDoneCode_data()
{
    QTest::addColumn<bool>("shadow");
    QTest::addColumn<int>("code");
    QTest::newRow("frameless, accepted") << false << 1;
    QTest::newRow("frameless, rejected") << false << 0;
    QTest::newRow("frameless, own code") << false << 42;
    QTest::newRow("shadow, accepted") << true << 1;
    QTest::newRow("shadow, own code") << true << 7;
}

// Catches a DoModal that maps the code to accepted/rejected or returns before the dialog ends.
void TestDialogs::doModalReturnsDoneCode()
{
    QFETCH(bool, shadow);
    QFETCH(int, code);
    QStringList calls;
    std::unique_ptr<QDialog> dialog;
    if (shadow)
        dialog.reset(new TranslatedShadowDialog(&calls));
    else
        dialog.reset(new TranslatedDialog(&calls));
    bool wasVisible = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        wasVisible = dialog->isVisible();
        dialog->done(code);
    });
    const int result = shadow ? static_cast<VkShadowDialog*>(dialog.get())->DoModal()
                              : static_cast<VkFramelessDialog*>(dialog.get())->DoModal();
    QVERIFY(wasVisible);
    QCOMPARE(result, code);
}

// Catches a frame that swallows Escape or whose close button does not end the modal run.
void TestDialogs::escapeAndCloseButtonReject()
{
    QStringList calls;
    {
        TranslatedDialog dialog(&calls);
        dialog.setResult(5);
        QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QCOMPARE(dialog.DoModal(), 0);
    }
    {
        TranslatedDialog dialog(&calls);
        auto* close =
            dialog.GetTitleBar()->findChild<QToolButton*>(QStringLiteral("VkTopLevelWindowTitleBar_Close"));
        QVERIFY(close);
        QTimer::singleShot(0, &dialog, [close] {
            QVERIFY(close->isVisible());
            close->click();
        });
        QCOMPARE(dialog.DoModal(), 0);
    }
    {
        TranslatedShadowDialog dialog(&calls);
        dialog.titleBar()->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
        auto* close =
            dialog.titleBar()->findChild<QToolButton*>(QStringLiteral("VkTopLevelWindowTitleBar_Close"));
        QTimer::singleShot(0, &dialog, [close] { close->click(); });
        QCOMPARE(dialog.DoModal(), 0);
    }
}

// Catches a body that overlaps the bars, a hidden bar that still takes room, and children shifted
// off the one-pixel border.
void TestDialogs::framelessLayoutStacksBars()
{
    QStringList calls;
    TranslatedDialog dialog(&calls);
    dialog.resize(480, 400);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QRect title = dialog.GetTitleBar()->geometry();
    const QRect body = dialog.page->geometry();
    const QRect bar = dialog.ButtonBar()->geometry();
    QCOMPARE(title.topLeft(), QPoint(1, 1));
    QCOMPARE(title.width(), 480 - 2);
    QCOMPARE(body.top(), title.bottom() + 1);
    QCOMPARE(bar.top(), body.bottom() + 1);
    QCOMPARE(bar.bottom(), 400 - 2);
    QCOMPARE(bar.height(), 64);

    dialog.SetBottomBarVisible(false);
    QCoreApplication::processEvents();
    dialog.layout()->activate();
    QVERIFY(!dialog.ButtonBar()->isVisible());
    QCOMPARE(dialog.page->geometry().bottom(), 400 - 2);
}

void TestDialogs::replacedContentIsDeleted()
{
    QStringList calls;
    TranslatedDialog dialog(&calls);
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
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("startHeight");
    QTest::addColumn<int>("maxHeight");
    QTest::addColumn<QSize>("expected");
    // Kind 0 is the 480-pixel class; the height is the smaller of the current one and the limit.
    QTest::newRow("video page fits") << 0 << 514 << 690 << QSize(480, 514);
    QTest::newRow("video and audio pages scroll") << 0 << 774 << 690 << QSize(480, 690);
    QTest::newRow("exactly the limit") << 0 << 690 << 690 << QSize(480, 690);
    QTest::newRow("wide kind") << 3 << 659 << 800 << QSize(1200, 659);
    QTest::newRow("unknown kind is narrow") << 9 << 300 << 690 << QSize(480, 300);
}

// Catches the limit being used as the height (a short dialog would grow) or the width ignored.
void TestDialogs::setFixedSizeClamps()
{
    QFETCH(int, kind);
    QFETCH(int, startHeight);
    QFETCH(int, maxHeight);
    QFETCH(QSize, expected);
    QStringList calls;
    TranslatedDialog dialog(&calls);
    dialog.resize(480, startHeight);
    dialog.SetFixedSize(kind, maxHeight);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), expected);
    QCOMPARE(dialog.minimumSize(), expected);
    QCOMPARE(dialog.maximumSize(), expected);
}

// Catches position 1 landing on the left, -1 not appending, and an index ignored.
void TestDialogs::buttonBarPlacesButtons()
{
    QStringList calls;
    TranslatedDialog dialog(&calls);
    VkButtonBar* bar = dialog.ButtonBar();
    auto* ok = VkPushButton::CreatePrimaryButton(&dialog, VkPushButton::Size_32);
    auto* cancel = VkPushButton::CreateSecondaryButton(&dialog, VkPushButton::Size_32);
    auto* help = VkPushButton::CreateSecondaryButton(&dialog, VkPushButton::Size_32);
    bar->AddButton(1, ok, -1);
    bar->AddButton(VkButtonBar::Position_Right, cancel, 0);
    bar->AddButton(VkButtonBar::Position_Left, help, -1);
    QCOMPARE(bar->Buttons(VkButtonBar::Position_Right), (QList<QAbstractButton*>{cancel, ok}));
    QCOMPARE(bar->Buttons(VkButtonBar::Position_Left), (QList<QAbstractButton*>{help}));
    QCOMPARE(ok->parentWidget(), bar);

    dialog.resize(480, 300);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Right group flush with the bar's 24-pixel margin, OK rightmost.
    QCOMPARE(ok->geometry().right(), bar->width() - 24 - 1);
    QVERIFY(cancel->geometry().right() < ok->geometry().left());
    QVERIFY(help->geometry().right() < cancel->geometry().left());
}

// Catches a title area that covers the title bar's close button, or one that lets clicks through
// its own buttons.
void TestDialogs::shadowTitleAreaPassesClicksThrough()
{
    QStringList calls;
    TranslatedShadowDialog dialog(&calls);
    dialog.setFixedSize(480, 328);
    dialog.titleBar()->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
    VkToolButton* help = VkToolButton::CreateToolButton(dialog.titleArea(), QStringLiteral("Test_Help"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    help->setGeometry(300, 4, 24, 24);
    QCoreApplication::processEvents();

    QCOMPARE(dialog.titleArea()->geometry(), QRect(0, 0, 480, dialog.titleBarHeight()));
    QCOMPARE(dialog.titleBar()->geometry(), QRect(0, 0, 480, dialog.titleBarHeight()));
    auto* close =
        dialog.titleBar()->findChild<QToolButton*>(QStringLiteral("VkTopLevelWindowTitleBar_Close"));
    QVERIFY(close && close->isVisible());
    const QPoint closeCentre = close->mapTo(&dialog, close->rect().center());
    QCOMPARE(dialog.childAt(closeCentre), close);
    QCOMPARE(dialog.childAt(QPoint(312, 16)), help);
    // Between the buttons the title bar itself takes the press (and drags the window).
    QWidget* between = dialog.childAt(QPoint(200, 16));
    QVERIFY(between == dialog.titleBar() || dialog.titleBar()->isAncestorOf(between));
}

// Catches a title bar that does not move its frameless window.
void TestDialogs::titleBarDragMovesWindow()
{
    QStringList calls;
    TranslatedDialog dialog(&calls);
    dialog.resize(480, 300);
    dialog.move(100, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    VkTopLevelWindowTitleBar* bar = dialog.GetTitleBar();
    const QPoint local(50, 10);
    const QPoint global = bar->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QMouseEvent move(QEvent::MouseMove, local + QPoint(30, 20), global + QPoint(30, 20), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + QPoint(30, 20), global + QPoint(30, 20),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    QTRY_COMPARE(dialog.pos(), start + QPoint(30, 20));
}

VK_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
