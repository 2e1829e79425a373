// Scene detection window under a flood of scenes: the real detector over a clip with thousands of
// cuts, with the window showing each scene as it is found. Prints, per clip, the command-line tool's
// time over the same clip, the window's time from the start of the detection until its last row is
// laid out, their ratio, and the longest stretch the GUI thread spent without coming back to its
// event loop (measured by a 10 ms heartbeat timer: a stretch is the gap between two beats), also in
// the GUI thread's own CPU time, which tells the window's work from a machine busy with other work.
//
//   vkscene_dialog_bench VKSCENEDETECT CLIP...    ("-" for VKSCENEDETECT: the window alone)
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; VK_HOME is a fresh folder.

#include <scenedetect/VkScenceDetectionDlg.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkPushButton.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// Fine enough against the 100 ms limit; every beat wakes the GUI thread, so a finer one would add
// to the very time it measures.
constexpr int kHeartbeatMs = 10;
constexpr int kLongStretchMs = 100;
constexpr int kCommandTimeoutMs = 3600 * 1000;

struct DialogRun
{
    int scenes = 0;
    double seconds = 0.0;
    double longestStretchMs = 0.0;
    // When the longest stretch ended, in seconds from the start of the detection.
    double longestStretchAt = 0.0;
    int stretchesOverLimit = 0;
    // The same stretches counted in the GUI thread's own CPU time, which a machine shared with other
    // work does not stretch: what the window itself spent between two beats.
    double longestBusyMs = 0.0;
    int busyOverLimit = 0;
    double busySeconds = 0.0;
};

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double commandLineSeconds(const QString& tool, const QString& clip, int* scenes)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(tool, {QStringLiteral("--json"), clip});
    if (!process.waitForFinished(kCommandTimeoutMs) || process.exitCode() != 0)
        return -1.0;
    const double seconds = clock.nsecsElapsed() / 1e9;
    *scenes = int(process.readAllStandardOutput().count("], ["));
    *scenes += *scenes > 0 ? 1 : 0;
    return seconds;
}

VkPushButton* detectButton(QWidget* dialog)
{
    for (VkPushButton* b : dialog->findChildren<VkPushButton*>()) {
        if (b->text() != QLatin1String("Add To Timeline"))
            return b;
    }
    return nullptr;
}

bool runDialog(IVkAbstractMediaItem* item, DialogRun& run)
{
    VkScenceDetectionDlg dialog(item, nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    VkPushButton* detect = detectButton(&dialog);
    if (!detect)
        return false;

    QElapsedTimer clock;
    QElapsedTimer sinceBeat;
    QEventLoop loop;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(kHeartbeatMs);
    bool ended = false;
    double cpuAtBeat = 0.0;
    const double cpuAtStart = threadCpuMs();
    QObject::connect(&heartbeat, &QTimer::timeout, &loop, [&] {
        const double gap = sinceBeat.nsecsElapsed() / 1e6;
        sinceBeat.start();
        const double cpu = threadCpuMs();
        const double busy = cpu - cpuAtBeat;
        cpuAtBeat = cpu;
        run.longestBusyMs = std::max(run.longestBusyMs, busy);
        if (busy > kLongStretchMs)
            ++run.busyOverLimit;
        if (gap > run.longestStretchMs) {
            run.longestStretchMs = gap;
            run.longestStretchAt = clock.nsecsElapsed() / 1e9;
        }
        if (gap > kLongStretchMs)
            ++run.stretchesOverLimit;
        if (ended) {
            loop.quit();
            return;
        }
        // The end has been handled once the button offers a new detection; one more beat lets the
        // layout of the last rows run.
        if (detect->text() == QLatin1String("Detect"))
            ended = true;
    });
    clock.start();
    sinceBeat.start();
    cpuAtBeat = threadCpuMs();
    heartbeat.start();
    dialog.startDetect();
    loop.exec();
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.busySeconds = (threadCpuMs() - cpuAtStart) / 1e3;
    run.scenes = dialog.GetDetectRange().size();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("VK_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s VKSCENEDETECT CLIP...\n", argv[0]);
        return 1;
    }
    std::printf("%-16s %6s %8s %9s %6s %11s %7s %8s %9s %9s %9s\n", "clip", "scenes", "cli s", "window s",
                "ratio", "longest ms", "at s", ">100 ms", "busy ms", "busy>100", "GUI cpu s");
    for (int i = 2; i < args.size(); ++i) {
        const QString clip = args.at(i);
        int cliScenes = 0;
        // "-" in place of the tool times the window alone (for a profiler).
        const double cli =
            args.at(1) == QLatin1String("-") ? 1.0 : commandLineSeconds(args.at(1), clip, &cliScenes);
        QString error;
        std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(clip, &error);
        DialogRun run;
        if (cli < 0 || !item || !runDialog(item.get(), run)) {
            std::fprintf(stderr, "%s: cannot run (%s)\n", qPrintable(clip), qPrintable(error));
            return 1;
        }
        std::printf("%-16s %6d %8.2f %9.2f %6.2f %11.1f %7.2f %8d %9.1f %9d %9.2f\n",
                    qPrintable(clip.section(QLatin1Char('/'), -1)), run.scenes, cli, run.seconds,
                    run.seconds / cli, run.longestStretchMs, run.longestStretchAt, run.stretchesOverLimit,
                    run.longestBusyMs, run.busyOverLimit, run.busySeconds);
        if (cliScenes > 0 && run.scenes != cliScenes)
            std::printf("  (the command line found %d scenes)\n", cliScenes);
        std::fflush(stdout);
    }
    return 0;
}
