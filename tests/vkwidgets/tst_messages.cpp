#include <VkTestMain.h>

#include <vkwidgets/VMessageDialog.h>
#include <vkwidgets/VkFileDialog.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <functional>

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

template <class T>
T* findWindow(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == objectName && w->isVisible()) {
            if (auto* typed = qobject_cast<T*>(w))
                return typed;
        }
    }
    return nullptr;
}

// Answers the next modal window named objectName with answer once it is shown. If it never
// appears the answer is never given; the guard then closes every modal window so the test fails
// instead of hanging.
template <class T>
void answerWhenShown(const QString& objectName, std::function<void(T*)> answer)
{
    auto* timer = new QTimer;
    auto* attempts = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, attempts, objectName, answer] {
        T* window = findWindow<T>(objectName);
        if (window) {
            answer(window);
        } else if (++*attempts < 200) {
            return;
        } else if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
        timer->stop();
        timer->deleteLater();
        delete attempts;
    });
    timer->start(10);
}

// The link target and visible text of the first anchor of an HTML fragment, read the way a
// rich-text label reads them.
QPair<QString, QString> firstAnchor(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor())
                return {fragment.charFormat().anchorHref(), fragment.text()};
        }
    }
    return {};
}

} // namespace

// The message box and the file chooser, answered by the test as a user would.
class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void informationReturnsAccepted_data();
    void informationReturnsAccepted();
    void plainMessageShowsMarkupLiterally();
    void buildUrlMessageEscapes_data();
    void buildUrlMessageEscapes();
    void onlyWebAndMailLinksOpen_data();
    void onlyWebAndMailLinksOpen();
    void fileDialogReturnsChosenFile();
    void fileDialogCancelReturnsEmpty();
};

void TestMessages::cleanup()
{
    QVERIFY2(openWindows().isEmpty(), "a test left a window open");
}

void TestMessages::informationReturnsAccepted_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("expected");
    // press: the flag of the button clicked, or 0 for the Escape key.
    QTest::newRow("OK") << int(VMessageDialog::Ok) << int(VMessageDialog::Ok) << true;
    QTest::newRow("Escape on OK only") << int(VMessageDialog::Ok) << 0 << false;
    QTest::newRow("Cancel of OK/Cancel")
        << int(VMessageDialog::OkCancel) << int(VMessageDialog::Cancel) << false;
    QTest::newRow("Yes") << int(VMessageDialog::YesNo) << int(VMessageDialog::Yes) << true;
    QTest::newRow("No") << int(VMessageDialog::YesNo) << int(VMessageDialog::No) << false;
    QTest::newRow("no flag means OK") << 0 << int(VMessageDialog::Ok) << true;
}

// Catches a box that is not modal (returns before the answer), a wrong answer mapping, and a box
// that outlives its run.
void TestMessages::informationReturnsAccepted()
{
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(bool, expected);
    QWidget parent;
    bool answered = false;
    answerWhenShown<VMessageDialog>(QStringLiteral("VMessageDialog"), [&](VMessageDialog* box) {
        answered = true;
        QCOMPARE(box->MessageLabel()->text(), QStringLiteral("Saved."));
        if (press == 0) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        QAbstractButton* button = box->Button(static_cast<VMessageDialog::VStandardButton>(press));
        QVERIFY(button);
        QVERIFY(button->isVisible());
        button->click();
    });
    const bool result = VMessageDialog::Infomation(QStringLiteral("Saved."), &parent, buttons, QString(),
                                                   QString(), QString(), false);
    QVERIFY(answered);
    QCOMPARE(result, expected);
    QVERIFY(!findWindow<VMessageDialog>(QStringLiteral("VMessageDialog")));
    QVERIFY(parent.findChildren<VMessageDialog*>().isEmpty());
}

