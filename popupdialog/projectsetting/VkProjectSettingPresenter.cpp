#include "VkProjectSettingPresenter.h"

#include <vkvblmodel/IVkPairTarget.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectCompanion.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkProjectConfig.h>

#include <QMap>

#include <cstdint>
#include <limits>

namespace {

constexpr int kLastRatioType = 7;
constexpr int kLastFrameRateType = 7;

// Values of the enums are checked as unsigned so that a negative value counts as out of range.
bool inEnumRange(int value, int last)
{
    return static_cast<unsigned>(value) <= static_cast<unsigned>(last);
}

IVkProject* currentProject()
{
    return IVkProjectManager::getInstance()->currentProject();
}

// a * b / c as 32-bit arithmetic gives it (the product wraps, the quotient truncates toward zero),
// without the undefined behaviour of an overflowing signed multiplication.
int scaleSide(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const auto product = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::int64_t>(a) * static_cast<std::int64_t>(b)));
    if (product == std::numeric_limits<std::int32_t>::min() && c == -1)
        return product;
    return product / c;
}

std::int32_t low32(qint64 value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

struct VkProjectSettingPresenter::Private
{
    QList<ResolutionGroup> groups;
    QList<QPair<int, QString>> frameRates;
    QList<QPair<int, QString>> colorSpaces;

    int ratio = VKVBLMODEL::AspectRatio16x9;
    QSize resolution{1920, 1080};
    int frameRate = VKVBLMODEL::FrameRate25;
    int colorSpace = VKVBLMODEL::ColorSpaceSDR;
    bool locked = false;
    QSize lockResolution{1920, 1080};

    void buildCatalogues();
    const ResolutionGroup* groupOf(int type) const;
};

void VkProjectSettingPresenter::Private::buildCatalogues()
{
    const QString custom = QObject::tr("Custom");
    const auto group = [&](int type, int defaultIndex, QList<ResolutionEntry> rows) {
        rows.append({0, 0, custom});
        groups.append({type, getRatioStr(type), defaultIndex, rows});
    };
    group(1, 1,
          {{1280, 720, QStringLiteral("1280 x 720 (HD)")},
           {1920, 1080, QStringLiteral("1920 x 1080 (Full HD)")},
           {3840, 2160, QStringLiteral("3840 x 2160 (4k UHD)")},
           {4096, 2160, QStringLiteral("4096 x 2160 (DCI 4k)")}});
    group(2, 2,
          {{512, 512, QStringLiteral("512 x 512")},
           {600, 600, QStringLiteral("600 x 600")},
           {1080, 1080, QStringLiteral("1080 x 1080")}});
    group(3, 1,
          {{720, 1280, QStringLiteral("720 x 1280")},
           {1080, 1920, QStringLiteral("1080 x 1920")},
           {2160, 3840, QStringLiteral("2160 x 3840")}});
    group(4, 0,
          {{640, 480, QStringLiteral("640 x 480 (VGA)")},
           {720, 480, QStringLiteral("720 x 480 (NTSC SD)")},
           {720, 576, QStringLiteral("720 x 576 (PAL SD)")},
           {1440, 1080, QStringLiteral("1440 x 1080 (HD)")}});
    group(5, 0,
          {{600, 800, QStringLiteral("600 x 800")},
           {750, 1000, QStringLiteral("750 x 1000")},
           {960, 1280, QStringLiteral("960 x 1280")},
           {1200, 1600, QStringLiteral("1200 x 1600")}});
    group(6, 1,
          {{1920, 800, QStringLiteral("1920 x 800")},
           {2560, 1080, QStringLiteral("2560 x 1080")},
           {3440, 1440, QStringLiteral("3440 x 1440")},
           {3840, 1600, QStringLiteral("3840 x 1600")}});
    group(7, 2,
          {{600, 750, QStringLiteral("600 x 750")},
           {768, 960, QStringLiteral("768 x 960")},
           {1024, 1280, QStringLiteral("1024 x 1280")},
           {2048, 2560, QStringLiteral("2048 x 2560")}});
    groups.append({VKVBLMODEL::AspectRatioCustom, custom, 0, {{0, 0, custom}}});

    frameRates = {{0, QStringLiteral("23.97 fps")}, {1, QStringLiteral("24 fps")},
                  {2, QStringLiteral("25 fps")},    {3, QStringLiteral("29.97 fps")},
                  {4, QStringLiteral("30 fps")},    {5, QStringLiteral("50 fps")},
                  {6, QStringLiteral("59.94 fps")}, {7, QStringLiteral("60 fps")}};

    // HLG is offered before PQ: it is the HDR choice that still looks right on SDR displays.
    colorSpaces = {{VKVBLMODEL::ColorSpaceSDR, QStringLiteral("SDR - Rec.709")},
                   {VKVBLMODEL::ColorSpaceHLG, QStringLiteral("HDR - Rec.2100HLG")},
                   {VKVBLMODEL::ColorSpacePQ, QStringLiteral("HDR - Rec.2100PQ")}};
}

const ResolutionGroup* VkProjectSettingPresenter::Private::groupOf(int type) const
{
    for (const ResolutionGroup& g : groups) {
        if (g.type == type)
            return &g;
    }
    return nullptr;
}

VkProjectSettingPresenter::VkProjectSettingPresenter()
    : QObject(nullptr)
    , d(std::make_unique<Private>())
{
    d->buildCatalogues();

    VKVBLMODEL::VkProjectConfig config;
    currentProject()->getProjectConfig(config);
    SetRatio(config.aspectRatio);
    SetResolution(config.resolution);
    const int storedRate = config.frameRate;
    if (inEnumRange(storedRate, kLastFrameRateType) && storedRate != d->frameRate) {
        d->frameRate = storedRate;
        emit signalFramerateChanged();
    }
    d->colorSpace = config.colorSpace;
}

VkProjectSettingPresenter::~VkProjectSettingPresenter() = default;

std::vector<std::tuple<int, QString>> VkProjectSettingPresenter::GetRatioList() const
{
    std::vector<std::tuple<int, QString>> list;
    list.reserve(static_cast<size_t>(d->groups.size()));
    for (const ResolutionGroup& g : d->groups)
        list.emplace_back(g.type, g.name);
    return list;
}

std::vector<std::tuple<int, int, QString>> VkProjectSettingPresenter::GetResolutionList() const
{
    std::vector<std::tuple<int, int, QString>> list;
    if (const ResolutionGroup* g = d->groupOf(d->ratio)) {
        for (const ResolutionEntry& row : g->rows)
            list.emplace_back(row.width, row.height, row.name);
    }
    return list;
}

int VkProjectSettingPresenter::GetDefaultResolutionIndex() const
{
    const ResolutionGroup* g = d->groupOf(d->ratio);
    return g ? g->defaultIndex : 0;
}

std::vector<std::tuple<int, QString>> VkProjectSettingPresenter::GetFramerateList() const
{
    std::vector<std::tuple<int, QString>> list;
    for (const auto& row : d->frameRates)
        list.emplace_back(row.first, row.second);
    return list;
}

std::vector<std::tuple<int, QString>> VkProjectSettingPresenter::GetColorSpaceList() const
{
    std::vector<std::tuple<int, QString>> list;
    for (const auto& row : d->colorSpaces)
        list.emplace_back(row.first, row.second);
    return list;
}

int VkProjectSettingPresenter::GetRatio() const
{
    return d->ratio;
}

QSize VkProjectSettingPresenter::GetResolution() const
{
    return d->resolution;
}

int VkProjectSettingPresenter::GetFramerate() const
{
    return d->frameRate;
}

int VkProjectSettingPresenter::GetColorSpace() const
{
    return d->colorSpace;
}

bool VkProjectSettingPresenter::GetIsLockRatio() const
{
    return d->locked;
}

// A lock resolution with a zero side has no proportion to keep; both answer 0 then, which the
// panel's callers never reach because the lock only ever takes sizes with positive sides.
int VkProjectSettingPresenter::GetLockHeight(int width) const
{
    return scaleSide(d->lockResolution.height(), width, d->lockResolution.width());
}

int VkProjectSettingPresenter::GetLockWith(int height) const
{
    return scaleSide(d->lockResolution.width(), height, d->lockResolution.height());
}

void VkProjectSettingPresenter::SetRatio(int type)
{
    if (!inEnumRange(type, kLastRatioType) || type == d->ratio)
        return;
    d->ratio = type;
    emit signalRatioChanged();

    if (const ResolutionGroup* g = d->groupOf(type)) {
        if (g->defaultIndex >= 0 && g->defaultIndex < g->rows.size()) {
            const ResolutionEntry& row = g->rows.at(g->defaultIndex);
            if (row.width > 0 && row.height > 0) {
                d->resolution = QSize(row.width, row.height);
                d->lockResolution = d->resolution;
            }
        }
    }
    emit signalResolutionChanged();
}

void VkProjectSettingPresenter::SetResolution(QSize size)
{
    if (size.width() <= 0 && size.height() <= 0)
        return;
    if (size == d->resolution)
        return;
    d->resolution = size;
    if (size.width() <= 0 || size.height() <= 0) {
        emit signalResolutionChanged();
        return;
    }

    // A preset of any ratio keeps the current ratio: only a size that no preset has makes it custom.
    for (const ResolutionGroup& g : d->groups) {
        for (const ResolutionEntry& row : g.rows) {
            if (row.width == size.width() && row.height == size.height()) {
                d->lockResolution = size;
                emit signalResolutionChanged();
                return;
            }
        }
    }
    d->ratio = VKVBLMODEL::AspectRatioCustom;
    emit signalRatioChanged();
    emit signalResolutionChanged();
}

void VkProjectSettingPresenter::SetFramerate(int frameRate)
{
    if (!inEnumRange(frameRate, kLastFrameRateType) || frameRate == d->frameRate)
        return;
    d->frameRate = frameRate;
    emit signalFramerateChanged();
}

void VkProjectSettingPresenter::SetColorSpace(int colorSpace)
{
    d->colorSpace = colorSpace;
}

void VkProjectSettingPresenter::SetIsLockRatio(bool locked)
{
    d->locked = locked;
}

void VkProjectSettingPresenter::SetLockResolution(QSize size)
{
    d->lockResolution = size;
}

void VkProjectSettingPresenter::getData(VKVBLMODEL::VkProjectConfig& config) const
{
    config.aspectRatio = static_cast<VKVBLMODEL::VkProjectAspectRatioType>(d->ratio);
    config.resolution = d->resolution;
    config.frameRate = static_cast<VKVBLMODEL::VkProjectFrameRateType>(d->frameRate);
    config.colorSpace = static_cast<VKVBLMODEL::VkProjectColorSpaceType>(d->colorSpace);
}

QString VkProjectSettingPresenter::getColorSpaceStr(VKVBLMODEL::VkProjectColorSpaceType type) const
{
    for (const auto& row : d->colorSpaces) {
        if (row.first == type)
            return row.second;
    }
    return QString();
}

QString VkProjectSettingPresenter::getFramerateStr(VKVBLMODEL::VkProjectFrameRateType type) const
{
    for (const auto& row : d->frameRates) {
        if (row.first == type)
            return row.second;
    }
    return QString();
}

void VkProjectSettingPresenter::Save()
{
    // Read the whole record first so that fields this dialog does not edit go back unchanged.
    VKVBLMODEL::VkProjectConfig config;
    currentProject()->getProjectConfig(config);
    getData(config);
    currentProject()->setProjectConfig(config);

    // Let the project's sequence pick up its frame rate from the saved record.
    VkFrameRate pair{0, 0};
    currentProject()->companion()->readPair(pair);
    currentProject()->companion()->pairTarget()->applyPair(low32(pair.num), low32(pair.den));
}

QString VkProjectSettingPresenter::getRatioStr(int type)
{
    static const QMap<int, QString> names = [] {
        return QMap<int, QString>{{1, QObject::tr("16:9 (Widescreen)")}, {2, QObject::tr("1:1 (Instagram)")},
                                  {3, QObject::tr("9:16 (Portrait)")},   {4, QObject::tr("4:3 (Standard)")},
                                  {5, QObject::tr("3:4 (Business)")},    {6, QObject::tr("21:9 (Cinema)")},
                                  {7, QObject::tr("4:5 (Vertical)")}};
    }();
    return names.value(type);
}

QSize VkProjectSettingPresenter::ratioSizeOf(int type, int width, int height)
{
    switch (type) {
    case 1:
        return {16, 9};
    case 2:
        return {1, 1};
    case 3:
        return {9, 16};
    case 4:
        return {4, 3};
    case 5:
        return {3, 4};
    case 6:
        return {21, 9};
    case 7:
        return {4, 5};
    case 0: {
        int a = width;
        int b = height;
        while (b != 0) {
            const int t = a % b;
            a = b;
            b = t;
        }
        const int g = a == 0 ? 1 : a;
        return {width / g, height / g};
    }
    default:
        return {-1, -1};
    }
}

int VkProjectSettingPresenter::roundUpToEven(int n)
{
    return n + (n & 1);
}
