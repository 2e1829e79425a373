#include "ProjectConfigFixture.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingPresenter.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using VKVBLMODEL::VkProjectConfig;

namespace {

// Records the presenter's signals in the order they arrive, as one string ("ratio,resolution").
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
    QString order() const { return names.join(QLatin1Char(',')); }
    QStringList names;
};

QJsonObject readJson(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

} // namespace

class TestProjectSettingPresenter : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void loadsStoredProject_data();
    void loadsStoredProject();
    void setRatio_data();
    void setRatio();
    void setResolution_data();
    void setResolution();
    void outOfRangeValuesAreIgnored();
    void lockArithmetic_data();
    void lockArithmetic();
    void ratioSizeOf_data();
    void ratioSizeOf();
    void roundUpToEven_data();
    void roundUpToEven();
    void catalogues();
    void saveWritesWholeRecordAndKeepsUnknownFields();
    void saveWritesEvenWhenNothingChanged();
};

void TestProjectSettingPresenter::init()
{
    // Every test starts from a fresh, unsaved project at the model's defaults.
    IVkProjectManager::getInstance()->newProject();
    storeConfig(1, 2, QSize(1920, 1080), 0);
}

void TestProjectSettingPresenter::loadsStoredProject_data()
{
    QTest::addColumn<int>("storedRatio");
    QTest::addColumn<int>("storedRate");
    QTest::addColumn<QSize>("storedSize");
    QTest::addColumn<int>("storedColor");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("defaultIndex");
    QTest::addColumn<int>("lockHeightOf1000");

    // 1280 x 720 is a 16:9 preset: it becomes the lock size, so 1000 wide keeps 720 * 1000 / 1280 = 562.
    QTest::newRow("16:9 at 720p") << 1 << 3 << QSize(1280, 720) << 0 << 1 << QSize(1280, 720) << 3 << 0 << 1
                                  << 562;
    // 1:1 picks 1080 x 1080 first, then the stored 600 x 600 preset becomes the lock size: 600 * 1000 / 600.
    QTest::newRow("1:1 at 600") << 2 << 2 << QSize(600, 600) << 2 << 2 << QSize(600, 600) << 2 << 2 << 2
                                << 1000;
    // Custom leaves 1920 x 1080 as the lock size (the custom group has no preset); 1000 x 700 matches no
    // preset, so the ratio stays custom: 1080 * 1000 / 1920 = 562.5, truncated.
    QTest::newRow("custom 1000x700") << 0 << 7 << QSize(1000, 700) << 1 << 0 << QSize(1000, 700) << 7 << 1
                                     << 0 << 562;
    // A stored ratio of 9 is out of range: the initial 16:9 stays; a stored frame rate of 8 too; the colour
    // space is taken as stored, whatever it is.
    QTest::newRow("out of range") << 9 << 8 << QSize(1920, 1080) << 5 << 1 << QSize(1920, 1080) << 2 << 5 << 1
                                  << 562;
    // A size that matches no preset of any ratio turns the ratio to custom even though 4:3 was stored.
    QTest::newRow("4:3 with odd size")
        << 4 << 0 << QSize(1000, 750) << 0 << 0 << QSize(1000, 750) << 0 << 0 << 0 << 750;
}

void TestProjectSettingPresenter::loadsStoredProject()
{
    QFETCH(int, storedRatio);
    QFETCH(int, storedRate);
    QFETCH(QSize, storedSize);
    QFETCH(int, storedColor);
    storeConfig(storedRatio, storedRate, storedSize, storedColor);

    VkProjectSettingPresenter p;
    QTEST(p.GetRatio(), "ratio");
    QTEST(p.GetResolution(), "size");
    QTEST(p.GetFramerate(), "rate");
    QTEST(p.GetColorSpace(), "color");
    QTEST(p.GetDefaultResolutionIndex(), "defaultIndex");
    QTEST(p.GetLockHeight(1000), "lockHeightOf1000");
    QVERIFY(!p.GetIsLockRatio());
}

