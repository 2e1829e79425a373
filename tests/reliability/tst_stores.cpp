#include "BadMediaFiles.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingDialog.h>
#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkcore/VkConfig.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>
#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkComboBox.h>

#include <QBuffer>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QTemporaryDir>

namespace {

QString homePath()
{
    return qEnvironmentVariable("VK_HOME");
}

QString recentPath()
{
    return QDir(homePath()).filePath(QStringLiteral("recent.json"));
}

QString projectFile(const QDir& dir, const QString& baseName)
{
    return dir.filePath(baseName + QLatin1Char('.') + VkProjectSuffixHelper::projectFileSuffix());
}

QByteArray projectJson(const QJsonObject& extra = QJsonObject())
{
    QJsonObject root{
        {"format", "vkproject"},
        {"version", 1},
        {"config",
         QJsonObject{
             {"aspectRatio", 1}, {"frameRate", 2}, {"width", 1920}, {"height", 1080}, {"colorSpace", 0}}}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        root.insert(it.key(), it.value());
    return QJsonDocument(root).toJson();
}

QByteArray smallPng()
{
    QImage image(16, 9, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

int rowsOf(VkStartupDlg& dialog)
{
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    return list ? list->count() : -1;
}

// Every store of the process reads VK_HOME again.
void reloadStores()
{
    VkConfig::Instance().Reload();
    VkAppSettings::GetInstance()->Reload();
    IVkProjectRecentManager::getInstance()->reload();
}

// Every file under `root`, with its contents, to tell that nothing was added or changed.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, BadMediaFiles::read(path));
    }
    return files;
}

} // namespace

// The stores under VK_HOME and the project files when they are damaged or cannot be written, as the
// startup window, the project settings window and the model meet them: nothing crashes, nothing
// that was there is overwritten, and a store that cannot be written keeps nothing.
class tst_Stores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startupOverDamagedRecentList_data();
    void startupOverDamagedRecentList();
    void thumbnailsClaimingHugeSizes_data();
    void thumbnailsClaimingHugeSizes();
    void truncatedProjectIsReportedNotOverwritten();
    void readOnlyHome();

private:
    QTemporaryDir m_projects;
};

void tst_Stores::initTestCase()
{
    QVERIFY(m_projects.isValid());
}

void tst_Stores::init()
{
    QFile::remove(recentPath());
    reloadStores();
}

void tst_Stores::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_Stores::startupOverDamagedRecentList_data()
{
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<int>("rows");
    const QString good = projectFile(QDir(m_projects.path()), QStringLiteral("good"));
    QVERIFY(BadMediaFiles::write(good, projectJson()));

    QTest::newRow("not JSON") << QByteArray("<recent><project/></recent>") << 0;
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 12) << 0;
    QTest::newRow("a number") << QByteArray("42") << 0;
    // Of the five entries only the one whose fields all have their types is listed: a name that is
    // a number, a path that is a list, times given as text and a null entry are left out.
    const QByteArray mixed = QStringLiteral(R"([
        {"name": 7, "path": "%1", "createTime": 1, "modifyTime": 2},
        {"name": "list path", "path": ["%1"], "createTime": 1, "modifyTime": 2},
        {"name": "text times", "path": "%1", "createTime": "monday", "modifyTime": "tuesday"},
        null,
        {"name": "Good", "path": "%1", "createTime": 1700000000, "modifyTime": 1700000500}
    ])")
                                 .arg(good)
                                 .toUtf8();
    QTest::newRow("wrong types") << mixed << 1;
}

void tst_Stores::startupOverDamagedRecentList()
{
    QFETCH(QByteArray, store);
    QFETCH(int, rows);
    QVERIFY(BadMediaFiles::write(recentPath(), store));
    {
        VkStartupDlg dialog(nullptr);
        dialog.show();
        QCoreApplication::processEvents();
        QCOMPARE(rowsOf(dialog), rows);
    }
    // Reading is not repairing: the store is the host's, and stays exactly as it was.
    QCOMPARE(BadMediaFiles::read(recentPath()), store);
}

void tst_Stores::thumbnailsClaimingHugeSizes_data()
{
    QTest::addColumn<bool>("beside");
    QTest::addColumn<quint32>("side");
    // 16000 x 16000 as 32-bit pixels is 1 GB, under Qt 5's 2 GB image ceiling: only a size check
    // before decoding keeps it from being allocated. 30000 x 30000 (3.6 GB) passes no ceiling at all.
    QTest::newRow(".kqthumb of 16000 x 16000") << true << quint32(16000);
    QTest::newRow(".kqthumb of 30000 x 30000") << true << quint32(30000);
    QTest::newRow("kept in the project, 16000 x 16000") << false << quint32(16000);
}

