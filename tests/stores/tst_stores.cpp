// The stores under real faults: a full file system (a small tmpfs when this process may mount one,
// otherwise a file-size limit in a child process), damaged and special files in their place, and
// several editor processes writing at once. Every operation that could hang or is run under a limit
// runs in a child process: this program started again with "--child <operation> ...".
#include <projectsetting/VkProjectSettingPresenter.h>
#include <startup/VkStartupDlg.h>
#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkcore/VkConfig.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkvblmodel/VkTrackEvent.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "VkTestFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Child processes run sanitized builds; starting one takes a while on a loaded machine.
constexpr int kChildTimeoutMs = 60000;
// The size limit of a child when no tmpfs can be mounted: above a lock file, below every new content.
constexpr rlim_t kFileSizeLimit = 1024;
constexpr int kTmpfsPage = 4096;
// Stores made larger than the limit and than one page.
constexpr int kLongText = 5000;

QString storePath(const QString& folder, const char* name)
{
    return QDir(folder).filePath(QLatin1String(name));
}

QByteArray projectBytes(const QString& name = QString())
{
    QJsonObject document{{"format", "vkproject"}, {"version", 1}, {"futureKey", "kept"}};
    if (!name.isEmpty())
        document.insert("name", name);
    return QJsonDocument(document).toJson();
}

QByteArray recentBytes(int count, const QString& folder)
{
    QJsonArray entries;
    for (int i = 0; i < count; ++i)
        entries.append(QJsonObject{{"name", QStringLiteral("Project %1").arg(i)},
                                   {"path", QDir(folder).filePath(QStringLiteral("p%1.vkproj").arg(i))},
                                   {"createTime", 1000 + i},
                                   {"modifyTime", 2000 + i}});
    return QJsonDocument(entries).toJson();
}

class LongEvent : public VkTrackEvent
{
public:
    LongEvent()
        : VkTrackEvent(QStringLiteral("long_event"))
    {
        setProperty(QStringLiteral("text"), QString(kLongText, QLatin1Char('x')));
    }
};

QString reportOf(bool ok, const QString& error)
{
    return ok ? QStringLiteral("ok") : QStringLiteral("error: ") + error;
}

// One operation in a child process; prints one line, "ok ..." or "error: ...".
int runChild(const QStringList& args)
{
    if (qEnvironmentVariableIsSet("VK_FSIZE_LIMIT")) {
        // A write past the limit fails with EFBIG instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = rlim_t(qEnvironmentVariableIntValue("VK_FSIZE_LIMIT"));
        rlimit current;
        getrlimit(RLIMIT_FSIZE, &current);
        current.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &current) != 0)
            return 3;
    }
    const QString op = args.value(0);
    QString report;
    QString error;
    if (op == QLatin1String("project")) {
        IVkProjectManager* manager = IVkProjectManager::getInstance();
        if (!manager->openProject(args.value(1), &error)) {
            report = reportOf(false, error);
        } else {
            // Small enough to stay inside the write buffer of a QFileDevice (16 KB), whose final flush
            // is where a full disk used to go unnoticed.
            QImage noise(40, 40, QImage::Format_RGB32);
            for (int y = 0; y < noise.height(); ++y)
                for (int x = 0; x < noise.width(); ++x)
                    noise.setPixel(x, y, QRandomGenerator::global()->generate());
            const bool ok = manager->currentProject()->setThumbnail(noise, &error);
            report = reportOf(ok, error);
        }
    } else if (op == QLatin1String("recent")) {
        const bool ok =
            IVkProjectRecentManager::getInstance()->addProject(args.value(1), args.value(2), &error);
        report = reportOf(ok, error);
    } else if (op == QLatin1String("add-many")) {
        for (int i = 0; i < args.value(2).toInt(); ++i) {
            const QString path = QStringLiteral("%1-%2.vkproj").arg(args.value(1)).arg(i);
            if (!IVkProjectRecentManager::getInstance()->addProject(path, QString(), &error))
                break;
        }
        report = reportOf(error.isEmpty(), error);
    } else if (op == QLatin1String("event")) {
        LongEvent event;
        event.sendEvent();
        report = reportOf(event.lastError().isEmpty(), event.lastError());
    } else if (op == QLatin1String("config")) {
        VkConfig::Instance().SetCBSUrl(QStringLiteral("HelpOnlinePage"),
                                       QStringLiteral("https://help.example/") + QString(kLongText, 'x'));
        report = reportOf(VkConfig::Instance().IsWritable(), VkConfig::Instance().LastError());
    } else if (op == QLatin1String("settings")) {
        VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
        const QString problem = VkAppSettings::GetInstance()->LastError();
        report = reportOf(problem.isEmpty(), problem);
    } else if (op == QLatin1String("list-recent")) {
        // What the startup window does with every listed project.
        int pictures = 0;
        const QList<VkProjectRecentInfo*> records =
            IVkProjectRecentManager::getInstance()->getRecentProjects(IVkProjectRecentManager::RecentAll);
        for (VkProjectRecentInfo* record : records)
            pictures += IVkProject::getThumbnail(record->getPath()).isNull() ? 0 : 1;
        report = QStringLiteral("ok %1 listed, %2 pictures").arg(records.size()).arg(pictures);
    } else if (op == QLatin1String("startup-window")) {
        VkStartupDlg dialog(nullptr);
        report = QStringLiteral("ok");
    } else if (op == QLatin1String("open")) {
        const bool ok = IVkProjectManager::getInstance()->openProject(args.value(1), &error);
        report = reportOf(ok, error);
    } else if (op == QLatin1String("media")) {
        const bool ok = VkMediaItemFactory::create(args.value(1), &error) != nullptr;
        report = reportOf(ok, error);
    } else {
        report = QStringLiteral("error: unknown operation ") + op;
    }
    std::fprintf(stdout, "%s\n", qUtf8Printable(report));
    std::fflush(stdout);
    return 0;
}