void TestProjectSettingPresenter::setRatio_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("lockSize");
    QTest::addColumn<QString>("signals");
    QTest::addColumn<int>("rows");

    QTest::newRow("1:1 takes its default")
        << 2 << 2 << QSize(1080, 1080) << QSize(1080, 1080) << "ratio,resolution" << 4;
    QTest::newRow("9:16 takes its default")
        << 3 << 3 << QSize(1080, 1920) << QSize(1080, 1920) << "ratio,resolution" << 4;
    QTest::newRow("4:3 takes row 0") << 4 << 4 << QSize(640, 480) << QSize(640, 480) << "ratio,resolution"
                                     << 5;
    // The custom group's only row is 0 x 0: the size stays, but the resolution signal still comes.
    QTest::newRow("custom keeps the size")
        << 0 << 0 << QSize(1920, 1080) << QSize(1920, 1080) << "ratio,resolution" << 1;
    QTest::newRow("same ratio does nothing") << 1 << 1 << QSize(1920, 1080) << QSize(1920, 1080) << "" << 5;
    QTest::newRow("8 is out of range") << 8 << 1 << QSize(1920, 1080) << QSize(1920, 1080) << "" << 5;
    QTest::newRow("negative is out of range") << -1 << 1 << QSize(1920, 1080) << QSize(1920, 1080) << "" << 5;
}

void TestProjectSettingPresenter::setRatio()
{
    QFETCH(int, type);
    VkProjectSettingPresenter p;
    SignalLog log(&p);
    p.SetRatio(type);
    QTEST(p.GetRatio(), "ratio");
    QTEST(p.GetResolution(), "size");
    QTEST(log.order(), "signals");
    QTEST(int(p.GetResolutionList().size()), "rows");
    QFETCH(QSize, lockSize);
    // The lock size shows through the lock arithmetic: width w keeps height lockH * w / lockW.
    QCOMPARE(p.GetLockHeight(lockSize.width()), lockSize.height());
}

void TestProjectSettingPresenter::setResolution_data()
{
    QTest::addColumn<int>("startRatio");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QSize>("result");
    QTest::addColumn<int>("lockHeightOf1000");
    QTest::addColumn<QString>("signals");

    // A preset of another ratio's group keeps the current ratio; it becomes the lock size (1080 * 1000 /
    // 1080).
    QTest::newRow("preset of 1:1 under 16:9")
        << 1 << QSize(1080, 1080) << 1 << QSize(1080, 1080) << 1000 << "resolution";
    // No preset: the ratio turns custom, ratio signal first; the lock size stays 1920 x 1080 (1000 -> 562).
    QTest::newRow("no preset") << 1 << QSize(1000, 700) << 0 << QSize(1000, 700) << 562 << "ratio,resolution";
    // Already custom: the ratio signal is still sent, the ratio is set without an equality test.
    QTest::newRow("no preset while custom")
        << 0 << QSize(1002, 564) << 0 << QSize(1002, 564) << 562 << "ratio,resolution";
    QTest::newRow("same size") << 1 << QSize(1920, 1080) << 1 << QSize(1920, 1080) << 562 << "";
    QTest::newRow("0 x 0") << 1 << QSize(0, 0) << 1 << QSize(1920, 1080) << 562 << "";
    QTest::newRow("both negative") << 1 << QSize(-5, -1) << 1 << QSize(1920, 1080) << 562 << "";
    // One non-positive side is stored and reported, but never becomes the lock size, nor custom.
    QTest::newRow("zero height") << 1 << QSize(1280, 0) << 1 << QSize(1280, 0) << 562 << "resolution";
}

void TestProjectSettingPresenter::setResolution()
{
    QFETCH(int, startRatio);
    QFETCH(QSize, size);
    VkProjectSettingPresenter p;
    p.SetRatio(startRatio);
    SignalLog log(&p);
    p.SetResolution(size);
    QTEST(p.GetRatio(), "ratio");
    QTEST(p.GetResolution(), "result");
    QTEST(p.GetLockHeight(1000), "lockHeightOf1000");
    QTEST(log.order(), "signals");
}

void TestProjectSettingPresenter::outOfRangeValuesAreIgnored()
{
    VkProjectSettingPresenter p;
    SignalLog log(&p);
    p.SetFramerate(8);
    p.SetFramerate(-1);
    p.SetFramerate(2); // the current value: no signal either
    QCOMPARE(p.GetFramerate(), 2);
    QCOMPARE(log.order(), QString());

    p.SetFramerate(7);
    QCOMPARE(p.GetFramerate(), 7);
    QCOMPARE(log.order(), QStringLiteral("framerate"));

    // The colour space and the lock flag are stored as given, silently.
    p.SetColorSpace(42);
    p.SetIsLockRatio(true);
    QCOMPARE(p.GetColorSpace(), 42);
    QVERIFY(p.GetIsLockRatio());
    QCOMPARE(log.order(), QStringLiteral("framerate"));
}

