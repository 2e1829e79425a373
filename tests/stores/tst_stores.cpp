// The stores under real faults: a full file system (a small tmpfs when this process may mount one,
// otherwise a file-size limit in a child process), damaged and special files in their place, and
// several editor processes writing at once. Every operation that could hang or is run under a limit
// runs in a child process: this program started again with "--child <operation> ...".
#include <projectsetting/VkProjectSettingClickEvent.h>
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

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSet>

#include "StartupFixtures.h"
#include "VkTestFiles.h"
#include "VkTestMain.h"
#include "VkTestProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace VkTestLiterals;

namespace {
// Child processes run sanitized builds; starting one takes a while on a loaded machine.
constexpr int kChildTimeoutMs = 60000;
// The size limit of a child when no tmpfs can be mounted: above a lock file, below every new content.
constexpr rlim_t kFileSizeLimit = 1024;
constexpr int kTmpfsPage = 4096;
// Stores made larger than the limit and than one page.
constexpr int kLongText = 5000;

QByteArray projectBytes(const QString& name = QString())
{
    QJsonObject document{{"format"_s, "vkproject"_s}, {"version"_s, 1}, {"futureKey"_s, "kept"_s}};
    if (!name.isEmpty())
        document.insert("name"_s, name);
    return QJsonDocument(document).toJson();
}

// One operation in a child process: "ok ..." or "error: ..." for the parent to read.
QString childOperation(const QStringList& args)
{
    const QString op = args.value(0);
    QString error;
    bool ok = true; // where no result but an error is reported
    if (op == "project"_s) {
        // Small enough to stay inside the write buffer of a QFileDevice (16 KB), whose final flush is
        // where a full disk used to go unnoticed.
        QImage noise(40, 40, QImage::Format_RGB32);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(noise.bits()), 40 * 40);
        IVkProjectManager* manager = IVkProjectManager::getInstance();
        ok = manager->openProject(args.value(1), &error) &&
             manager->currentProject()->setThumbnail(noise, &error);
    } else if (op == "recent"_s) {
        ok = IVkProjectRecentManager::getInstance()->addProject(args.value(1), args.value(2), &error);
    } else if (op == "add-many"_s) {
        for (int i = 0; i < args.value(2).toInt() && error.isEmpty(); ++i)
            IVkProjectRecentManager::getInstance()->addProject(
                QStringLiteral("%1-%2.vkproj").arg(args.value(1)).arg(i), QString(), &error);
    } else if (op == "event"_s) {
        VkProjectSettingClickEvent event(QString(kLongText, QLatin1Char('x')));
        event.sendEvent();
        error = event.lastError();
    } else if (op == "config"_s) {
        VkConfig::Instance().SetCBSUrl("HelpOnlinePage"_s,
                                       "https://help.example/"_s + QString(kLongText, QLatin1Char('x')));
        ok = VkConfig::Instance().IsWritable();
        error = VkConfig::Instance().LastError();
    } else if (op == "settings"_s) {
        VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
        error = VkAppSettings::GetInstance()->LastError();
    } else if (op == "list-recent"_s) {
        // What the startup window does with every listed project.
        int pictures = 0;
        const QList<VkProjectRecentInfo*> records =
            IVkProjectRecentManager::getInstance()->getRecentProjects(IVkProjectRecentManager::RecentAll);
        for (VkProjectRecentInfo* record : records)
            pictures += IVkProject::getThumbnail(record->getPath()).isNull() ? 0 : 1;
        return QStringLiteral("ok %1 listed, %2 pictures").arg(records.size()).arg(pictures);
    } else if (op == "startup-window"_s) {
        VkStartupDlg dialog(nullptr);
    } else if (op == "open"_s) {
        ok = IVkProjectManager::getInstance()->openProject(args.value(1), &error);
    } else if (op == "media"_s) {
        ok = VkMediaItemFactory::create(args.value(1), &error) != nullptr;
    } else {
        error = "no such operation: "_s + op;
    }
    return ok && error.isEmpty() ? "ok"_s : "error: "_s + error;
}

int runChild(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("VK_FSIZE_LIMIT")) {
        // A write past the limit fails with EFBIG instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit current;
        getrlimit(RLIMIT_FSIZE, &current);
        current.rlim_cur = rlim_t(qEnvironmentVariableIntValue("VK_FSIZE_LIMIT"));
        if (setrlimit(RLIMIT_FSIZE, &current) != 0)
            return 3;
    }
    QApplication app(argc, argv);
    std::fprintf(stdout, "%s\n", qUtf8Printable(childOperation(app.arguments().mid(2))));
    // Flushed now: a leak report at exit would end the process before stdio is flushed.
    std::fflush(stdout);
    return 0;
}