struct ChildResult
{
    bool finished = false;
    QString output;
};

QProcess* startChild(const QString& home, const QStringList& args, bool sizeLimit)
{
    auto* process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VK_HOME"), home);
    if (sizeLimit)
        env.insert(QStringLiteral("VK_FSIZE_LIMIT"), QString::number(kFileSizeLimit));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + args);
    return process;
}

ChildResult finishChild(QProcess* process)
{
    ChildResult result;
    result.finished = process->waitForFinished(kChildTimeoutMs);
    if (!result.finished) {
        // A hang is the failure being tested for: end it so the suite goes on.
        process->kill();
        process->waitForFinished();
    }
    result.output = QString::fromUtf8(process->readAllStandardOutput()).trimmed();
    delete process;
    return result;
}

ChildResult runInChild(const QString& home, const QStringList& args, bool sizeLimit = false)
{
    return finishChild(startChild(home, args, sizeLimit));
}

QStringList strayFiles(const QString& folder)
{
    // Temporary files of an interrupted replace start with a dot; lock files end in ".lock".
    QStringList stray;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1String(".lock")))
            stray << name;
    }
    return stray;
}

} // namespace

class tst_Stores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void fullDisk_data();
    void fullDisk();
    void specialFiles_data();
    void specialFiles();
    void damagedRecentKeptAside_data();
    void damagedRecentKeptAside();
    void damagedIniKeptAside();
    void concurrentAdds();
    void timelineNotAnObject_data();
    void timelineNotAnObject();
    void recentNameKept_data();
    void recentNameKept();

private:
    QString home() const { return qEnvironmentVariable("VK_HOME"); }
    // Fills the tmpfs so that exactly freePages pages stay free.
    bool fillDisk(int freePages);
    void clearFolder(const QString& folder);

    QTemporaryDir m_scratch;
    QString m_fullFolder; // the folder whose file system gets full
    bool m_tmpfs = false;
};

void tst_Stores::initTestCase()
{
    QVERIFY(m_scratch.isValid());
    m_fullFolder = m_scratch.filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(m_fullFolder));
    // Root in a container may or may not be allowed to mount; without it, a size limit stands in.
    // VK_TEST_NO_TMPFS forces the size limit where a mount would work.
    m_tmpfs = !qEnvironmentVariableIsSet("VK_TEST_NO_TMPFS") &&
              ::mount("tmpfs", QFile::encodeName(m_fullFolder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                      "size=256k,mode=0700") == 0;
    qInfo("Full file system: %s", m_tmpfs ? "a 256 KB tmpfs" : "RLIMIT_FSIZE in the child processes");
}

void tst_Stores::cleanupTestCase()
{
    if (m_tmpfs)
        ::umount2(QFile::encodeName(m_fullFolder).constData(), MNT_DETACH);
}

void tst_Stores::clearFolder(const QString& folder)
{
    QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (!QFile::remove(dir.filePath(name)))
            QDir(dir.filePath(name)).removeRecursively();
    }
}

