#include <VkTestMain.h>

#include <vkcore/VkDesktopService.h>
#include <vkwidgets/VMessageDialog.h>
#include <vkwidgets/VkDialog.h>
#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkPushButtonBar.h>
#include <vkwidgets/VkShadowDialog.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkStateButton.h>
#include <vkwidgets/VkSwitchToolButton.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkToolSlider.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>
#include <vkwidgets/VkUIStyle.h>
#include <vkwidgets/VkWidget.h>

#include <QAccessible>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTranslator>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using Calls = QList<QList<QVariant>>;

using namespace VkTestLiterals;

namespace {

const QColor kPanel(0x26, 0x2b, 0x33);
const QColor kText(0xcd, 0xd5, 0xdd);
const QColor kAccent(0x55, 0xe5, 0xc5);
// Short enough to keep the suite quick; the tests wait on the signal, never on a clock.
const int kDelayMs = 20;

// Every call of the text hooks, in order, so that the tests can check order and count.
QStringList hookCalls;
// The accessibility events raised while a test watches them.
QList<QPair<QObject*, QAccessible::Event>> a11yEvents;

class TranslatedPage : public VkWidget
{
    Q_OBJECT
public:
    using VkWidget::VkWidget;
    void RetranslateUi() override
    {
        hookCalls << "page:RetranslateUi"_s;
        caption->setText(tr("Name:"));
    }
    void TranslateText() override { hookCalls << "page:TranslateText"_s; }
    QLabel* caption = new QLabel(this);
};

class TranslatedDialog : public VkFramelessDialog
{
    Q_OBJECT
public:
    TranslatedDialog()
        : VkFramelessDialog(nullptr, true, true)
    {
        SetContentWidget(page);
    }
    void RetranslateUi() override
    {
        hookCalls << "dialog:RetranslateUi"_s;
        SetTitleName(tr("Settings"), false);
    }
    void TranslateText() override { hookCalls << "dialog:TranslateText"_s; }
    TranslatedPage* page = new TranslatedPage(this);
};

class TranslatedShadowDialog : public VkShadowDialog
{
    Q_OBJECT
public:
    void RetranslateUi() override { hookCalls << "shadow:RetranslateUi"_s; }
    void TranslateText() override { hookCalls << "shadow:TranslateText"_s; }
    VkTopLevelWindowTitleBar* titleBar() const { return m_titleBar; }
    QWidget* titleArea() const { return m_titleArea; }
};

} // namespace