void TestMessages::plainMessageShowsMarkupLiterally()
{
    const QString text = QStringLiteral("Use <b>Start</b> & Settings");
    VMessageDialog plain(text, nullptr, VMessageDialog::Ok, QString(), QString(), QString(), false);
    QCOMPARE(plain.MessageLabel()->textFormat(), Qt::PlainText);
    QCOMPARE(plain.MessageLabel()->text(), text);
    VMessageDialog rich(text, nullptr, VMessageDialog::Ok, QStringLiteral("Tip"), QStringLiteral("Got it"),
                        QString(), true);
    QCOMPARE(rich.MessageLabel()->textFormat(), Qt::RichText);
    QCOMPARE(rich.windowTitle(), QStringLiteral("Tip"));
    QCOMPARE(rich.Button(VMessageDialog::Ok)->text(), QStringLiteral("Got it"));
    QVERIFY(!rich.Button(VMessageDialog::Cancel));
}

void TestMessages::buildUrlMessageEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url");
    QTest::newRow("address as text, leading blank") << QStringLiteral(" https://support.example.com/hdr")
                                                    << QStringLiteral("https://support.example.com/hdr");
    QTest::newRow("markup in text") << QStringLiteral("<b>bold</b> & \"quoted\"")
                                    << QStringLiteral("https://example.com/a?b=1&c=2");
    QTest::newRow("quote in url cannot break out of the attribute")
        << QStringLiteral("x") << QStringLiteral("https://example.com/\"onmouseover=\"x");
}

// Catches text that is interpreted as markup, and an address that is cut or altered on its way
// into the attribute.
void TestMessages::buildUrlMessageEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, url);
    const QString html = VMessageDialog::BuildURLMsg(text, url);
    QVERIFY(html.startsWith(QLatin1String("<a ")));
    QVERIFY(!html.contains(QLatin1String("<b>")));
    const auto anchor = firstAnchor(html);
    QCOMPARE(anchor.first, url);
    // A rich-text document folds a leading blank into the text run; compare what is shown.
    QCOMPARE(anchor.second.trimmed(), text.trimmed());
}

void TestMessages::onlyWebAndMailLinksOpen_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("openable");
    QTest::newRow("https") << QStringLiteral("https://example.com/help") << true;
    QTest::newRow("http upper case") << QStringLiteral("HTTP://example.com") << true;
    QTest::newRow("mailto") << QStringLiteral("mailto:support@example.com") << true;
    QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
    QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false;
    QTest::newRow("relative") << QStringLiteral("help.html") << false;
}

void TestMessages::onlyWebAndMailLinksOpen()
{
    QFETCH(QString, link);
    QFETCH(bool, openable);
    QCOMPARE(VMessageDialog::IsOpenableLink(QUrl(link)), openable);
}

// Catches a native chooser (which a test cannot answer), a chooser without the expected name, and
// a result that is not the selected file.
void TestMessages::fileDialogReturnsChosenFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("trip.final.vkproj"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    answerWhenShown<QFileDialog>(QStringLiteral("VkFileDialog"), [&](QFileDialog* chooser) {
        QVERIFY(chooser->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(chooser->fileMode(), QFileDialog::ExistingFile);
        chooser->selectFile(path);
        static_cast<QDialog*>(chooser)->accept();
    });
    QString selectedFilter = QStringLiteral("Project Files(*.vkproj *.mlz *.zip;)");
    const QString chosen = VkFileDialog::getOpenFileName(
        nullptr, QString(), dir.path(), QStringLiteral("Project Files(*.vkproj *.mlz *.zip;)"),
        &selectedFilter);
    QCOMPARE(QFileInfo(chosen).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    QCOMPARE(selectedFilter, QStringLiteral("Project Files(*.vkproj *.mlz *.zip;)"));
}

void TestMessages::fileDialogCancelReturnsEmpty()
{
    answerWhenShown<QFileDialog>(QStringLiteral("VkFileDialog"),
                                 [](QFileDialog* chooser) { chooser->reject(); });
    const QString chosen = VkFileDialog::getOpenFileName(nullptr, QString(), QDir::tempPath(),
                                                         QStringLiteral("All (*)"), nullptr);
    QVERIFY(chosen.isEmpty());
}

VK_TEST_MAIN(TestMessages)
#include "tst_messages.moc"