void tst_Stores::init()
{
    clearFolder(home());
    clearFolder(m_fullFolder);
    IVkProjectRecentManager::getInstance()->reload();
}

bool tst_Stores::fillDisk(int freePages)
{
    const QByteArray filler = QFile::encodeName(QDir(m_fullFolder).filePath(QStringLiteral("zz-filler")));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const QByteArray chunk(64 * 1024, 'f');
    off_t size = 0;
    while (true) {
        const ssize_t n = ::write(fd, chunk.constData(), size_t(chunk.size()));
        if (n > 0) {
            size += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    const bool ok = errno == ENOSPC && ::ftruncate(fd, size - off_t(freePages) * kTmpfsPage) == 0;
    ::close(fd);
    return ok;
}

void tst_Stores::fullDisk_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("args"); // the child's operation; "%1" stands for the store's path
    QTest::addColumn<int>("freePages");
    const QString newProject = QDir(m_fullFolder).filePath("new.vkproj");
    const QByteArray event = QByteArray(R"({"event":"earlier","properties":[]})") + '\n';
    // One free page takes the lock file, so that the failing write is the store's own.
    QTest::newRow("project save") << "film.vkproj" << projectBytes() << QStringList{"project", "%1"} << 1;
    QTest::newRow("recent list") << "recent.json" << recentBytes(20, m_fullFolder)
                                 << QStringList{"recent", newProject, "New"} << 1;
    QTest::newRow("events.jsonl append") << "events.jsonl" << event.repeated(10) << QStringList{"event"} << 0;
    QTest::newRow("config.ini") << "config.ini" << QByteArray("[ColorSpace]\nGpuTipsNoNeedShow=true\n")
                                << QStringList{"config"} << 1;
    // Another program's long value makes the new file larger than the limit.
    QTest::newRow("settings.ini") << "settings.ini"
                                  << "[Export]\nLastFolder=/" + QByteArray(kLongText, 'd') +
                                         "\n[General]\nMediaMatchProjShow=false\n"
                                  << QStringList{"settings"} << 1;
}

void tst_Stores::fullDisk()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, before);
    QFETCH(QStringList, args);
    QFETCH(int, freePages);
    const QString path = QDir(m_fullFolder).filePath(fileName);
    args.replaceInStrings(QStringLiteral("%1"), path);
    QVERIFY(writeBytes(path, before));
    if (m_tmpfs)
        QVERIFY(fillDisk(freePages));

    const ChildResult child = runInChild(m_fullFolder, args, !m_tmpfs);
    QVERIFY2(child.finished, "the write did not return");
    // The failure is reported, and it is the disk's (not a lock or a read going wrong first).
    QVERIFY2(child.output.startsWith(QLatin1String("error: ")), qPrintable(child.output));
    const QString cause = QString::fromLocal8Bit(std::strerror(m_tmpfs ? ENOSPC : EFBIG));
    QVERIFY2(child.output.contains(cause), qPrintable(child.output));
    // The old file, byte for byte, and nothing left behind.
    QCOMPARE(readBytes(path), before);
    QCOMPARE(strayFiles(m_fullFolder), QStringList());
}

void tst_Stores::specialFiles_data()
{
    QTest::addColumn<QString>("special"); // the file made a FIFO, or /dev/zero ("listed": two projects)
    QTest::addColumn<bool>("fifo");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* special, bool fifo, const char* op,
                        const char* expected) {
        QTest::newRow(name) << QString::fromLatin1(special) << fifo << QString::fromLatin1(op)
                            << QString::fromLatin1(expected);
    };
    row("fifo and /dev/zero listed in recent.json", "listed", true, "list-recent", "ok 2 listed, 0 pictures");
    row("fifo and /dev/zero listed: startup window", "listed", true, "startup-window", "ok");
    row("recent.json is a fifo: read", "recent.json", true, "list-recent", "ok 0 listed, 0 pictures");
    row("recent.json is a fifo: add", "recent.json", true, "recent", "error: ");
    row("open a fifo", "film.vkproj", true, "open", "error: ");
    row("open /dev/zero", "film.vkproj", false, "open", "error: ");
    row("fifo media record", "still.png.vkmeta.json", true, "media", "ok");
    row("/dev/zero media record", "still.png.vkmeta.json", false, "media", "ok");
}

