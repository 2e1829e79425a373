// Time from construction to first complete paint of every dialog, with the stores a real user has:
// fifteen recent projects with pictures, a 1080p H.264 clip with sound and a 24-megapixel photo.
//
//   vkpopup_firstpaint_bench [WORKDIR]
//
// The media are made once in WORKDIR (default /tmp/vkpopup-firstpaint) with the ffmpeg program; the
// stores (VK_HOME) are made fresh in a temporary folder on every run. Each dialog is opened once to
// warm up (for the startup window: until every project picture has its cached copy), then 20 times
// timed; the median and the maximum are printed with the share of the time spent in the constructor,
// and the median CPU time of the GUI thread over the same span (which a busy machine inflates far
// less than the wall-clock time). Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>
#include <vkvblmodel/VkProjectThumbnailLoader.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <time.h>

namespace {

constexpr int kTimedOpens = 20;
constexpr int kProjects = 15;
constexpr qint64 kFfmpegTimeoutMs = 300000;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

// The words of a fixed command line, split at spaces.
QStringList words(const char* text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool ffmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), words("-hide_banner -loglevel error -y") + arguments);
    if (!process.waitForFinished(kFfmpegTimeoutMs) || process.exitCode() != 0) {
        QTextStream(stderr) << "ffmpeg failed: " << process.readAllStandardError() << '\n';
        return false;
    }
    return true;
}

// The media, made once: a 10 s 1080p H.264 clip with AAC sound, a 6000 x 4000 photo, and fifteen
// 1920 x 1080 project pictures with film grain (noise keeps PNG as costly to inflate as a real frame).
bool prepareMedia(const QDir& work)
{
    if (!work.exists(QStringLiteral("clip-1080p.mp4")) &&
        !ffmpeg(words("-f lavfi -i testsrc2=s=1920x1080:r=25:d=10 -f lavfi -i "
                      "sine=frequency=440:sample_rate=48000:duration=10 -c:v libx264 -preset veryfast "
                      "-pix_fmt yuv420p -c:a aac -shortest")
                << work.filePath(QStringLiteral("clip-1080p.mp4"))))
        return false;
    if (!work.exists(QStringLiteral("photo-24mp.jpg")) &&
        !ffmpeg(words("-f lavfi -i testsrc2=s=6000x4000 -frames:v 1 -q:v 3")
                << work.filePath(QStringLiteral("photo-24mp.jpg"))))
        return false;
    if (!work.exists(QStringLiteral("picture-15.png")) &&
        !ffmpeg(words("-f lavfi -i testsrc2=s=1920x1080:r=25 -vf noise=alls=12:allf=t -start_number 1")
                << QStringLiteral("-frames:v") << QString::number(kProjects)
                << work.filePath(QStringLiteral("picture-%02d.png"))))
        return false;
    return true;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Fifteen projects listed in recent.json: odd ones with a .kqthumb beside them, even ones keeping
// their picture inside the project file. Returns the first project's path.
QString prepareProjects(const QDir& work, const QDir& home)
{
    const QDir projects(home.filePath(QStringLiteral("Projects")));
    QDir().mkpath(projects.path());
    QJsonArray recent;
    QString first;
    for (int i = 1; i <= kProjects; ++i) {
        const QString base = QStringLiteral("project-%1").arg(i, 2, 10, QLatin1Char('0'));
        const QString path =
            projects.filePath(base + QLatin1Char('.') + VkProjectSuffixHelper::projectFileSuffix());
        const QByteArray picture =
            readAll(work.filePath(QStringLiteral("picture-%1.png").arg(i, 2, 10, QLatin1Char('0'))));
        if (picture.isEmpty())
            return QString();
        QJsonObject project{{QStringLiteral("format"), QStringLiteral("vkproject")},
                            {QStringLiteral("version"), 1},
                            {QStringLiteral("config"), QJsonObject{{QStringLiteral("aspectRatio"), 1},
                                                                   {QStringLiteral("frameRate"), 2},
                                                                   {QStringLiteral("width"), 1920},
                                                                   {QStringLiteral("height"), 1080},
                                                                   {QStringLiteral("colorSpace"), 0}}}};
        if (i % 2 == 0)
            project.insert(QStringLiteral("thumbnail"), QString::fromLatin1(picture.toBase64()));
        else if (!writeAll(projects.filePath(base + QStringLiteral(".kqthumb")), picture))
            return QString();
        if (!writeAll(path, QJsonDocument(project).toJson()))
            return QString();
        const double time = 1700000000.0 + i * 3600;
        recent.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("Holiday film %1").arg(i)},
                                  {QStringLiteral("path"), path},
                                  {QStringLiteral("createTime"), time},
                                  {QStringLiteral("modifyTime"), time}});
        if (first.isEmpty())
            first = path;
    }
    return writeAll(home.filePath(QStringLiteral("recent.json")), QJsonDocument(recent).toJson()) ? first
                                                                                                  : QString();
}