void TestProjectSettingPresenter::lockArithmetic_data()
{
    QTest::addColumn<QSize>("lock");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("width");

    // height = lockH * side / lockW, width = lockW * side / lockH, each truncated toward zero.
    QTest::newRow("1000 at 16:9") << QSize(1920, 1080) << 1000 << 562 << 1777;
    QTest::newRow("1001 at 16:9") << QSize(1920, 1080) << 1001 << 563 << 1779;
    QTest::newRow("exact") << QSize(1920, 1080) << 1080 << 607 << 1920;
    // -1001 * 1080 / 1920 = -563.06: truncation gives -563 where flooring would give -564.
    QTest::newRow("negative truncates toward zero") << QSize(1920, 1080) << -1001 << -563 << -1779;
    QTest::newRow("portrait") << QSize(1080, 1920) << 1000 << 1777 << 562;
    // No proportion to keep with a zero side.
    QTest::newRow("zero lock side") << QSize(0, 0) << 1000 << 0 << 0;
}

void TestProjectSettingPresenter::lockArithmetic()
{
    QFETCH(QSize, lock);
    QFETCH(int, side);
    VkProjectSettingPresenter p;
    p.SetLockResolution(lock);
    QTEST(p.GetLockHeight(side), "height");
    QTEST(p.GetLockWith(side), "width");
}

void TestProjectSettingPresenter::ratioSizeOf_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("pair");

    QTest::newRow("16:9 fixed whatever the size") << 1 << QSize(1000, 1000) << QSize(16, 9);
    QTest::newRow("21:9 fixed") << 6 << QSize(2560, 1080) << QSize(21, 9);
    QTest::newRow("4:5 fixed") << 7 << QSize(0, 0) << QSize(4, 5);
    // gcd(1000, 750) = 250.
    QTest::newRow("custom reduces") << 0 << QSize(1000, 750) << QSize(4, 3);
    // gcd(1920, 1081) = 1.
    QTest::newRow("custom coprime") << 0 << QSize(1920, 1081) << QSize(1920, 1081);
    // gcd(1000, 1080) = 40.
    QTest::newRow("custom 1000x1080") << 0 << QSize(1000, 1080) << QSize(25, 27);
    // gcd(0, 0) comes out 0 and is taken as 1.
    QTest::newRow("custom zero") << 0 << QSize(0, 0) << QSize(0, 0);
    QTest::newRow("unknown type") << 9 << QSize(1920, 1080) << QSize(-1, -1);
    QTest::newRow("negative type") << -1 << QSize(1920, 1080) << QSize(-1, -1);
}

void TestProjectSettingPresenter::ratioSizeOf()
{
    QFETCH(int, type);
    QFETCH(QSize, size);
    QTEST(VkProjectSettingPresenter::ratioSizeOf(type, size.width(), size.height()), "pair");
}

void TestProjectSettingPresenter::roundUpToEven_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("even");
    QTest::newRow("odd goes up") << 563 << 564;
    QTest::newRow("even stays") << 1002 << 1002;
    QTest::newRow("zero") << 0 << 0;
    // -3 & 1 is 1 in two's complement, so -3 goes up to -2.
    QTest::newRow("negative odd") << -3 << -2;
}

void TestProjectSettingPresenter::roundUpToEven()
{
    QFETCH(int, n);
    QTEST(VkProjectSettingPresenter::roundUpToEven(n), "even");
}