QProcess* startChild(const QString& home, const QStringList& args, bool sizeLimit = false)
{
    return vkStartProcess(
        QCoreApplication::applicationFilePath(), QStringList{"--child"_s} + args,
        {{"VK_HOME"_s, home}, {"VK_FSIZE_LIMIT"_s, sizeLimit ? QString::number(kFileSizeLimit) : QString()}});
}

// The child's line; empty when it hung, the failure being tested for (it is ended so the suite goes on).
QString finishChild(QProcess* process)
{
    const VkProcessRun run = vkFinishProcess(process, kChildTimeoutMs);
    if (!run.err.isEmpty())
        qWarning("child: %s", run.err.constData());
    return QString::fromUtf8(run.out).trimmed();
}

// Temporary files of an interrupted replace start with a dot; lock files end in ".lock".
QStringList strayFiles(const QString& folder)
{
    return QDir(folder).entryList({".*"_s, "*.lock"_s}, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class tst_Stores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_scratch.isValid());
        m_fullFolder = m_scratch.filePath("full"_s);
        QVERIFY(QDir().mkpath(m_fullFolder));
        // Root in a container may or may not be allowed to mount; without it, a size limit stands in.
        // VK_TEST_NO_TMPFS forces the size limit where a mount would work.
        m_tmpfs = !qEnvironmentVariableIsSet("VK_TEST_NO_TMPFS") &&
                  ::mount("tmpfs", QFile::encodeName(m_fullFolder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                          "size=256k,mode=0700") == 0;
        qInfo("Full file system: %s", m_tmpfs ? "a 256 KB tmpfs" : "RLIMIT_FSIZE in the child processes");
    }
    void cleanupTestCase()
    {
        if (m_tmpfs)
            ::umount2(QFile::encodeName(m_fullFolder).constData(), MNT_DETACH);
    }
    void init()
    {
        // Emptied; a mount point stays, as does any folder the removal could not take.
        for (const QString& folder : {m_home, m_fullFolder}) {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
        }
        IVkProjectRecentManager::getInstance()->reload();
        VkConfig::Instance().Reload();
    }
    void fullDisk_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("args"); // the child's operation; "%1" stands for the store's path
        QJsonArray recent;
        for (int i = 0; i < 20; ++i)
            recent.append(
                QJsonObject{{"name"_s, QStringLiteral("Project %1").arg(i)},
                            {"path"_s, QDir(m_fullFolder).filePath(QStringLiteral("p%1.vkproj").arg(i))}});
        const QString newProject = QDir(m_fullFolder).filePath("new.vkproj"_s);
        const QByteArray events = QByteArray("{\"event\":\"earlier\",\"properties\":[]}\n").repeated(10);
        // Another program's long value makes the new settings file larger than the limit.
        const QByteArray settings =
            "[Export]\nLastFolder=/" + QByteArray(kLongText, 'd') + "\n[General]\nMediaMatchProjShow=false\n";
        QTest::newRow("project save")
            << "film.vkproj"_s << projectBytes() << QStringList{"project"_s, "%1"_s};
        QTest::newRow("recent list") << "recent.json"_s << QJsonDocument(recent).toJson()
                                     << QStringList{"recent"_s, newProject, "New"_s};
        QTest::newRow("events.jsonl append") << "events.jsonl"_s << events << QStringList{"event"_s};
        QTest::newRow("config.ini") << "config.ini"_s << QByteArray("[ColorSpace]\nGpuTipsNoNeedShow=true\n")
                                    << QStringList{"config"_s};
        QTest::newRow("settings.ini") << "settings.ini"_s << settings << QStringList{"settings"_s};
    }
    void fullDisk()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, before);
        QFETCH(QStringList, args);
        // A store that replaces its file takes a lock file first, and one free page is left for it, so that
        // the failing write is the store's own; an append takes no lock.
        const int freePages = fileName.endsWith(".jsonl"_s) ? 0 : 1;
        const QString path = QDir(m_fullFolder).filePath(fileName);
        args.replaceInStrings("%1"_s, path);
        QVERIFY(writeBytes(path, before));
        if (m_tmpfs) {
            // The tmpfs filled up, then exactly freePages pages freed.
            QFile filler(QDir(m_fullFolder).filePath("zz-filler"_s));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(64 * 1024, 'f')) > 0)
                continue;
            QCOMPARE(filler.error(), QFileDevice::ResourceError);
            QVERIFY(filler.resize(filler.size() - qint64(freePages) * kTmpfsPage));
        }

        const QString output = finishChild(startChild(m_fullFolder, args, !m_tmpfs));
        // The failure is reported, and it is the disk's (not a lock or a read going wrong first).
        QVERIFY2(output.startsWith("error: "_s), qPrintable(output));
        QVERIFY2(output.contains(QString::fromLocal8Bit(std::strerror(m_tmpfs ? ENOSPC : EFBIG))),
                 qPrintable(output));
        // The old file, byte for byte, and nothing left behind.
        QCOMPARE(readBytes(path), before);
        QCOMPARE(strayFiles(m_fullFolder), QStringList());
    }
    void specialFiles_data()
    {
        QTest::addColumn<QString>("special"); // the file made a FIFO, or /dev/zero ("listed": two projects)
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("expected"); // how the child's line starts; empty: it hung
        const auto row = [](const char* name, const char* special, bool fifo, const char* op,
                            const char* expected) {
            QTest::newRow(name) << special << fifo << op << expected;
        };
        row("fifo and /dev/zero listed in recent.json", "listed", true, "list-recent",
            "ok 2 listed, 0 pictures");
        row("fifo and /dev/zero listed: startup window", "listed", true, "startup-window", "ok");
        row("recent.json is a fifo: read", "recent.json", true, "list-recent", "ok 0 listed, 0 pictures");
        row("recent.json is a fifo: add", "recent.json", true, "recent", "error: ");
        row("open a fifo", "film.vkproj", true, "open", "error: ");
        row("open /dev/zero", "film.vkproj", false, "open", "error: ");
        row("fifo media record", "still.png.vkmeta.json", true, "media", "ok");
        row("/dev/zero media record", "still.png.vkmeta.json", false, "media", "ok");
    }
    void specialFiles()
    {
        QFETCH(QString, special);
        QFETCH(bool, fifo);
        QFETCH(QString, op);
        QFETCH(QString, expected);
        const auto make = [](const QString& path, bool asFifo) {
            return asFifo ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                          : QFile::link("/dev/zero"_s, path);
        };
        QImage picture(32, 16, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(vkHomeFile("still.png"_s)));
        QString target = vkHomeFile("film.vkproj"_s);
        if (special == "listed"_s) {
            const QString zero = vkHomeFile("zero.vkproj"_s);
            QVERIFY(make(target, true) && make(zero, false));
            QVERIFY(RecentFixture::write({{"Pipe"_s, target, 5, 6}, {"Zero"_s, zero, 5, 6}}));
        } else {
            QVERIFY(make(vkHomeFile(special), fifo));
            if (special.startsWith("still"_s))
                target = vkHomeFile("still.png"_s);
        }

        const QString output = finishChild(startChild(m_home, QStringList{op, target, "Name"_s}));
        QVERIFY2(!output.isEmpty() && output.startsWith(expected), qPrintable(output));
        // A special recent.json is refused, not replaced by a regular file.
        const QFileInfo recent(vkHomeFile("recent.json"_s));
        QVERIFY(special != "recent.json"_s || (recent.exists() && !recent.isFile()));
    }
    void damagedStoreKeptAside_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QByteArray>("contents");
        const QString recent = "recent.json"_s;
        QTest::newRow("recent: truncated")
            << recent << QByteArray("[{\"name\": \"A\", \"path\": \"/p/a.vkproj\", \"createTi");
        QTest::newRow("recent: object instead of a list")
            << recent << QByteArray("{\"name\": \"A\", \"path\": \"/p/a.vkproj\"}");
        QTest::newRow("recent: empty") << recent << QByteArray();
        QByteArray huge = "[" + QByteArray("{\"name\": \"A\", \"path\": \"/p/a.vkproj\"},").repeated(120000);
        QTest::newRow("recent: over 4 MB")
            << recent << huge.append("{\"name\": \"B\", \"path\": \"/p/b.vkproj\"}]");
        QTest::newRow("config.ini: binary")
            << "config.ini"_s << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR binary", 24);
    }
    // Reading a damaged store reports it and changes nothing; the next write sets the old bytes aside
    // under a name that the error gives, and writes the new contents alone.
    void damagedStoreKeptAside()
    {
        QFETCH(QString, store);
        QFETCH(QByteArray, contents);
        const QString path = vkHomeFile(store);
        QVERIFY(writeBytes(path, contents));
        QString error;
        if (store == "config.ini"_s) {
            VkConfig::Instance().Reload();
            VkConfig::Instance().SetHdrEnabled(true);
            QVERIFY(VkConfig::Instance().IsWritable());
            error = VkConfig::Instance().LastError();
            VkConfig::Instance().Reload();
            QVERIFY(VkConfig::Instance().IsHdrEnabled());
        } else {
            IVkProjectRecentManager* manager = IVkProjectRecentManager::getInstance();
            QVERIFY(manager->getRecentProjects(IVkProjectRecentManager::RecentAll).isEmpty());
            QVERIFY(!manager->lastError().isEmpty());
            QCOMPARE(readBytes(path), contents);
            QVERIFY2(manager->addProject("/p/new.vkproj"_s, "New"_s, &error), qPrintable(error));
            error = manager->lastError();
            const QJsonArray written = QJsonDocument::fromJson(readBytes(path)).array();
            QCOMPARE(written.size(), 1);
            QCOMPARE(written.at(0).toObject().value("name"_s).toString(), "New"_s);
        }
        const QStringList aside = QDir(m_home).entryList(QStringList{store + ".broken-*"_s});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readBytes(vkHomeFile(aside.first())), contents);
        QVERIFY2(error.contains(aside.first()), qPrintable(error));
    }
    void concurrentAdds()
    {
        // Five editors add nine projects each, all at once: all 45 must be listed.
        QList<QProcess*> children;
        for (int p = 0; p < 5; ++p)
            children << startChild(m_home,
                                   QStringList{"add-many"_s, QStringLiteral("/p/editor%1").arg(p), "9"_s});
        for (QProcess* child : children)
            QCOMPARE(finishChild(child), "ok"_s);
        QSet<QString> paths;
        for (const QJsonValue& entry :
             QJsonDocument::fromJson(readBytes(vkHomeFile("recent.json"_s))).array())
            paths.insert(entry.toObject().value("path"_s).toString());
        QCOMPARE(paths.size(), 5 * 9);
        QCOMPARE(strayFiles(m_home), QStringList());
    }
    void timelineNotAnObject_data()
    {
        QTest::addColumn<QByteArray>("timeline");
        QTest::newRow("text") << QByteArray("\"edited elsewhere\"");
        QTest::newRow("list") << QByteArray("[30000, 1001]");
    }
    void timelineNotAnObject()
    {
        QFETCH(QByteArray, timeline);
        const QString path = vkHomeFile("film.vkproj"_s);
        QVERIFY(writeBytes(path, projectBytes()));
        QString error;
        QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
        // Another program leaves "timeline" as something other than an object; then OK is pressed.
        const QByteArray damaged =
            "{\"format\": \"vkproject\", \"version\": 1, \"timeline\": " + timeline + "}";
        QVERIFY(writeBytes(path, damaged));
        VkProjectSettingPresenter presenter;
        presenter.SetRatio(2);
        presenter.Save();
        QCOMPARE(readBytes(path), damaged);
        const QString reported = IVkProjectManager::getInstance()->currentProject()->lastWriteError();
        QVERIFY2(reported.contains("\"timeline\""_s), qPrintable(reported));
        // Opened as it is, such a file is refused as a damaged "config" is.
        QVERIFY(!IVkProjectManager::getInstance()->openProject(path, &error));
        QVERIFY2(error.contains("\"timeline\""_s), qPrintable(error));
    }
    void recentNameKept_data()
    {
        QTest::addColumn<QString>("listedName");
        QTest::addColumn<QString>("ownName");
        QTest::addColumn<QString>("expected");
        const QString listed = "Wedding Highlights"_s;
        const QString own = "Wedding Final"_s;
        // First: a later row would find the path among the records the list dropped, another branch.
        QTest::newRow("not listed, no name") << QString() << QString() << "wedding-highlights"_s;
        QTest::newRow("listed, no name of its own") << listed << QString() << listed;
        QTest::newRow("listed, a name of its own") << listed << own << own;
        QTest::newRow("not listed, a name of its own") << QString() << own << own;
    }
    // Opening a project lists it under its own name, else the listed one, else its file's base name, in
    // memory and in the store.
    void recentNameKept()
    {
        QFETCH(QString, listedName);
        QFETCH(QString, ownName);
        QFETCH(QString, expected);
        const QString path = vkHomeFile("wedding-highlights.vkproj"_s);
        QVERIFY(writeBytes(path, projectBytes(ownName)));
        QList<RecentFixture::Entry> entries;
        if (!listedName.isEmpty())
            entries.append({listedName, path, 5, 6});
        QVERIFY(RecentFixture::write(entries));

        QString error;
        QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
        const QList<VkProjectRecentInfo*> records =
            IVkProjectRecentManager::getInstance()->getRecentProjects(IVkProjectRecentManager::RecentAll);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first()->getName(), expected);
        const QJsonArray stored = QJsonDocument::fromJson(readBytes(vkHomeFile("recent.json"_s))).array();
        QCOMPARE(stored.at(0).toObject().value("name"_s).toString(), expected);
    }

private:
    const QString m_home = vkHomeFile(QString());
    QTemporaryDir m_scratch;
    QString m_fullFolder; // the folder whose file system gets full
    bool m_tmpfs = false;
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    return vkTestMain<tst_Stores>(argc, argv);
}

#include "tst_stores.moc"