void tst_Stores::specialFiles()
{
    QFETCH(QString, special);
    QFETCH(bool, fifo);
    QFETCH(QString, op);
    QFETCH(QString, expected);
    const auto make = [](const QString& path, bool asFifo) {
        return asFifo ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                      : QFile::link(QStringLiteral("/dev/zero"), path);
    };
    QImage picture(32, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(storePath(home(), "still.png")));
    QString target = storePath(home(), "film.vkproj");
    if (special == QLatin1String("listed")) {
        const QString zero = storePath(home(), "zero.vkproj");
        QVERIFY(make(target, true) && make(zero, false));
        QVERIFY(writeBytes(storePath(home(), "recent.json"),
                           QJsonDocument(QJsonArray{QJsonObject{{"name", "Pipe"}, {"path", target}},
                                                    QJsonObject{{"name", "Zero"}, {"path", zero}}})
                               .toJson()));
    } else {
        QVERIFY(make(QDir(home()).filePath(special), fifo));
        if (special.startsWith(QLatin1String("still")))
            target = storePath(home(), "still.png");
    }

    const ChildResult child = runInChild(home(), QStringList{op, target, QStringLiteral("Name")});
    QVERIFY2(child.finished, "hung on a special file");
    QVERIFY2(child.output.startsWith(expected), qPrintable(child.output));
    if (special == QLatin1String("recent.json")) {
        // Refused, not replaced by a regular file.
        struct stat info;
        QVERIFY(::stat(QFile::encodeName(storePath(home(), "recent.json")).constData(), &info) == 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }
}

void tst_Stores::damagedRecentKeptAside_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("truncated") << QByteArray(R"([{"name": "A", "path": "/p/a.vkproj", "createTi)");
    QTest::newRow("trailing garbage") << QByteArray(R"([{"name": "A", "path": "/p/a.vkproj"}] <<<)");
    QTest::newRow("object instead of a list") << QByteArray(R"({"name": "A", "path": "/p/a.vkproj"})");
    QTest::newRow("latin-1") << QByteArray("[{\"name\": \"Caf\xe9\", \"path\": \"/p/caf\xe9.vkproj\"}]");
    QTest::newRow("empty") << QByteArray();
    QByteArray huge = "[" + QByteArray(R"({"name": "A", "path": "/p/a.vkproj"},)").repeated(120000);
    huge.append(R"({"name": "B", "path": "/p/b.vkproj"}])");
    QTest::newRow("over 4 MB") << huge;
}

void tst_Stores::damagedRecentKeptAside()
{
    QFETCH(QByteArray, contents);
    const QString path = storePath(home(), "recent.json");
    QVERIFY(writeBytes(path, contents));
    IVkProjectRecentManager* manager = IVkProjectRecentManager::getInstance();
    // Reading reports it and changes nothing.
    QVERIFY(manager->getRecentProjects(IVkProjectRecentManager::RecentAll).isEmpty());
    QVERIFY(!manager->lastError().isEmpty());
    QCOMPARE(readBytes(path), contents);

    QString error;
    QVERIFY2(manager->addProject(QStringLiteral("/p/new.vkproj"), QStringLiteral("New"), &error),
             qPrintable(error));
    const QStringList aside = QDir(home()).entryList(QStringList{QStringLiteral("recent.json.broken-*")});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readBytes(QDir(home()).filePath(aside.first())), contents);
    QVERIFY2(manager->lastError().contains(aside.first()), qPrintable(manager->lastError()));
    const QJsonArray written = QJsonDocument::fromJson(readBytes(path)).array();
    QCOMPARE(written.size(), 1);
    QCOMPARE(written.at(0).toObject().value("name").toString(), QStringLiteral("New"));
}

void tst_Stores::damagedIniKeptAside()
{
    const QByteArray garbage("\x89PNG\r\n\x1a\n\0\0\0\rIHDR binary", 24);
    const QString path = storePath(home(), "config.ini");
    QVERIFY(writeBytes(path, garbage));
    VkConfig::Instance().Reload();
    VkConfig::Instance().SetHdrEnabled(true);
    QVERIFY(VkConfig::Instance().IsWritable());
    const QStringList aside = QDir(home()).entryList(QStringList{QStringLiteral("config.ini.broken-*")});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readBytes(QDir(home()).filePath(aside.first())), garbage);
    QVERIFY2(VkConfig::Instance().LastError().contains(aside.first()),
             qPrintable(VkConfig::Instance().LastError()));
    VkConfig::Instance().Reload();
    QVERIFY(VkConfig::Instance().IsHdrEnabled());
}

