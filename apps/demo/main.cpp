// vkpopup-demo: a small host application for the dialog library.
//   vkpopup-demo [--project FILE] [--language CODE] [--screenshots DIR]
// On first run it makes sample projects and media under VK_HOME. It shows the startup window, then
// a main window that opens every dialog. With --screenshots it renders every window to PNG files in
// DIR instead of showing them, which is how it runs on a machine without a display.

#include "VkDemoSamples.h"
#include "VkDemoScreenshots.h"
#include "VkDemoWindow.h"

#include <startup/VkStartupDlg.h>
#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkLocale.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QTextStream>

namespace {

constexpr int kExitUsage = 2;

void complain(const QString& text)
{
    QTextStream(stderr) << "vkpopup-demo: " << text << '\n';
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
        complain(error);
        manager->newProject();
        return false;
    }
    return true;
}

bool switchLanguage(const QString& code)
{
    for (int value = VkLocale::LanguageEnglish; value <= VkLocale::LanguageChineseTraditional; ++value) {
        const auto language = static_cast<VkLocale::VkLanguageType>(value);
        if (VkLocale::languageCode(language) != code)
            continue;
        VkLocale* locale = VkSingleton<VkLocale>::instance();
        if (locale->setLanguage(language))
            return true;
        complain(locale->lastError());
        return false;
    }
    complain(QStringLiteral("%1 is not a language code (en, de, ...)").arg(code));
    return false;
}

int saveScreenshots(VkDemoWindow* window, const QString& dir)
{
    if (!QDir().mkpath(dir)) {
        complain(QStringLiteral("cannot create %1").arg(dir));
        return kExitUsage;
    }
    QStringList errors;
    const QStringList written = VkDemoScreenshots::saveAll(window, dir, &errors);
    QTextStream out(stdout);
    out << "vkpopup-demo: screenshots written to " << QDir(dir).absolutePath() << ":\n";
    for (const QString& path : written)
        out << path << '\n';
    out << "vkpopup-demo: scene ranges read back:";
    for (const QPoint& range : window->sceneRanges())
        out << " [" << range.x() << ", " << range.y() << ')';
    out << '\n';
    out.flush();
    for (const QString& error : errors)
        complain(error);
    return errors.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vkpopup-demo"));
    // What the window manager shows for a window without a title of its own (the startup window)
    // and after the title of the others.
    QApplication::setApplicationDisplayName(QStringLiteral("VkPopupDialog Demo"));
    QApplication::setOrganizationName(QStringLiteral("VkPopupDialog"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs the dialogs of the VkPopupDialog library."));
    parser.addHelpOption();
    const QCommandLineOption projectOption(QStringLiteral("project"),
                                           QStringLiteral("Open this project file."), QStringLiteral("file"));
    const QCommandLineOption languageOption(QStringLiteral("language"),
                                            QStringLiteral("Start in this language (en, de)."),
                                            QStringLiteral("code"));
    const QCommandLineOption shotsOption(
        QStringLiteral("screenshots"),
        QStringLiteral("Render every window to PNG files in this folder and quit."), QStringLiteral("dir"));
    parser.addOption(projectOption);
    parser.addOption(languageOption);
    parser.addOption(shotsOption);
    parser.process(app);

    VkSkinStyle::ApplyTheme();
    if (parser.isSet(languageOption) && !switchLanguage(parser.value(languageOption)))
        return kExitUsage;

    QString error;
    if (VkDemoSamples::ensureProjects(&error).isEmpty())
        complain(QStringLiteral("cannot create the sample projects: %1").arg(error));
    QStringList problems;
    const QStringList media = VkDemoSamples::ensureMedia(&problems);
    for (const QString& problem : problems)
        complain(problem);

    if (parser.isSet(projectOption)) {
        QString error;
        if (!IVkProjectManager::getInstance()->openProject(parser.value(projectOption), &error)) {
            complain(error);
            return kExitUsage;
        }
    }

    VkDemoWindow window;
    window.setMediaFiles(media);
    if (parser.isSet(shotsOption))
        return saveScreenshots(&window, parser.value(shotsOption));

    if (!parser.isSet(projectOption) &&
        demoSettings().value(QStringLiteral("Demo/ShowStartupWindow"), true).toBool()) {
        runStartup();
        window.refresh();
    }
    window.show();
    return QApplication::exec();
}
