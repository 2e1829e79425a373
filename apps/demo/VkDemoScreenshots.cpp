#include "VkDemoScreenshots.h"

#include "VkDemoSamples.h"
#include "VkDemoWindow.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkcore/IVkAppInfo.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkProjectThumbnailLoader.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>

namespace {

// Detecting the sample clip takes well under a second; a much larger clip chosen by hand still ends.
constexpr int kDetectionTimeoutMs = 120 * 1000;
// Long enough for the preview to show the chosen scene before the picture is taken.
constexpr int kPreviewSettleMs = 400;
constexpr int kPollIntervalMs = 20;
// Decoding the sample projects' pictures takes a fraction of a second.
constexpr int kPicturesTimeoutMs = 30 * 1000;
constexpr int kRecentProjectsShown = 15;

class Shooter
{
public:
    Shooter(const QString& dir, QStringList* written, QStringList* errors)
        : m_dir(dir)
        , m_written(written)
        , m_errors(errors)
    {}

    void shoot(QWidget* window, const QString& name)
    {
        window->show();
        QCoreApplication::processEvents();
        const QString path = m_dir.filePath(name + QStringLiteral(".png"));
        if (window->grab().save(path))
            *m_written << path;
        else
            *m_errors << QStringLiteral("cannot write %1").arg(path);
        window->hide();
    }

    void fail(const QString& error) { *m_errors << error; }

private:
    QDir m_dir;
    QStringList* m_written;
    QStringList* m_errors;
};

// Waits until a condition holds, serving events meanwhile; false when the time ran out.
template <typename Condition>
bool waitFor(Condition done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(kPollIntervalMs);
    if (!done())
        loop.exec();
    return done();
}

void shootStartup(Shooter& shooter)
{
    // On a first start the project pictures arrive after the window; the picture is taken as a
    // returning user sees the window, with every picture already cached.
    {
        VkProjectLibrary library;
        QList<ProjectLibraryRecord> records;
        library.recentProjects(records, kRecentProjectsShown);
        if (!waitFor([&library] { return library.thumbnailLoader()->pendingCount() == 0; },
                     kPicturesTimeoutMs))
            shooter.fail(QStringLiteral("the project pictures were not decoded in time"));
    }
    {
        VkStartupDlg startup(nullptr);
        shooter.shoot(&startup, QStringLiteral("startup"));
    }
    // The empty library: the recent list is set aside for a moment and put back untouched.
    const QString store = QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome))
                              .filePath(QStringLiteral("recent.json"));
    const QString aside = store + QStringLiteral(".demo-aside");
    QFile::remove(aside);
    if (!QFile::rename(store, aside)) {
        shooter.fail(QStringLiteral("cannot set %1 aside for the empty startup window").arg(store));
        return;
    }
    {
        VkStartupDlg startup(nullptr);
        shooter.shoot(&startup, QStringLiteral("startup-empty"));
    }
    if (!QFile::rename(aside, store))
        shooter.fail(QStringLiteral("cannot put %1 back").arg(store));
}

void shootSceneDetection(Shooter& shooter, VkDemoWindow* window)
{
    QString error;
    IVkAbstractMedia* clip = window->mediaItem(VkDemoSamples::clipPath(), &error);
    if (!clip) {
        shooter.fail(QStringLiteral("no scene detection picture: %1").arg(error));
        return;
    }
    VkScenceDetectionDlg dialog(clip, window);
    dialog.show();
    dialog.startDetect();
    // The player view is disabled exactly while a detection runs.
    const QWidget* playerView = nullptr;
    for (const QWidget* child : dialog.findChildren<QWidget*>())
        if (child->inherits("VkScenceDetectPlayerView"))
            playerView = child;
    const bool ended =
        waitFor([playerView] { return !playerView || playerView->isEnabled(); }, kDetectionTimeoutMs);
    if (!ended)
        shooter.fail(QStringLiteral("the scene detection did not end in time"));
    // Scenes found last arrive as queued signals.
    QCoreApplication::processEvents();
    // The second scene chosen the way a keyboard user does: made current, then previewed with Enter.
    auto* table = dialog.findChild<QTableWidget*>();
    QWidget* list = table ? table->parentWidget() : nullptr;
    if (table && list && table->rowCount() > 1) {
        table->setCurrentCell(1, 0);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(list, &enter);
        // A loaded machine decodes slowly: first the scene's own frames, then a moment of playback.
        const QList<QPoint> ranges = dialog.GetDetectRange();
        const VkMediaPlayerWidget* player = dialog.findChild<VkMediaPlayerWidget*>();
        const VkMediaPlayerPresenter* presenter = player ? player->presenter() : nullptr;
        if (presenter && ranges.size() > 1) {
            const QPoint scene = ranges.at(1);
            waitFor(
                [presenter, scene] {
                    return presenter->playRangeFirst() == scene.x() &&
                           presenter->currentFrame() >= scene.x() && presenter->currentFrame() < scene.y();
                },
                kDetectionTimeoutMs);
        }
        waitFor([] { return false; }, kPreviewSettleMs);
    }
    shooter.shoot(&dialog, QStringLiteral("scene-detection"));
    window->showSceneRanges(dialog.GetDetectRange());
}

void shootProperties(Shooter& shooter, VkDemoWindow* window)
{
    const QList<QPair<QString, QString>> files{
        {VkDemoSamples::clipPath(), QStringLiteral("media-properties-video")},
        {VkDemoSamples::pngPath(), QStringLiteral("media-properties-png")},
        {VkDemoSamples::jpegPath(), QStringLiteral("media-properties-photo")},
        {VkDemoSamples::stockPhotoPath(), QStringLiteral("media-properties-stock")},
    };
    for (const auto& file : files) {
        QString error;
        IVkAbstractMediaItem* item = window->mediaItem(file.first, &error);
        if (!item) {
            shooter.fail(QStringLiteral("no %1 picture: %2").arg(file.second, error));
            continue;
        }
        VkMediaPropertyDialog dialog(item, window);
        shooter.shoot(&dialog, file.second);
    }
}

} // namespace

QStringList VkDemoScreenshots::saveAll(VkDemoWindow* window, const QString& dir, QStringList* errors)
{
    QStringList written;
    QStringList failures;
    Shooter shooter(dir, &written, &failures);
    shootStartup(shooter);
    {
        VkProjectSettingDialog projectSettings(window);
        shooter.shoot(&projectSettings, QStringLiteral("project-settings"));
    }
    shootSceneDetection(shooter, window);
    shootProperties(shooter, window);
    {
        VkUnsupportedImgFileDialog unsupported(window->imageFiles(), window);
        shooter.shoot(&unsupported, QStringLiteral("unsupported-image"));
    }
    shooter.shoot(window, QStringLiteral("demo-window"));
    if (errors)
        *errors << failures;
    return written;
}