void TestProjectSettingPresenter::catalogues()
{
    VkProjectSettingPresenter p;
    const auto ratios = p.GetRatioList();
    QCOMPARE(int(ratios.size()), 8);
    QList<int> order;
    for (const auto& r : ratios)
        order << std::get<0>(r);
    QCOMPARE(order, (QList<int>{1, 2, 3, 4, 5, 6, 7, 0}));
    QCOMPARE(std::get<1>(ratios.front()), QStringLiteral("16:9 (Widescreen)"));
    QCOMPARE(std::get<1>(ratios.back()), QStringLiteral("Custom"));

    const auto rows = p.GetResolutionList();
    QCOMPARE(int(rows.size()), 5);
    QCOMPARE(std::get<2>(rows.at(3)), QStringLiteral("4096 x 2160 (DCI 4k)"));
    QCOMPARE(std::get<0>(rows.back()), 0);
    QCOMPARE(std::get<2>(rows.back()), QStringLiteral("Custom"));

    // HLG (2) before PQ (1).
    const auto colors = p.GetColorSpaceList();
    QCOMPARE(int(colors.size()), 3);
    QCOMPARE(std::get<0>(colors.at(1)), 2);
    QCOMPARE(std::get<0>(colors.at(2)), 1);

    QCOMPARE(int(p.GetFramerateList().size()), 8);
    QCOMPARE(p.getFramerateStr(VKVBLMODEL::VkProjectFrameRateType(3)), QStringLiteral("29.97 fps"));
    QCOMPARE(p.getFramerateStr(VKVBLMODEL::VkProjectFrameRateType(8)), QString());
    QCOMPARE(p.getColorSpaceStr(VKVBLMODEL::VkProjectColorSpaceType(1)), QStringLiteral("HDR - Rec.2100PQ"));
    QCOMPARE(p.getColorSpaceStr(VKVBLMODEL::VkProjectColorSpaceType(5)), QString());
    QCOMPARE(VkProjectSettingPresenter::getRatioStr(0), QString());
    QCOMPARE(VkProjectSettingPresenter::getRatioStr(3), QStringLiteral("9:16 (Portrait)"));

    // getData touches the four fields only.
    VkProjectConfig c = makeConfig(5, 5, QSize(1, 1), 2);
    c.audioSampleRate = 44100;
    p.getData(c);
    QCOMPARE(int(c.aspectRatio), 1);
    QCOMPARE(c.resolution, QSize(1920, 1080));
    QCOMPARE(int(c.frameRate), 2);
    QCOMPARE(int(c.colorSpace), 0);
    QCOMPARE(c.audioSampleRate, 44100);
}

void TestProjectSettingPresenter::saveWritesWholeRecordAndKeepsUnknownFields()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("trip." + VkProjectSuffixHelper::projectFileSuffix());
    {
        QJsonObject config{{"aspectRatio", 1},       {"frameRate", 2},  {"width", 1920},
                           {"height", 1080},         {"colorSpace", 0}, {"audioSampleRate", 44100},
                           {"futureKnob", "keep me"}};
        QJsonObject root{{"format", "vkproject"},
                         {"version", 1},
                         {"config", config},
                         {"tracks", QJsonArray{QJsonObject{{"kind", "video"}}}}};
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument(root).toJson());
    }
    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));

    VkProjectSettingPresenter p;
    p.SetRatio(3);     // 1080 x 1920
    p.SetFramerate(3); // 29.97
    p.SetColorSpace(2);
    // Nothing reaches the file before Save.
    QCOMPARE(readJson(path).value("config").toObject().value("aspectRatio").toInt(), 1);
    p.Save();

    const QJsonObject root = readJson(path);
    const QJsonObject config = root.value("config").toObject();
    QCOMPARE(config.value("aspectRatio").toInt(), 3);
    QCOMPARE(config.value("width").toInt(), 1080);
    QCOMPARE(config.value("height").toInt(), 1920);
    QCOMPARE(config.value("frameRate").toInt(), 3);
    QCOMPARE(config.value("colorSpace").toInt(), 2);
    QCOMPARE(config.value("audioSampleRate").toInt(), 44100);
    QCOMPARE(config.value("futureKnob").toString(), QStringLiteral("keep me"));
    QCOMPARE(root.value("tracks").toArray().size(), 1);

    // The follow-up step hands the saved rate, 30000/1001, to the project's sequence.
    const QJsonObject timeline = root.value("timeline").toObject();
    QCOMPARE(timeline.value("frameRateNum").toInt(), 30000);
    QCOMPARE(timeline.value("frameRateDen").toInt(), 1001);
}

void TestProjectSettingPresenter::saveWritesEvenWhenNothingChanged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plain." + VkProjectSuffixHelper::projectFileSuffix());
    {
        // A minimal file without a sequence: after Save the sequence carries the project's 25 fps.
        QJsonObject root{{"format", "vkproject"},
                         {"version", 1},
                         {"config", QJsonObject{{"aspectRatio", 1},
                                                {"frameRate", 2},
                                                {"width", 1920},
                                                {"height", 1080},
                                                {"colorSpace", 0}}}};
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument(root).toJson());
    }
    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
    QVERIFY(!readJson(path).contains("timeline"));

    VkProjectSettingPresenter p;
    p.Save();
    const QJsonObject timeline = readJson(path).value("timeline").toObject();
    QCOMPARE(timeline.value("frameRateNum").toInt(), 25);
    QCOMPARE(timeline.value("frameRateDen").toInt(), 1);
}

VK_TEST_MAIN(TestProjectSettingPresenter)
#include "tst_projectsettingpresenter.moc"
