#include "ProjectConfigFixture.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingPresenter.h>

namespace {

QSize sizeOf(const QString& text)
{
    const QStringList sides = text.split(QLatin1Char('x'));
    return QSize(sides.value(0).toInt(), sides.value(1).toInt());
}

} // namespace

class TestProjectSettingPresenter : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        IVkProjectManager::getInstance()->newProject();
        storeConfig(1, 2, QSize(1920, 1080), 0);
    }

    void stateAfterCall_data()
    {
        // "call" is a setter and its argument, or "load" of the project's ratio, rate, size and colour
        // space. "state": R ratio, F frame rate, C colour space, L the height the lock keeps for a width of
        // 1000, N resolution rows, then the signals in arrival order.
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("state");
        const auto row = [](const char* name, const char* call, const char* state) {
            QTest::newRow(name) << call << state;
        };
        // A stored preset becomes the lock size: 720 * 1000 / 1280 = 562, truncated.
        row("load preset", "load 1 3 1280x720 0", "R1 1280x720 F3 C0 L562 N5 |");
        // Custom has no preset: the lock size stays 1920 x 1080.
        row("load custom", "load 0 7 1000x700 1", "R0 1000x700 F7 C1 L562 N1 |");
        // Out-of-range ratio and rate keep the initial ones; the colour space is taken as stored.
        row("load out of range", "load 9 8 1920x1080 5", "R1 1920x1080 F2 C5 L562 N5 |");
        // A size that is no preset of any ratio turns a stored 4:3 into custom.
        row("load 4:3 without preset", "load 4 0 1000x750 0", "R0 1000x750 F0 C0 L750 N1 |");
        // The custom group's only row is 0 x 0: the size stays, but the resolution signal still comes.
        row("ratio custom", "SetRatio 0", "R0 1920x1080 F2 C0 L562 N1 | ratio,resolution");
        row("same ratio", "SetRatio 1", "R1 1920x1080 F2 C0 L562 N5 |");
        // Another ratio's preset keeps the current ratio and becomes the lock size.
        row("size of another ratio", "SetResolution 1080x1080", "R1 1080x1080 F2 C0 L1000 N5 | resolution");
        // No preset: custom, ratio signal first; the lock size stays.
        row("size without preset", "SetResolution 1000x700", "R0 1000x700 F2 C0 L562 N1 | ratio,resolution");
        row("same size", "SetResolution 1920x1080", "R1 1920x1080 F2 C0 L562 N5 |");
        // One non-positive side is stored and reported, but never becomes the lock size, nor custom.
        row("zero height", "SetResolution 1280x0", "R1 1280x0 F2 C0 L562 N5 | resolution");
        row("rate 7", "SetFramerate 7", "R1 1920x1080 F7 C0 L562 N5 | framerate");
    }

    void stateAfterCall()
    {
        QFETCH(QString, call);
        const QStringList words = call.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("load"))
            storeConfig(words[1].toInt(), words[2].toInt(), sizeOf(words[3]), words[4].toInt());
        VkProjectSettingPresenter p;
        QStringList signalNames;
        const auto record = [&signalNames](const char* name) {
            return [&signalNames, name] { signalNames << QLatin1String(name); };
        };
        connect(&p, &VkProjectSettingPresenter::signalRatioChanged, this, record("ratio"));
        connect(&p, &VkProjectSettingPresenter::signalResolutionChanged, this, record("resolution"));
        connect(&p, &VkProjectSettingPresenter::signalFramerateChanged, this, record("framerate"));
        if (words[0] == QLatin1String("SetRatio"))
            p.SetRatio(words[1].toInt());
        else if (words[0] == QLatin1String("SetResolution"))
            p.SetResolution(sizeOf(words[1]));
        else if (words[0] == QLatin1String("SetFramerate"))
            p.SetFramerate(words[1].toInt());
        QVERIFY(!p.GetIsLockRatio());
        const QString state = QStringLiteral("R%1 %2x%3 F%4 C%5 L%6 N%7 | %8")
                                  .arg(p.GetRatio())
                                  .arg(p.GetResolution().width())
                                  .arg(p.GetResolution().height())
                                  .arg(p.GetFramerate())
                                  .arg(p.GetColorSpace())
                                  .arg(p.GetLockHeight(1000))
                                  .arg(p.GetResolutionList().size())
                                  .arg(signalNames.join(QLatin1Char(',')));
        QTEST(state.trimmed(), "state");
    }
};

VK_TEST_MAIN(TestProjectSettingPresenter)
#include "tst_projectsettingpresenter.moc"