void tst_Stores::concurrentAdds()
{
    // Five editors add nine projects each, all at once: all 45 must be listed.
    constexpr int kProcesses = 5;
    constexpr int kAddsEach = 9;
    QList<QProcess*> children;
    for (int p = 0; p < kProcesses; ++p)
        children << startChild(
            home(), QStringList{"add-many", QStringLiteral("/p/editor%1").arg(p), QString::number(kAddsEach)},
            false);
    for (QProcess* child : children) {
        const ChildResult result = finishChild(child);
        QVERIFY(result.finished);
        QCOMPARE(result.output, QStringLiteral("ok"));
    }
    QSet<QString> paths;
    const QJsonArray entries = QJsonDocument::fromJson(readBytes(storePath(home(), "recent.json"))).array();
    for (const QJsonValue& entry : entries)
        paths.insert(entry.toObject().value("path").toString());
    QCOMPARE(paths.size(), kProcesses * kAddsEach);
    QCOMPARE(strayFiles(home()), QStringList());
}

void tst_Stores::timelineNotAnObject_data()
{
    QTest::addColumn<QByteArray>("timeline");
    QTest::newRow("text") << QByteArray(R"("edited elsewhere")");
    QTest::newRow("list") << QByteArray("[30000, 1001]");
}

void tst_Stores::timelineNotAnObject()
{
    QFETCH(QByteArray, timeline);
    const QString path = QDir(home()).filePath(QStringLiteral("film.vkproj"));
    QVERIFY(writeBytes(path, projectBytes()));
    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
    // Another program leaves "timeline" as something other than an object; then OK is pressed.
    const QByteArray damaged = R"({"format": "vkproject", "version": 1, "timeline": )" + timeline + "}";
    QVERIFY(writeBytes(path, damaged));
    VkProjectSettingPresenter presenter;
    presenter.SetRatio(2);
    presenter.Save();
    QCOMPARE(readBytes(path), damaged);
    const QString reported = IVkProjectManager::getInstance()->currentProject()->lastWriteError();
    QVERIFY2(reported.contains(QLatin1String("\"timeline\"")), qPrintable(reported));
    // Opened as it is, such a file is refused as a damaged "config" is.
    QVERIFY(!IVkProjectManager::getInstance()->openProject(path, &error));
    QVERIFY2(error.contains(QLatin1String("\"timeline\"")), qPrintable(error));
}

void tst_Stores::recentNameKept_data()
{
    QTest::addColumn<QString>("listedName");
    QTest::addColumn<QString>("ownName");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* listed, const char* own, const char* expected) {
        QTest::newRow(name) << QString::fromLatin1(listed) << QString::fromLatin1(own)
                            << QString::fromLatin1(expected);
    };
    row("listed, no name of its own", "Wedding Highlights", "", "Wedding Highlights");
    row("listed, a name of its own", "Wedding Highlights", "Wedding Final", "Wedding Final");
    row("not listed, no name", "", "", "wedding-highlights");
    row("not listed, a name of its own", "", "Wedding Final", "Wedding Final");
}

void tst_Stores::recentNameKept()
{
    QFETCH(QString, listedName);
    QFETCH(QString, ownName);
    QFETCH(QString, expected);
    const QString path = QDir(home()).filePath(QStringLiteral("wedding-highlights.vkproj"));
    QVERIFY(writeBytes(path, projectBytes(ownName)));
    QJsonArray entries;
    if (!listedName.isEmpty())
        entries.append(
            QJsonObject{{"name", listedName}, {"path", path}, {"createTime", 5}, {"modifyTime", 6}});
    QVERIFY(writeBytes(storePath(home(), "recent.json"), QJsonDocument(entries).toJson()));

    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
    const QList<VkProjectRecentInfo*> records =
        IVkProjectRecentManager::getInstance()->getRecentProjects(IVkProjectRecentManager::RecentAll);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first()->getName(), expected);
    QCOMPARE(QJsonDocument::fromJson(readBytes(storePath(home(), "recent.json")))
                 .array()
                 .at(0)
                 .toObject()
                 .value("name")
                 .toString(),
             expected);
}

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        QStringList args = app.arguments().mid(2);
        return runChild(args);
    }
    QTemporaryDir vkHome;
    if (!vkHome.isValid())
        return 3;
    qputenv("VK_HOME", vkHome.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tst_Stores tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_stores.moc"
