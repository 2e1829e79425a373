// vkpopup-demo: a small host application for the dialog library.
//   vkpopup-demo [--project FILE] [--screenshots DIR]
// With --screenshots it renders its windows to PNG files in DIR instead of showing them, which is
// how it runs on a machine without a display.

#include "VkDemoWindow.h"

#include <projectsetting/VkProjectSettingDialog.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
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
        bool ok = saveShot(&window, dir, QStringLiteral("demo-window"));
        VkProjectSettingDialog projectSettings(&window);
        ok = saveShot(&projectSettings, dir, QStringLiteral("project-settings")) && ok;
        return ok ? 0 : 1;
    }
    window.show();
    return app.exec();
}
