#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkDesktopService.h>
#include <vkcore/VkMessage.h>
#include <vkcore/VkPresenter.h>
#include <vkcore/VkThirdPartyUrlHelper.h>

#include <QDir>
#include <QSignalSpy>
#include <QUrl>

#include "VkTestMain.h"

class tst_VkAppInfo : public QObject
{
    Q_OBJECT

private slots:
    void folders_data();
    void folders();
    void unknownKinds_data();
    void unknownKinds();
    void homeIsReadWhenAsked();
    void stockSitePages_data();
    void stockSitePages();
    void presenterMessages();
};

void tst_VkAppInfo::folders_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("relative");
    QTest::newRow("home") << int(IVkAppInfo::FolderHome) << ".";
    QTest::newRow("cache") << int(IVkAppInfo::FolderCache) << "Cache";
    QTest::newRow("thumbnails") << int(IVkAppInfo::FolderThumbnails) << "Cache/Thumbnails";
    QTest::newRow("sample media") << int(IVkAppInfo::FolderSampleMedia) << "SampleMedia";
    // The file dialog of the project library asks for 16 by number.
    QTest::newRow("projects is 16") << 16 << "Projects";
}

void tst_VkAppInfo::folders()
{
    QFETCH(int, kind);
    QFETCH(QString, relative);
    const QDir home(qEnvironmentVariable("VK_HOME"));
    const QString expected = QDir::cleanPath(home.absoluteFilePath(relative));
    QVERIFY2(!QFileInfo::exists(expected) || relative == QLatin1String("."),
             "the folder must not exist before");

    const QString path = IVkAppInfo::getInstance()->getFolderPath(kind);
    QCOMPARE(path, expected);
    QVERIFY(QFileInfo(path).isDir());
}

void tst_VkAppInfo::unknownKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("negative") << -1;
    QTest::newRow("gap after sample media") << 4;
    QTest::newRow("just below projects") << 15;
    QTest::newRow("just above projects") << 17;
}

void tst_VkAppInfo::unknownKinds()
{
    QFETCH(int, kind);
    QVERIFY(IVkAppInfo::getInstance()->getFolderPath(kind).isEmpty());
}

void tst_VkAppInfo::homeIsReadWhenAsked()
{
    // A host may set VK_HOME after the library answered once; the next answer follows it.
    const QByteArray previous = qgetenv("VK_HOME");
    QTemporaryDir other;
    QVERIFY(other.isValid());
    qputenv("VK_HOME", other.path().toLocal8Bit());
    const QString projects = IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderProjects);
    qputenv("VK_HOME", previous);
    QCOMPARE(projects, QDir(other.path()).filePath(QStringLiteral("Projects")));
    QVERIFY(QFileInfo(projects).isDir());
}

void tst_VkAppInfo::stockSitePages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("host");
    QTest::newRow("pixabay") << VkThirdPartyUrlHelper::pixabayPage() << "pixabay.com";
    QTest::newRow("unsplash") << VkThirdPartyUrlHelper::unsplashPage() << "unsplash.com";
    QTest::newRow("giphy") << VkThirdPartyUrlHelper::giphyPage() << "giphy.com";
    QTest::newRow("pexels") << VkThirdPartyUrlHelper::pexelsPage() << "www.pexels.com";
}

void tst_VkAppInfo::stockSitePages()
{
    QFETCH(QString, page);
    QFETCH(QString, host);
    const QUrl url(page);
    QCOMPARE(url.scheme(), QStringLiteral("https"));
    QCOMPARE(url.host(), host);
    // The credit links are opened through the desktop service, which must let them pass.
    QVERIFY(VkDesktopService::isOpenableUrl(page));
}

void tst_VkAppInfo::presenterMessages()
{
    VkPresenter presenter;
    QSignalSpy messages(&presenter, &VkPresenter::sigMessage);
    QVERIFY(!presenter.isInitialized());
    presenter.init();
    QVERIFY(presenter.isInitialized());

    presenter.dispatchMessage(nullptr);
    QCOMPARE(messages.count(), 0);
    VkMessage first(7, QStringLiteral("seek"));
    VkMessage second(8, 42);
    presenter.dispatchMessage(&first);
    presenter.dispatchMessage(&second);
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.at(0).at(0).toInt(), 7);
    QCOMPARE(messages.at(0).at(1).value<QVariant>().toString(), QStringLiteral("seek"));
    QCOMPARE(messages.at(1).at(0).toInt(), 8);
    QCOMPARE(messages.at(1).at(1).value<QVariant>().toInt(), 42);

    presenter.reset();
    QVERIFY(!presenter.isInitialized());
}

VK_TEST_MAIN(tst_VkAppInfo)
#include "tst_appinfo.moc"
