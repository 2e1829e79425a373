// vkpopup-demo: a small host application for the dialog library.
//   vkpopup-demo [--project FILE] [--screenshots DIR]
// With --screenshots it renders its windows to PNG files in DIR instead of showing them, which is
// how it runs on a machine without a display.

#include "VkDemoSamples.h"
#include "VkDemoWindow.h"

#include <projectsetting/VkProjectSettingDialog.h>
#include <startup/VkStartupDlg.h>
#include <vkcore/IVkAppInfo.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTextStream>

namespace {

bool saveShot(QWidget* window, const QString& dir, const QString& name)
{
    window->show();
    QCoreApplication::processEvents();
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!window->grab().save(path)) {
        QTextStream(stderr) << "vkpopup-demo: cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

// The demo keeps its own preference (whether to show the startup window) beside the stores.
QSettings demoSettings()
{
    return QSettings(QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome))
                         .filePath(QStringLiteral("demo.ini")),
                     QSettings::IniFormat);
}

// Shows the startup window and opens or creates the project it hands back. False when the chosen
// project cannot be opened (the user is told on stderr and starts with a new project).
bool runStartup()
{
    VkStartupDlg startup(nullptr);
    startup.DoModal();
    demoSettings().setValue(QStringLiteral("Demo/ShowStartupWindow"),
                            startup.IsShowProjectListWindowCheckBoxChecked());
    const QString path = startup.GetOpenProject();
    IVkProjectManager* manager = IVkProjectManager::getInstance();
    if (path.isEmpty()) {
        manager->newProject();
        return true;
    }
    QString error;
    if (!manager->openProject(path, &error)) {
        QTextStream(stderr) << "vkpopup-demo: " << error << '\n';
        manager->newProject();
        return false;
    }
    return true;
}

bool saveStartupShots(const QString& dir)
{
    bool ok = true;
    {
        VkStartupDlg startup(nullptr);
        ok = saveShot(&startup, dir, QStringLiteral("startup")) && ok;
    }
    // The empty library: the recent list is set aside for a moment and put back untouched.
    const QString store = QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome))
                              .filePath(QStringLiteral("recent.json"));
    const QString aside = store + QStringLiteral(".demo-aside");
    QFile::remove(aside);
    if (QFile::rename(store, aside)) {
        {
            VkStartupDlg startup(nullptr);
            ok = saveShot(&startup, dir, QStringLiteral("startup-empty")) && ok;
        }
        QFile::rename(aside, store);
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vkpopup-demo"));
    QApplication::setOrganizationName(QStringLiteral("VkPopupDialog"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs the dialogs of the VkPopupDialog library."));
    parser.addHelpOption();
    const QCommandLineOption projectOption(QStringLiteral("project"),
                                           QStringLiteral("Open this project file."), QStringLiteral("file"));
    const QCommandLineOption shotsOption(
        QStringLiteral("screenshots"),
        QStringLiteral("Render every window to PNG files in this folder and quit."), QStringLiteral("dir"));
    parser.addOption(projectOption);
    parser.addOption(shotsOption);
    parser.process(app);

    VkSkinStyle::ApplyTheme();

    QString error;
    if (VkDemoSamples::ensureProjects(&error).isEmpty())
        QTextStream(stderr) << "vkpopup-demo: cannot create the sample projects: " << error << '\n';

    if (parser.isSet(projectOption)) {
        QString error;
        if (!IVkProjectManager::getInstance()->openProject(parser.value(projectOption), &error)) {
            QTextStream(stderr) << "vkpopup-demo: " << error << '\n';
            return 2;
        }
    }

    VkDemoWindow window;
    if (parser.isSet(shotsOption)) {
        const QString dir = parser.value(shotsOption);
        if (!QDir().mkpath(dir)) {
            QTextStream(stderr) << "vkpopup-demo: cannot create " << dir << '\n';
            return 2;
        }
        QTextStream(stdout) << "vkpopup-demo: screenshots written to " << QDir(dir).absolutePath() << ":\n";
        bool ok = saveStartupShots(dir);
        ok = saveShot(&window, dir, QStringLiteral("demo-window")) && ok;
        VkProjectSettingDialog projectSettings(&window);
        ok = saveShot(&projectSettings, dir, QStringLiteral("project-settings")) && ok;
        return ok ? 0 : 1;
    }
    if (!parser.isSet(projectOption) &&
        demoSettings().value(QStringLiteral("Demo/ShowStartupWindow"), true).toBool()) {
        runStartup();
        window.refresh();
    }
    window.show();
    return app.exec();
}
