#include <vkcore/VkConfig.h>

#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkIniFile.h>

#include <QDir>
#include <QVariant>

namespace {
const char kFileName[] = "config.ini";

const char kGpuTipsKey[] = "ColorSpace/GpuTipsNoNeedShow";
const char kHdrTipsKey[] = "ColorSpace/HDRTipsNoNeedShow";
const char kUrlsGroup[] = "Urls/";
const char kHdrEnabledKey[] = "Display/HdrEnabled";
const char kThresholdKey[] = "SceneDetect/Threshold";
const char kMinSceneLengthKey[] = "SceneDetect/MinSceneLength";

const char kHelpOnlinePageKey[] = "HelpOnlinePage";
const char kSupportPageKey[] = "SupportPage";
const char kDefaultHelpOnlinePage[] = "https://help.vkpopupdialog.example/";
const char kDefaultSupportPage[] = "https://support.vkpopupdialog.example/";

bool readBool(const VkIniFile& store, const char* key)
{
    // Read as QSettings would: "true" or a non-zero number; anything unreadable counts as not set.
    return QVariant(store.value(QLatin1String(key))).toBool();
}
} // namespace

class VkConfig::Private
{
public:
    std::unique_ptr<VkIniFile> file;
    bool lastWriteOk = true;

    VkIniFile& store()
    {
        if (!file)
            open();
        return *file;
    }

    void open()
    {
        const QString folder = IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome);
        file = std::make_unique<VkIniFile>(QDir(folder).filePath(QLatin1String(kFileName)));
    }

    void write(const QString& key, const QVariant& value)
    {
        lastWriteOk = store().setValue(key, value.toString(), nullptr);
    }

    void write(const char* key, const QVariant& value) { write(QLatin1String(key), value); }
};

VkConfig::VkConfig()
    : d(std::make_unique<Private>())
{}

VkConfig::~VkConfig() = default;

VkConfig& VkConfig::Instance()
{
    static VkConfig instance;
    return instance;
}

bool VkConfig::IsColorSpaceGpuTipsNoNeedShow() const
{
    return readBool(d->store(), kGpuTipsKey);
}

void VkConfig::SetColorSpaceGpuTipsNoNeedShow(bool noNeedShow)
{
    d->write(kGpuTipsKey, noNeedShow);
}

bool VkConfig::IsColorSpaceHDRTipsNoNeedShow() const
{
    return readBool(d->store(), kHdrTipsKey);
}

void VkConfig::SetColorSpaceHDRTipsNoNeedShow(bool noNeedShow)
{
    d->write(kHdrTipsKey, noNeedShow);
}

QString VkConfig::GetCBSUrl(const QString& key) const
{
    if (key.isEmpty())
        return QString();
    QString stored = d->store().value(QLatin1String(kUrlsGroup) + key);
    if (!stored.isEmpty())
        return stored;
    if (key == QLatin1String(kHelpOnlinePageKey))
        return QLatin1String(kDefaultHelpOnlinePage);
    if (key == QLatin1String(kSupportPageKey))
        return QLatin1String(kDefaultSupportPage);
    return QString();
}

void VkConfig::SetCBSUrl(const QString& key, const QString& url)
{
    // A key with a separator would land in a subgroup that GetCBSUrl never reads back the same way.
    if (key.isEmpty() || key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\')))
        return;
    d->write(QLatin1String(kUrlsGroup) + key, url);
}

bool VkConfig::IsHdrEnabled() const
{
    return readBool(d->store(), kHdrEnabledKey);
}

void VkConfig::SetHdrEnabled(bool enabled)
{
    d->write(kHdrEnabledKey, enabled);
}

double VkConfig::SceneDetectThreshold() const
{
    bool ok = false;
    const double value = d->store().value(QLatin1String(kThresholdKey)).toDouble(&ok);
    return ok && value > 0.0 ? value : kDefaultSceneDetectThreshold;
}

void VkConfig::SetSceneDetectThreshold(double threshold)
{
    if (!(threshold > 0.0))
        return;
    d->write(kThresholdKey, threshold);
}

int VkConfig::SceneDetectMinSceneLength() const
{
    bool ok = false;
    const int value = d->store().value(QLatin1String(kMinSceneLengthKey)).toInt(&ok);
    return ok && value > 0 ? value : kDefaultSceneDetectMinSceneLength;
}

void VkConfig::SetSceneDetectMinSceneLength(int frames)
{
    if (frames <= 0)
        return;
    d->write(kMinSceneLengthKey, frames);
}

void VkConfig::Reload()
{
    d->file.reset();
    d->lastWriteOk = true;
    d->open();
}

QString VkConfig::FilePath() const
{
    return d->store().path();
}

bool VkConfig::IsWritable() const
{
    return d->lastWriteOk;
}

QString VkConfig::LastError() const
{
    return d->store().lastError();
}