// The toolkit: its theme, dialog frames, controls and message boxes. The theme test comes first: the
// theme is applied at most once per process, by the first window.
class TestVkWidgets : public QObject
{
    Q_OBJECT

private slots:
    // Top-level windows still open once deferred deletes have run, bar a tool tip left by a hover.
    void cleanup()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(w->inherits("QTipLabel"), "a test left a window open");
    }

    // Catches a library that overrides a host's own style sheet, a theme that is never applied, one
    // applied again over a later style sheet, and a theme that references what does not exist.
    void firstWindowAppliesThemeOnce()
    {
        QVERIFY(!VkSkinStyle::IsThemeApplied());
        const QString host = "QLabel { color: red; }"_s;
        qApp->setStyleSheet(host);
        delete new VkDialog;
        QCOMPARE(qApp->styleSheet(), host);
        QVERIFY(!VkSkinStyle::IsThemeApplied());
        qApp->setStyleSheet(QString());

        const QString theme = VkSkinStyle::ThemeStyleSheet();
        delete new VkWidget;
        QVERIFY(VkSkinStyle::IsThemeApplied());
        QCOMPARE(qApp->styleSheet(), theme);
        QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0x1f, 0x23, 0x29));
        QCOMPARE(QApplication::palette().color(QPalette::WindowText), kText);
        QVERIFY(!VkSkinStyle::ApplyTheme());

        const QString later = "QWidget { color: white; }"_s;
        qApp->setStyleSheet(later);
        delete new VkFramelessDialog;
        QCOMPARE(qApp->styleSheet(), later);
        qApp->setStyleSheet(theme);

        // The theme itself: a renamed or missing icon (the style sheet would silently draw nothing), a token
        // the colour table does not know (Qt would silently drop that rule) and colours that drift from the
        // table code paints with.
        int references = 0;
        for (auto it = QRegularExpression("url\\((:[^)]+)\\)"_s).globalMatch(theme); it.hasNext();) {
            const QString path = it.next().captured(1);
            ++references;
            QVERIFY2(QSvgRenderer(path).isValid(), qPrintable(path));
        }
        QVERIFY(references >= 20);
        QVERIFY2(!theme.contains("${"_s), qPrintable(theme.mid(theme.indexOf("${"_s), 40)));
        const QString divider =
            VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Component_Divider_Secondary()).name();
        QVERIFY2(theme.contains("QLabel#LineWid { background-color: %1; }"_s.arg(divider)),
                 qPrintable(divider));
    }

    // Catches a row whose highlight does not follow the "selected" property after the repolish, and a
    // colour type that is stored but never painted (plain widgets paint no style sheet background unless
    // asked to).
    void themeColoursFollowProperties()
    {
        QWidget window;
        window.resize(60, 60);
        auto* body = new QWidget(&window);
        body->setGeometry(10, 10, 40, 40);
        VkUIStyle::SetBGColorType(body, VkSkinColor::BackGround_Panel);
        VkLabel* title = VkLabel::CreateLabel(body, "SceneDetectionListItem_Title"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        QCOMPARE(QColor(image.pixel(QPoint(30, 30) * ratio)), kPanel);
        QVERIFY(QColor(image.pixel(QPoint(2, 2) * ratio)) != kPanel);
        for (const bool selected : {false, true, false}) {
            title->setProperty("selected", selected);
            VkUIStyle::RePolishStyleAllChild(&window);
            QCOMPARE(title->palette().color(title->foregroundRole()), selected ? kAccent : kText);
        }
    }

    // Catches hooks that are not called, called twice (e.g. from both changeEvent and event) or called
    // in the wrong order, and a translator that never reaches the widgets.
    void languageChangeCallsEachHookOnce()
    {
        TranslatedDialog dialog;
        TranslatedShadowDialog shadow;
        QTranslator translator;
        QVERIFY2(translator.load(QStringLiteral(VK_TEST_TRANSLATION)), VK_TEST_TRANSLATION);
        for (const bool install : {true, false}) {
            hookCalls.clear();
            QVERIFY(install ? QCoreApplication::installTranslator(&translator)
                            : QCoreApplication::removeTranslator(&translator));
            // The application posts the change to each window.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
            QCoreApplication::processEvents();
            QCOMPARE(hookCalls.size(), 6);
            for (const QString& owner : {"dialog:"_s, "page:"_s, "shadow:"_s})
                QCOMPARE(hookCalls.filter(owner),
                         (QStringList{owner + "RetranslateUi"_s, owner + "TranslateText"_s}));
            QCOMPARE(dialog.GetTitleBar()->TitleName(), install ? "Einstellungen"_s : "Settings"_s);
            QCOMPARE(dialog.page->caption->text(), install ? "Name (de):"_s : "Name:"_s);
        }
    }

    // Catches a body that overlaps the bars, a hidden bar that still takes room, children shifted off
    // the one-pixel border, buttons on the wrong side or out of order (position 1 is the right, index
    // -1 appends), and a replaced body that is not deleted.
    void framelessLayout()
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
        const QRect bar = buttons->geometry();
        QCOMPARE(title, QRect(1, 1, 480 - 2, title.height()));
        QCOMPARE(dialog.page->geometry(),
                 QRect(1, title.bottom() + 1, 480 - 2, bar.top() - title.bottom() - 1));
        QCOMPARE(bar, QRect(1, 400 - 1 - 64, 480 - 2, 64));
        // Right group flush with the bar's 24-pixel margin, OK rightmost.
        QCOMPARE(ok->geometry().right(), bar.width() - 24 - 1);
        QVERIFY(cancel->geometry().right() < ok->geometry().left());
        QVERIFY(help->geometry().right() < cancel->geometry().left());

        dialog.SetBottomBarVisible(false);
        QPointer<QWidget> first = dialog.page;
        auto* second = new QWidget;
        dialog.SetContentWidget(second);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        dialog.layout()->activate();
        QVERIFY(!buttons->isVisible());
        QCOMPARE(second->parentWidget(), &dialog);
        QCOMPARE(second->geometry().bottom(), 400 - 2);
    }

    // Catches a title area that covers the title bar's close button, or one that lets clicks through
    // its own buttons. Between the buttons the title bar itself takes the press (and drags the window).
    void shadowTitleAreaPassesClicksThrough()
    {
        TranslatedShadowDialog dialog;
        dialog.setFixedSize(480, 328);
        dialog.titleBar()->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
        VkToolButton* help = VkToolButton::CreateToolButton(dialog.titleArea(), "Test_Help"_s);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        help->setGeometry(300, 4, 24, 24);
        QCoreApplication::processEvents();

        QCOMPARE(dialog.titleBar()->geometry(), QRect(0, 0, 480, dialog.titleBar()->height()));
        QCOMPARE(dialog.titleArea()->geometry(), dialog.titleBar()->geometry());
        auto* close = dialog.findChild<QToolButton*>("VkTopLevelWindowTitleBar_Close"_s);
        QVERIFY(close && close->isVisible());
        QCOMPARE(dialog.childAt(close->mapTo(&dialog, close->rect().center())), close);
        QCOMPARE(dialog.childAt(QPoint(312, 16)), help);
        QWidget* between = dialog.childAt(QPoint(200, 16));
        QVERIFY(between == dialog.titleBar() || dialog.titleBar()->isAncestorOf(between));
    }

    // Catches one end signal per step (the size box would even up every intermediate value), one that
    // never comes, and one for steps that changed nothing; of the slider, a press on the groove that only
    // pages towards the press, and a seek reported for a value set by code.
    void valueControlsSignalTheUserOnly()
    {
        QWidget parent;
        VkDoubleSpinBox* box = VkDoubleSpinBox::CreateVkDoubleSpinBox(&parent);
        box->setDecimals(0);
        box->setRange(64.0, 10000.0);
        box->setValue(1920.0);
        box->SetEndValueDelay(kDelayMs);
        QSignalSpy ended(box, &VkDoubleSpinBox::sigEndValueChanged);
        for (int i = 0; i < 3; ++i)
            box->stepBy(1);
        QCOMPARE(ended.count(), 0);
        QVERIFY(ended.wait());
        QVERIFY(!ended.wait(5 * kDelayMs));
        QCOMPARE(box->value(), 1923.0);

        box->setValue(100.0); // code is not a step
        QVERIFY(!ended.wait(5 * kDelayMs));
        box->stepBy(1);
        box->stepBy(-1); // up and back down ends where it started
        QVERIFY(!ended.wait(5 * kDelayMs));
        box->setValue(10000.0);
        box->stepBy(1); // clamped at the range's end
        QVERIFY(!ended.wait(5 * kDelayMs));
        QCOMPARE(ended.count(), 1);

        parent.resize(220, 40);
        auto* slider = new VkToolSlider(&parent);
        slider->setRange(0, 1000);
        slider->setPageStep(10);
        slider->setGeometry(10, 10, 200, 12);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QSignalSpy seeks(slider, &VkToolSlider::sigUserSeek);
        slider->setValue(100);
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(180, 6));
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(180, 6));
        QVERIFY2(slider->value() > 800, qPrintable(QString::number(slider->value())));
        QCOMPARE(Calls(seeks), (Calls{{slider->value()}}));
    }

    // Catches a switch that does not toggle, a silent setter that still signals, a plain button that
    // toggles, and a button look that depends on an object name the dialogs overwrite. Of the state
    // button: a state registered but not shown, an unknown id that changes the state, and a requested id
    // lost when its state is registered later. What a click on it reports, and that the owner (not the
    // click) switches the state, the project settings panel's lock rows prove.
    void buttonStates()
    {
        QWidget parent;
        VkSwitchToolButton* button = VkSwitchToolButton::CreateSwitchButton(&parent, true, QString());
        QSignalSpy spy(button, &VkSwitchToolButton::sigSwitched);
        button->click();
        QVERIFY(button->IsOn());
        button->click();
        button->SetOn(true);
        QCOMPARE(Calls(spy), (Calls{{true}, {false}}));
        VkSwitchToolButton* plain = VkSwitchToolButton::CreateSwitchButton(&parent, false, QString());
        plain->click();
        QVERIFY(!plain->IsOn());

        VkPushButton* primary = VkPushButton::CreatePrimaryButton(&parent, VkPushButton::Size_32);
        VkPushButton* secondary = VkPushButton::CreateSecondaryButton(&parent, VkPushButton::Size_32);
        for (VkPushButton* b : {primary, secondary})
            b->setObjectName("VCommonLib_Normal_Btn"_s);
        QVERIFY(primary->IsPrimary());
        QVERIFY(!secondary->IsPrimary());

        auto* preset = new VkStateButton(2, QString(), &parent);
        auto* lock = new VkStateButton(0, QString(), &parent);
        for (VkStateButton* b : {preset, lock}) {
            b->AddButton(1, "ProjectSettings_unlock_btn"_s);
            b->AddButton(2, "ProjectSettings_lock_btn"_s);
        }
        // Id 0 was never registered, so the first state registered became current.
        QCOMPARE(preset->objectName() + QLatin1Char(' ') + lock->objectName(),
                 "ProjectSettings_lock_btn ProjectSettings_unlock_btn"_s);
        lock->SetCurrentButtonId(7);
        QCOMPARE(lock->CurrentButtonId(), 1);
        lock->SetCurrentButtonId(2);
        QCOMPARE(lock->objectName(), "ProjectSettings_lock_btn"_s);
    }

    void messageAnswers_data()
    {
        using B = VMessageDialog;
        QTest::addColumn<int>("buttons"); // no flag means OK
        QTest::addColumn<int>("press");   // 0: the Escape key
        QTest::addColumn<bool>("result");
        QTest::newRow("OK") << int(B::Ok) << int(B::Ok) << true;
        QTest::newRow("OK box, Escape") << int(B::Ok) << 0 << false;
        QTest::newRow("Cancel") << int(B::OkCancel) << int(B::Cancel) << false;
        QTest::newRow("Yes") << int(B::YesNo) << int(B::Yes) << true;
        QTest::newRow("no flags shows OK") << 0 << int(B::Ok) << true;
    }

    // Catches a box that is not modal (returns before the answer), a wrong answer mapping, and a box
    // that outlives its run.
    void messageAnswers()
    {
        using B = VMessageDialog;
        QFETCH(int, buttons);
        QFETCH(int, press);
        QWidget parent;
        QString answered;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<B*>(QApplication::activeModalWidget());
            if (!box)
                return;
            answerer.stop();
            answered = box->MessageLabel()->text();
            QAbstractButton* button = box->Button(static_cast<B::VStandardButton>(press));
            if (press == 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else if (button && button->isVisible())
                button->click();
            else
                box->done(-1);
        });
        answerer.start(10);
        const bool result =
            B::Infomation("Saved."_s, &parent, buttons, QString(), QString(), QString(), false);
        QCOMPARE(answered, "Saved."_s);
        QTEST(result, "result");
        QVERIFY(parent.findChildren<B*>().isEmpty());
    }

    void messageText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("opened"); // through the core's opener when the link is activated
        QTest::addColumn<QString>("url"); // none: a plain message; else the text links there
        QTest::newRow("plain shows markup as it is") << "Saved <b>all</b>." << false << QString();
        // A rich-text document folds a leading blank into the text run.
        QTest::newRow("leading blank") << " https://example.com/hdr" << true << "https://example.com/hdr";
        QTest::newRow("markup, ampersands") << "<b>bold</b> & \"quoted\"" << true << "https://e.com/?b=1&c=2";
        // A quote must not break out of the attribute; the opener refuses such an address. Which
        // addresses the opener takes is its own suite's business.
        QTest::newRow("quote in the address") << "x" << false << "https://example.com/\"onmouseover=\"x";
    }

    // Catches text interpreted as markup, an address cut or altered on its way into the attribute, a
    // message box that opens links by itself (a host's opener never sees them, and a looser rule than the
    // opener's lets addresses through that it refuses), user text shown as markup unless the caller asked
    // for rich text, and a box that a screen reader does not speak when it opens: no alert, or an alert
    // about another object, or a description with the markup spelt out.
    void messageText()
    {
        QFETCH(QString, text);
        QFETCH(QString, url);
        QFETCH(bool, opened);
        const bool link = !url.isEmpty();
        const QString html = VMessageDialog::BuildURLMsg(text, url);
        QVERIFY(html.startsWith("<a "_s));
        QVERIFY(!html.contains("<b>"_s));
        // The link as a rich-text label reads it.
        QTextDocument document;
        document.setHtml(html);
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(cursor.charFormat().anchorHref(), url);
        QCOMPARE(document.toPlainText().trimmed(), text.trimmed());

        QList<QUrl> seen;
        a11yEvents.clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
            a11yEvents.append({e->object(), e->type()});
        });
        QPlatformAccessibility* accessibility =
            QGuiApplicationPrivate::platformIntegration()->accessibility();
        accessibility->setActive(true);
        {
            const QString message = link ? "Details: "_s + html : text;
            VMessageDialog box(message, nullptr, VMessageDialog::Ok, QString(), QString(), QString(), link);
            QCOMPARE(box.MessageLabel()->textFormat(), link ? Qt::RichText : Qt::PlainText);
            QCOMPARE(box.MessageLabel()->text(), message);
            QVERIFY(!a11yEvents.contains({&box, QAccessible::Alert}));
            box.show();
            QVERIFY(a11yEvents.contains({&box, QAccessible::Alert}));
            QCOMPARE(box.accessibleName(), "Information"_s);
            QCOMPARE(box.accessibleDescription(), link ? "Details: "_s + text.trimmed() : text);
            VkDesktopService::SetUrlOpener([&seen](const QUrl& target) {
                seen << target;
                return true;
            });
            if (link)
                emit box.MessageLabel()->linkActivated(cursor.charFormat().anchorHref());
            VkDesktopService::SetUrlOpener({});
        }
        QAccessible::installUpdateHandler(nullptr);
        accessibility->setActive(false);
        QCOMPARE(seen, opened ? QList<QUrl>{QUrl(url)} : QList<QUrl>());
    }
};

VK_TEST_MAIN(TestVkWidgets)
#include "tst_vkwidgets.moc"
