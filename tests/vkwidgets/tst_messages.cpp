#include "OpenWindows.h"

#include <VkTestMain.h>

#include <vkcore/VkDesktopService.h>
#include <vkwidgets/VMessageDialog.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <functional>

namespace {

template <class T>
T* findWindow(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == objectName && w->isVisible() && qobject_cast<T*>(w))
            return qobject_cast<T*>(w);
    }
    return nullptr;
}

// Answers the next window named objectName once it is shown. If it never appears, the guard closes
// every modal window after 2 s so that the test fails instead of hanging.
template <class T>
void answerWhenShown(const QString& objectName, std::function<void(T*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, objectName, answer, attempts = 0]() mutable {
        if (T* window = findWindow<T>(objectName))
            answer(window);
        else if (++attempts < 200)
            return;
        else if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        timer->stop();
        timer->deleteLater();
    });
    timer->start(10);
}

// The link target and visible text of the first anchor of an HTML fragment, as a rich-text label
// reads them.
QPair<QString, QString> firstAnchor(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor())
                return {it.fragment().charFormat().anchorHref(), it.fragment().text()};
        }
    }
    return {};
}

} // namespace

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY2(openWindows().isEmpty(), "a test left a window open"); }
    void informationReturnsAccepted_data();
    void informationReturnsAccepted();
    void plainMessageShowsMarkupLiterally();
    void buildUrlMessageEscapes_data();
    void buildUrlMessageEscapes();
    void linksGoThroughTheOpener_data();
    void linksGoThroughTheOpener();
    void announcedAsAlert_data();
    void announcedAsAlert();
};

void TestMessages::informationReturnsAccepted_data()
{
    using B = VMessageDialog;
    QTest::addColumn<int>("buttons"); // no flag means OK
    QTest::addColumn<int>("press");   // 0: the Escape key
    QTest::addColumn<bool>("result");
    QTest::newRow("OK") << int(B::Ok) << int(B::Ok) << true;
    QTest::newRow("OK box, Escape") << int(B::Ok) << 0 << false;
    QTest::newRow("Cancel") << int(B::OkCancel) << int(B::Cancel) << false;
    QTest::newRow("Yes") << int(B::YesNo) << int(B::Yes) << true;
    QTest::newRow("No") << int(B::YesNo) << int(B::No) << false;
    QTest::newRow("no flags shows OK") << 0 << int(B::Ok) << true;
}

// Catches a box that is not modal (returns before the answer), a wrong answer mapping, and a box
// that outlives its run.
void TestMessages::informationReturnsAccepted()
{
    using B = VMessageDialog;
    QFETCH(int, buttons);
    QFETCH(int, press);
    QWidget parent;
    bool answered = false;
    answerWhenShown<B>(QStringLiteral("VMessageDialog"), [&](B* box) {
        answered = true;
        QCOMPARE(box->MessageLabel()->text(), QStringLiteral("Saved."));
        if (press == 0)
            return QTest::keyClick(box, Qt::Key_Escape);
        QAbstractButton* button = box->Button(static_cast<B::VStandardButton>(press));
        QVERIFY(button && button->isVisible());
        button->click();
    });
    const bool result =
        B::Infomation(QStringLiteral("Saved."), &parent, buttons, QString(), QString(), QString(), false);
    QVERIFY(answered);
    QTEST(result, "result");
    QVERIFY(!findWindow<B>(QStringLiteral("VMessageDialog")));
    QVERIFY(parent.findChildren<B*>().isEmpty());
}

// Catches user text shown as markup unless the caller asked for rich text.
void TestMessages::plainMessageShowsMarkupLiterally()
{
    const QString text = QStringLiteral("Use <b>Start</b> & Settings");
    VMessageDialog plain(text, nullptr, VMessageDialog::Ok, QString(), QString(), QString(), false);
    QCOMPARE(plain.MessageLabel()->textFormat(), Qt::PlainText);
    QCOMPARE(plain.MessageLabel()->text(), text);
    VMessageDialog rich(text, nullptr, VMessageDialog::Ok, QString(), QString(), QString(), true);
    QCOMPARE(rich.MessageLabel()->textFormat(), Qt::RichText);
}