// Notes the first paint of a window (the window itself paints first, its children follow within the
// same backing-store flush, which has ended when the event loop returns).
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget* window) { window->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

struct Sample
{
    double constructMs = 0;
    double totalMs = 0;
    double cpuMs = 0;
};

double threadCpuMs()
{
    timespec ts = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

Sample openOnce(const std::function<QWidget*()>& make)
{
    const double cpuStart = threadCpuMs();
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<QWidget> window(make());
    Sample sample;
    sample.constructMs = timer.nsecsElapsed() / 1e6;
    PaintWatch watch(window.get());
    window->show();
    while (!watch.painted)
        QCoreApplication::processEvents();
    sample.totalMs = timer.nsecsElapsed() / 1e6;
    sample.cpuMs = threadCpuMs() - cpuStart;
    window->hide();
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return sample;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void report(const QString& name, const std::vector<Sample>& samples)
{
    std::vector<double> totals;
    std::vector<double> cpu;
    double construct = 0;
    double total = 0;
    for (const Sample& s : samples) {
        totals.push_back(s.totalMs);
        cpu.push_back(s.cpuMs);
        construct += s.constructMs;
        total += s.totalMs;
    }
    out() << QStringLiteral("%1 %2 %3 %4 % %5\n")
                 .arg(name, -36)
                 .arg(median(totals), 9, 'f', 1)
                 .arg(*std::max_element(totals.begin(), totals.end()), 9, 'f', 1)
                 .arg(total > 0 ? 100.0 * construct / total : 0.0, 12, 'f', 0)
                 .arg(median(cpu), 9, 'f', 1);
    out().flush();
}

void bench(const QString& name, const std::function<QWidget*()>& make)
{
    openOnce(make);
    std::vector<Sample> samples;
    for (int i = 0; i < kTimedOpens; ++i)
        samples.push_back(openOnce(make));
    report(name, samples);
}

// Decodes every project picture that has no cached copy, as the first startup window would in the
// background, and says how long it took.
double warmProjectPictures()
{
    QElapsedTimer timer;
    timer.start();
    VkProjectLibrary library;
    QList<ProjectLibraryRecord> records;
    library.recentProjects(records, kProjects);
    while (library.thumbnailLoader()->pendingCount() > 0) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

// The offscreen platform says, for every window shown, that it cannot propagate size hints.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("propagateSizeHints")))
        QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietPlatform);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("VK_HOME", home.path().toLocal8Bit());
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    VkSkinStyle::ApplyTheme();

    const QDir work(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vkpopup-firstpaint"));
    QDir().mkpath(work.path());
    if (!prepareMedia(work))
        return 1;
    const QString project = prepareProjects(work, QDir(home.path()));
    QString error;
    if (project.isEmpty() || !IVkProjectManager::getInstance()->openProject(project, &error)) {
        QTextStream(stderr) << "cannot prepare the projects: " << error << '\n';
        return 1;
    }
    const std::unique_ptr<IVkAbstractMediaItem> clip =
        VkMediaItemFactory::create(work.filePath(QStringLiteral("clip-1080p.mp4")), &error);
    const std::unique_ptr<IVkAbstractMediaItem> photo =
        VkMediaItemFactory::create(work.filePath(QStringLiteral("photo-24mp.jpg")), &error);
    if (!clip || !photo) {
        QTextStream(stderr) << "cannot open the media: " << error << '\n';
        return 1;
    }

    out() << "First complete paint, " << kTimedOpens << " opens after one warm-up, platform "
          << QGuiApplication::platformName() << ", " << QThread::idealThreadCount() << " threads\n";
    out() << QStringLiteral("%1 %2 %3 %4 %5\n")
                 .arg(QStringLiteral("dialog"), -36)
                 .arg(QStringLiteral("median ms"), 9)
                 .arg(QStringLiteral("max ms"), 9)
                 .arg(QStringLiteral("construction"), 14)
                 .arg(QStringLiteral("cpu ms"), 9);

    // The very first window, before any picture is cached: it must not wait for the pictures.
    const Sample cold = openOnce([] { return new VkStartupDlg(nullptr); });
    out() << QStringLiteral("%1 %2 (pictures decoded in the background)\n")
                 .arg(QStringLiteral("startup window, first ever open"), -36)
                 .arg(cold.totalMs, 9, 'f', 1);
    out() << QStringLiteral("%1 %2\n")
                 .arg(QStringLiteral("  decoding all 15 pictures"), -36)
                 .arg(warmProjectPictures(), 9, 'f', 1);

    bench(QStringLiteral("startup window, 15 projects"), [] { return new VkStartupDlg(nullptr); });
    bench(QStringLiteral("project settings"), [] { return new VkProjectSettingDialog(nullptr); });
    bench(QStringLiteral("scene detection, 1080p clip"),
          [&clip] { return new VkScenceDetectionDlg(clip.get(), nullptr); });
    bench(QStringLiteral("properties, 1080p clip"),
          [&clip] { return new VkMediaPropertyDialog(clip.get(), nullptr); });
    bench(QStringLiteral("properties, 24 MP photo"),
          [&photo] { return new VkMediaPropertyDialog(photo.get(), nullptr); });
    const QStringList images{work.filePath(QStringLiteral("photo-24mp.jpg"))};
    bench(QStringLiteral("unsupported image, 24 MP photo"),
          [&images] { return new VkUnsupportedImgFileDialog(images, nullptr); });
    return 0;
}
