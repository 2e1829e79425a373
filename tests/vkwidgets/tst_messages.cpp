#include "OpenWindows.h"

#include <VkTestMain.h>

#include <vkcore/VkDesktopService.h>
#include <vkwidgets/VMessageDialog.h>
#include <vkwidgets/VkFileDialog.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
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
    void informationReturnsAccepted();
    void plainMessageShowsMarkupLiterally();
    void buildUrlMessageEscapes();
    void onlyWebAndMailLinksOpen();
    void linksGoThroughTheOpener_data();
    void linksGoThroughTheOpener();
    void fileDialog();
    void announcedAsAlert_data();
    void announcedAsAlert();
};

// Catches a box that is not modal (returns before the answer), a wrong answer mapping, and a box
// that outlives its run.
void TestMessages::informationReturnsAccepted()
{
    using B = VMessageDialog;
    // Buttons shown, the one pressed (0: the Escape key), and the result; no flag means OK.
    const QList<std::tuple<int, int, bool>> cases{
        {B::Ok, B::Ok, true},     {B::Ok, 0, false},        {B::OkCancel, B::Cancel, false},
        {B::YesNo, B::Yes, true}, {B::YesNo, B::No, false}, {0, B::Ok, true}};
    for (const auto& [buttons, press, expected] : cases) {
        QWidget parent;
        bool answered = false;
        answerWhenShown<B>(QStringLiteral("VMessageDialog"), [&, press = press](B* box) {
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
        QCOMPARE(result, expected);
        QVERIFY(!findWindow<B>(QStringLiteral("VMessageDialog")));
        QVERIFY(parent.findChildren<B*>().isEmpty());
    }
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

// Catches text interpreted as markup, and an address cut or altered on its way into the attribute
// (a quote must not break out of it).
void TestMessages::buildUrlMessageEscapes()
{
    const QList<QPair<QString, QString>> cases{
        {" https://support.example.com/hdr", "https://support.example.com/hdr"},
        {"<b>bold</b> & \"quoted\"", "https://example.com/a?b=1&c=2"},
        {"x", "https://example.com/\"onmouseover=\"x"}};
    for (const auto& [text, url] : cases) {
        const QString html = VMessageDialog::BuildURLMsg(text, url);
        QVERIFY(html.startsWith(QLatin1String("<a ")));
        QVERIFY(!html.contains(QLatin1String("<b>")));
        const auto anchor = firstAnchor(html);
        QCOMPARE(anchor.first, url);
        // A rich-text document folds a leading blank into the text run; compare what is shown.
        QCOMPARE(anchor.second.trimmed(), text.trimmed());
    }
}

void TestMessages::onlyWebAndMailLinksOpen()
{
    for (const char* link : {"https://example.com/help", "HTTP://example.com", "mailto:support@example.com"})
        QVERIFY2(VMessageDialog::IsOpenableLink(QUrl(QLatin1String(link))), link);
    for (const char* link :
         {"file:///etc/passwd", "javascript:alert(1)", "help.html", "http://", "https:///path"})
        QVERIFY2(!VMessageDialog::IsOpenableLink(QUrl(QLatin1String(link))), link);
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

// Catches a native chooser (which a test cannot answer), a chooser without the expected name, and
// a result that is not the selected file, or not empty after a cancel.
void TestMessages::fileDialog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trip.final.vkproj"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString filter = QStringLiteral("Project Files(*.vkproj *.mlz *.zip;)");
    for (bool choose : {true, false}) {
        answerWhenShown<QFileDialog>(QStringLiteral("VkFileDialog"), [&](QFileDialog* chooser) {
            QVERIFY(chooser->testOption(QFileDialog::DontUseNativeDialog));
            QCOMPARE(chooser->fileMode(), QFileDialog::ExistingFile);
            if (!choose)
                return chooser->reject();
            // selectFile leaves the name box alone while it has the focus, as in an active window.
            if (QWidget* focus = chooser->focusWidget())
                focus->clearFocus();
            chooser->selectFile(path);
            static_cast<QDialog*>(chooser)->accept();
        });
        QString selectedFilter = filter;
        const QString chosen =
            VkFileDialog::getOpenFileName(nullptr, QString(), dir.path(), filter, &selectedFilter);
        if (choose)
            QCOMPARE(QFileInfo(chosen).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
        else
            QCOMPARE(chosen, QString());
        QCOMPARE(selectedFilter, filter);
    }
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