void TestMessages::buildUrlMessageEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url");
    // A rich-text document folds a leading blank into the text run.
    QTest::newRow("leading blank") << " https://support.example.com/hdr"
                                   << "https://support.example.com/hdr";
    QTest::newRow("markup and ampersands") << "<b>bold</b> & \"quoted\""
                                           << "https://example.com/a?b=1&c=2";
    // A quote must not break out of the attribute.
    QTest::newRow("quote in the address") << "x"
                                          << "https://example.com/\"onmouseover=\"x";
}

// Catches text interpreted as markup, and an address cut or altered on its way into the attribute.
void TestMessages::buildUrlMessageEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, url);
    const QString html = VMessageDialog::BuildURLMsg(text, url);
    QVERIFY(html.startsWith(QLatin1String("<a ")));
    QVERIFY(!html.contains(QLatin1String("<b>")));
    const auto anchor = firstAnchor(html);
    QCOMPARE(anchor.first, url);
    QCOMPARE(anchor.second.trimmed(), text.trimmed());
}

void TestMessages::linksGoThroughTheOpener_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opened");
    QTest::newRow("web page") << "https://support.example.com/hdr" << true;
    QTest::newRow("mail") << "mailto:support@example.com" << true;
    QTest::newRow("web without host") << "http://" << false;
    QTest::newRow("local file") << "file:///etc/passwd" << false;
}

// Catches a message box that opens links by itself: a host's opener never sees them, and a looser
// rule than the opener's lets addresses through that it refuses.
void TestMessages::linksGoThroughTheOpener()
{
    QFETCH(QString, link);
    QFETCH(bool, opened);
    QStringList seen;
    VkDesktopService::SetUrlOpener([&seen](const QUrl& url) {
        seen << url.toString();
        return true;
    });
    VMessageDialog dialog(VMessageDialog::BuildURLMsg(QStringLiteral("Read more"), link), nullptr,
                          VMessageDialog::Ok, QString(), QString(), QString(), true);
    emit dialog.MessageLabel()->linkActivated(link);
    VkDesktopService::SetUrlOpener({});
    QCOMPARE(seen, opened ? QStringList{link} : QStringList{});
}

void TestMessages::announcedAsAlert_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("richText");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("plain") << "Saved <b>all</b>." << false << "Saved <b>all</b>.";
    QTest::newRow("link") << "Details: " + VMessageDialog::BuildURLMsg(QStringLiteral("help page"),
                                                                       QStringLiteral("https://example.com"))
                          << true << "Details: help page";
}

// Catches a box that a screen reader does not speak when it opens: no alert, or an alert about
// another object, or a description with the markup spelt out.
void TestMessages::announcedAsAlert()
{
    QFETCH(QString, text);
    QFETCH(bool, richText);
    QFETCH(QString, spoken);
    static QList<QPair<QObject*, QAccessible::Event>> events;
    events.clear();
    QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
        events.append({event->object(), event->type()});
    });
    QPlatformAccessibility* accessibility = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(accessibility);
    accessibility->setActive(true);
    {
        VMessageDialog box(text, nullptr, VMessageDialog::Ok, QString(), QString(), QString(), richText);
        QVERIFY(!events.contains({&box, QAccessible::Alert}));
        box.show();
        QVERIFY(events.contains({&box, QAccessible::Alert}));
        QCOMPARE(box.accessibleName(), QStringLiteral("Information"));
        QCOMPARE(box.accessibleDescription(), spoken);
    }
    QAccessible::installUpdateHandler(nullptr);
    accessibility->setActive(false);
}

VK_TEST_MAIN(TestMessages)
#include "tst_messages.moc"