void tst_Stores::thumbnailsClaimingHugeSizes()
{
    QFETCH(bool, beside);
    QFETCH(quint32, side);
    const QByteArray png = BadMediaFiles::pngDeclaring(smallPng(), side, side);
    QVERIFY(!png.isEmpty());
    const QDir dir(m_projects.path());
    const QString base = QStringLiteral("huge_%1_%2").arg(side).arg(beside);
    const QString project = projectFile(dir, base);
    if (beside) {
        QVERIFY(BadMediaFiles::write(project, projectJson()));
        QVERIFY(BadMediaFiles::write(dir.filePath(base + QStringLiteral(".kqthumb")), png));
    } else {
        QVERIFY(BadMediaFiles::write(
            project, projectJson(QJsonObject{{"thumbnail", QString::fromLatin1(png.toBase64())}})));
    }
    QJsonArray recent{QJsonObject{
        {"name", "Huge"}, {"path", project}, {"createTime", 1700000000}, {"modifyTime", 1700000000}}};
    QVERIFY(BadMediaFiles::write(recentPath(), QJsonDocument(recent).toJson()));
    IVkProjectRecentManager::getInstance()->reload();

    // The sanitizer build runs this test with allocations above 256 MB made fatal: getting here at
    // all means the claimed size was never allocated.
    QList<ProjectLibraryRecord> records;
    VkProjectLibrary library;
    library.recentProjects(records, 15);
    QCOMPARE(records.size(), 1);
    QVERIFY(records.front().thumbnail.isNull() || records.front().thumbnail.width() <= 4096);

    VkStartupDlg dialog(nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    QCOMPARE(rowsOf(dialog), 1);
}

void tst_Stores::truncatedProjectIsReportedNotOverwritten()
{
    const QByteArray whole = projectJson();
    const QByteArray cut = whole.left(whole.size() / 2);
    const QString path = projectFile(QDir(m_projects.path()), QStringLiteral("cut"));
    QVERIFY(BadMediaFiles::write(path, cut));
    QJsonArray recent{
        QJsonObject{{"name", "Cut"}, {"path", path}, {"createTime", 1700000000}, {"modifyTime", 1700000000}}};
    QVERIFY(BadMediaFiles::write(recentPath(), QJsonDocument(recent).toJson()));
    IVkProjectRecentManager::getInstance()->reload();

    // The window lists it (its file exists); only opening tells that it cannot be read.
    {
        VkStartupDlg dialog(nullptr);
        dialog.show();
        QCoreApplication::processEvents();
        QCOMPARE(rowsOf(dialog), 1);
    }
    IVkProject* before = IVkProjectManager::getInstance()->currentProject();
    QString error;
    QVERIFY(!IVkProjectManager::getInstance()->openProject(path, &error));
    QVERIFY2(error.contains(QFileInfo(path).fileName()), qPrintable(error));
    QCOMPARE(IVkProjectManager::getInstance()->currentProject(), before);

    // Settings accepted afterwards go to the current project, never into the file that failed.
    {
        VkProjectSettingDialog dialog(nullptr);
        auto* ok = dialog.findChildren<VkBaseButton*>().value(0);
        QVERIFY(ok);
        for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>()) {
            if (b->text() == QLatin1String("OK"))
                ok = b;
        }
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        ok->click();
        QCOMPARE(dialog.result(), 1);
    }
    QCOMPARE(BadMediaFiles::read(path), cut);
}

void tst_Stores::readOnlyHome()
{
    // Running as root, permission bits stop no write (root overrides them). A home below a regular
    // file cannot be created or written by anyone: every open fails with "not a directory".
    QTemporaryDir outer;
    QVERIFY(outer.isValid());
    const QString blocker = QDir(outer.path()).filePath(QStringLiteral("not-a-folder"));
    QVERIFY(BadMediaFiles::write(blocker, "a file where the home's parent should be"));
    const QByteArray savedHome = qgetenv("VK_HOME");
    qputenv("VK_HOME", QDir(blocker).filePath(QStringLiteral("home")).toLocal8Bit());
    reloadStores();
    const QMap<QString, QByteArray> before = snapshot(outer.path());

    VkConfig& config = VkConfig::Instance();
    const bool hdrTips = config.IsColorSpaceHDRTipsNoNeedShow();
    config.SetColorSpaceHDRTipsNoNeedShow(!hdrTips);
    QVERIFY(!config.IsWritable());

    VkGeneralSetting* general = VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
    const bool matchShow = general->IsMediaMatchProjShow();
    general->SetMediaMatchProjShow(!matchShow);

    QString error;
    const QString elsewhere = projectFile(QDir(m_projects.path()), QStringLiteral("elsewhere"));
    QVERIFY(BadMediaFiles::write(elsewhere, projectJson()));
    QVERIFY(
        !IVkProjectRecentManager::getInstance()->addProject(elsewhere, QStringLiteral("Elsewhere"), &error));
    QVERIFY(!error.isEmpty());

    error.clear();
    QVERIFY(!IVkProjectManager::getInstance()->saveProjectAs(
        projectFile(QDir(homePath()).filePath(QStringLiteral("Projects")), QStringLiteral("new")), &error));
    QVERIFY(!error.isEmpty());

    // The windows that read and write these stores open, run and close.
    {
        VkStartupDlg dialog(nullptr);
        dialog.show();
        QCoreApplication::processEvents();
        QCOMPARE(rowsOf(dialog), 0);
    }
    {
        VkProjectSettingDialog dialog(nullptr);
        auto* rate = dialog.findChild<VkComboBox*>(QStringLiteral("ProjectSettings_FrameRateBox"));
        QVERIFY(rate);
        // Another frame rate makes OK write the settings store as well.
        rate->setCurrentIndex((rate->currentIndex() + 1) % rate->count());
        for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>()) {
            if (b->text() == QLatin1String("OK"))
                b->click();
        }
        QCOMPARE(dialog.result(), 1);
    }

    // Nothing persisted: read again from disk, every store holds its defaults and no file appeared.
    reloadStores();
    QCOMPARE(config.IsColorSpaceHDRTipsNoNeedShow(), hdrTips);
    QCOMPARE(general->IsMediaMatchProjShow(), matchShow);
    QVERIFY(IVkProjectRecentManager::getInstance()
                ->getRecentProjects(IVkProjectRecentManager::RecentAll)
                .isEmpty());
    QCOMPARE(snapshot(outer.path()), before);

    qputenv("VK_HOME", savedHome);
    reloadStores();
}

VK_TEST_MAIN(tst_Stores)
#include "tst_stores.moc"
