#include "ProjectConfigFixture.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingPresenter.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>

#include <QJsonArray>

namespace {

// Records the presenter's signals in arrival order.
class SignalLog : public QObject
{
public:
    explicit SignalLog(VkProjectSettingPresenter* p)
    {
        connect(p, &VkProjectSettingPresenter::signalRatioChanged, this, [this] { names << "ratio"; });
        connect(p, &VkProjectSettingPresenter::signalResolutionChanged, this,
                [this] { names << "resolution"; });
        connect(p, &VkProjectSettingPresenter::signalFramerateChanged, this,
                [this] { names << "framerate"; });
    }
    QStringList names;
};

// The presenter's state in one line, so that a table row states all of it and a failure shows all of
// it; "lock" is the height kept for a width of 1000.
QString state(const VkProjectSettingPresenter& p, const SignalLog& log)
{
    return QStringLiteral("ratio %1, %2x%3, rate %4, lock %5, rows %6, signals %7")
        .arg(p.GetRatio())
        .arg(p.GetResolution().width())
        .arg(p.GetResolution().height())
        .arg(p.GetFramerate())
        .arg(p.GetLockHeight(1000))
        .arg(p.GetResolutionList().size())
        .arg(log.names.join(QLatin1Char(',')));
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
    void loadsStoredProject();
    void setRatio();
    void setResolution();
    void framerateRange();
    void lockArithmetic();
    void ratioAndEvenArithmetic();
    void saveWritesWholeRecordAndKeepsUnknownFields();
};

void TestProjectSettingPresenter::loadsStoredProject()
{
    // Stored ratio, rate, size and colour; the state read, and the default resolution row.
    const QList<std::tuple<int, int, QSize, int, QString, int>> cases{
        // A stored preset becomes the lock size: 720 * 1000 / 1280 = 562, truncated.
        {1, 3, {1280, 720}, 0, "ratio 1, 1280x720, rate 3, lock 562, rows 5, signals ", 1},
        {2, 2, {600, 600}, 2, "ratio 2, 600x600, rate 2, lock 1000, rows 4, signals ", 2},
        // Custom has no preset: the lock size stays 1920 x 1080.
        {0, 7, {1000, 700}, 1, "ratio 0, 1000x700, rate 7, lock 562, rows 1, signals ", 0},
        // Out-of-range ratio and rate keep the initial ones; the colour space is taken as stored.
        {9, 8, {1920, 1080}, 5, "ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals ", 1},
        // A size that is no preset of any ratio turns a stored 4:3 into custom.
        {4, 0, {1000, 750}, 0, "ratio 0, 1000x750, rate 0, lock 750, rows 1, signals ", 0}};
    for (const auto& [ratio, rate, size, color, expected, defaultRow] : cases) {
        storeConfig(ratio, rate, size, color);
        VkProjectSettingPresenter p;
        SignalLog log(&p);
        QCOMPARE(state(p, log), expected);
        QCOMPARE(p.GetColorSpace(), color);
        QCOMPARE(p.GetDefaultResolutionIndex(), defaultRow);
        QVERIFY(!p.GetIsLockRatio());
    }
}

void TestProjectSettingPresenter::setRatio()
{
    const QList<QPair<int, QString>> cases{
        {2, "ratio 2, 1080x1080, rate 2, lock 1000, rows 4, signals ratio,resolution"},
        {4, "ratio 4, 640x480, rate 2, lock 750, rows 5, signals ratio,resolution"},
        // The custom group's only row is 0 x 0: the size stays, but the resolution signal still comes.
        {0, "ratio 0, 1920x1080, rate 2, lock 562, rows 1, signals ratio,resolution"},
        // The same ratio, and ratios out of range, change nothing.
        {1, "ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals "},
        {8, "ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals "},
        {-1, "ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals "}};
    for (const auto& [type, expected] : cases) {
        VkProjectSettingPresenter p;
        SignalLog log(&p);
        p.SetRatio(type);
        QCOMPARE(state(p, log), expected);
    }
}

void TestProjectSettingPresenter::setResolution()
{
    const QList<std::tuple<int, QSize, QString>> cases{
        // Another ratio's preset keeps the current ratio and becomes the lock size.
        {1, {1080, 1080}, "ratio 1, 1080x1080, rate 2, lock 1000, rows 5, signals resolution"},
        // No preset: custom, ratio signal first; the lock size stays. Already custom: still both.
        {1, {1000, 700}, "ratio 0, 1000x700, rate 2, lock 562, rows 1, signals ratio,resolution"},
        {0, {1002, 564}, "ratio 0, 1002x564, rate 2, lock 562, rows 1, signals ratio,resolution"},
        {1, {1920, 1080}, "ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals "},
        {1, {0, 0}, "ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals "},
        {1, {-5, -1}, "ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals "},
        // One non-positive side is stored and reported, but never becomes the lock size, nor custom.
        {1, {1280, 0}, "ratio 1, 1280x0, rate 2, lock 562, rows 5, signals resolution"}};
    for (const auto& [startRatio, size, expected] : cases) {
        VkProjectSettingPresenter p;
        p.SetRatio(startRatio);
        SignalLog log(&p);
        p.SetResolution(size);
        QCOMPARE(state(p, log), expected);
    }
}

void TestProjectSettingPresenter::framerateRange()
{
    VkProjectSettingPresenter p;
    SignalLog log(&p);
    for (int rate : {8, -1, 2}) // out of range, and the current value
        p.SetFramerate(rate);
    QCOMPARE(state(p, log), QStringLiteral("ratio 1, 1920x1080, rate 2, lock 562, rows 5, signals "));
    p.SetFramerate(7);
    QCOMPARE(state(p, log),
             QStringLiteral("ratio 1, 1920x1080, rate 7, lock 562, rows 5, signals framerate"));
}

void TestProjectSettingPresenter::lockArithmetic()
{
    // height = lockH * side / lockW, width = lockW * side / lockH, each truncated toward zero:
    // -1001 gives -563 where flooring would give -564. A zero side keeps no proportion.
    const QList<std::tuple<QSize, int, int, int>> cases{
        {{1920, 1080}, 1000, 562, 1777},    {{1920, 1080}, 1001, 563, 1779}, {{1920, 1080}, 1080, 607, 1920},
        {{1920, 1080}, -1001, -563, -1779}, {{1080, 1920}, 1000, 1777, 562}, {{0, 0}, 1000, 0, 0}};
    for (const auto& [lock, side, height, width] : cases) {
        VkProjectSettingPresenter p;
        p.SetLockResolution(lock);
        QCOMPARE(p.GetLockHeight(side), height);
        QCOMPARE(p.GetLockWith(side), width);
    }
}

void TestProjectSettingPresenter::ratioAndEvenArithmetic()
{
    // Fixed ratios ignore the size; custom reduces by the gcd (0 taken as 1); unknown types give -1:-1.
    const QList<std::tuple<int, QSize, QSize>> pairs{
        {1, {1000, 1000}, {16, 9}},      {7, {0, 0}, {4, 5}}, {0, {1000, 1080}, {25, 27}},
        {0, {1920, 1081}, {1920, 1081}}, {0, {0, 0}, {0, 0}}, {9, {1920, 1080}, {-1, -1}},
        {-1, {1920, 1080}, {-1, -1}}};
    for (const auto& [type, size, pair] : pairs)
        QCOMPARE(VkProjectSettingPresenter::ratioSizeOf(type, size.width(), size.height()), pair);
    // Odd goes up, also below zero; even stays.
    const QList<QPair<int, int>> evens{{563, 564}, {1002, 1002}, {0, 0}, {-3, -2}};
    for (const auto& [n, even] : evens)
        QCOMPARE(VkProjectSettingPresenter::roundUpToEven(n), even);
}

void TestProjectSettingPresenter::saveWritesWholeRecordAndKeepsUnknownFields()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("trip." + VkProjectSuffixHelper::projectFileSuffix());
    // Every field of the record, none at its default, and one this version does not know.
    QJsonObject config{{"aspectRatio", 1},   {"frameRate", 2},      {"width", 1920},
                       {"height", 1080},     {"colorSpace", 0},     {"audioSampleRate", 44100},
                       {"audioChannels", 6}, {"videoBitDepth", 10}, {"futureKnob", "keep me"}};
    const QJsonArray tracks{QJsonObject{{"kind", "video"}}};
    QVERIFY(writeProjectFile(
        path, {{"format", "vkproject"}, {"version", 1}, {"config", config}, {"tracks", tracks}}));
    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));

    VkProjectSettingPresenter p;
    p.SetRatio(3);     // 1080 x 1920
    p.SetFramerate(3); // 29.97
    p.SetColorSpace(2);
    QCOMPARE(readProjectFile(path).value("config").toObject(), config); // nothing written before Save
    p.Save();

    const QJsonObject root = readProjectFile(path);
    config["aspectRatio"] = 3;
    config["width"] = 1080;
    config["height"] = 1920;
    config["frameRate"] = 3;
    config["colorSpace"] = 2;
    QCOMPARE(root.value("config").toObject(), config);
    QCOMPARE(root.value("tracks").toArray(), tracks);
    // The sequence follows the saved rate, 30000/1001.
    QCOMPARE(root.value("timeline").toObject().value("frameRateNum").toInt(), 30000);
    QCOMPARE(root.value("timeline").toObject().value("frameRateDen").toInt(), 1001);
}

VK_TEST_MAIN(TestProjectSettingPresenter)
#include "tst_projectsettingpresenter.moc"
