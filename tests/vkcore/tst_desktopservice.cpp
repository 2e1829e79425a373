#include <vkcore/VkDesktopService.h>

#include <QUrl>

#include "VkTestMain.h"

class tst_VkDesktopService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void openURL_data();
    void openURL();
    void openerFailureIsReported();

private:
    QList<QUrl> m_opened;
    bool m_openerResult = true;
};

void tst_VkDesktopService::initTestCase()
{
    // Installed before anything can reach the system opener: a test must never start a browser.
    VkDesktopService::SetUrlOpener([this](const QUrl& url) {
        m_opened.append(url);
        return m_openerResult;
    });
}

void tst_VkDesktopService::init()
{
    m_opened.clear();
    m_openerResult = true;
}

void tst_VkDesktopService::openURL_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("https") << "https://example.com/help?topic=1" << true;
    QTest::newRow("http") << "http://example.com/" << true;
    QTest::newRow("scheme in capitals") << "HTTPS://example.com/" << true;
    QTest::newRow("surrounding blanks") << "  https://example.com/  " << true;
    QTest::newRow("mailto") << "mailto:support@example.com" << true;

    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("ftp") << "ftp://example.com/file" << false;
    QTest::newRow("custom scheme") << "vkeditor://open" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank") << "   " << false;
    QTest::newRow("relative path") << "help/index.html" << false;
    QTest::newRow("host without scheme") << "www.example.com" << false;
    QTest::newRow("http without host") << "http:///path" << false;
    QTest::newRow("mailto without address") << "mailto:" << false;
    QTest::newRow("not a url") << "https://exa mple.com" << false;
}

void tst_VkDesktopService::openURL()
{
    QFETCH(QString, address);
    QFETCH(bool, accepted);

    QCOMPARE(VkDesktopService::isOpenableUrl(address), accepted);
    QCOMPARE(VkDesktopService::openURL(address), accepted);
    // A refused address never reaches the opener; an accepted one reaches it once, unchanged.
    QCOMPARE(m_opened.size(), accepted ? 1 : 0);
    if (accepted)
        QCOMPARE(m_opened.first(), QUrl(address.trimmed()));
}

void tst_VkDesktopService::openerFailureIsReported()
{
    m_openerResult = false;
    QVERIFY(!VkDesktopService::openURL(QStringLiteral("https://example.com/")));
    QCOMPARE(m_opened.size(), 1);
}

VK_TEST_MAIN(tst_VkDesktopService)
#include "tst_desktopservice.moc"
