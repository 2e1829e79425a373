#include "VkCommonInfoPageManager.h"

#include <vkcore/VkConvertUtility.h>
#include <vkcore/VkThirdPartyUrlHelper.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkStockMediaItem.h>
#include <vkvblmodel/IVkVCGMediaItem.h>
#include <vkvblmodel/VkVCGAssetInfo.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

namespace {

constexpr qint64 kKiB = 1024;
constexpr qint64 kMiB = kKiB * 1024;
constexpr qint64 kGiB = kMiB * 1024;
constexpr int kSizeDecimals = 2;

constexpr qint64 kFilmRateNumerator = 24000;
constexpr qint64 kFilmRateDenominator = 1001;
constexpr double kFilmRateShown = 23.97;

// Renditions of a library asset that carry a record of their own (video, image, music, effect).
constexpr int kFirstRecordedAssetKind = 3;
constexpr int kLastRecordedAssetKind = 6;

// Where a stock item came from; a photo credits its author with "Photo by", a video with "Shot by",
// and the sources that carry no credit line get empty words.
enum StockSource : int
{
    Source_PixabayPhoto = 1000,
    Source_PixabayVideo = 1001,
    Source_Unsplash = 1002,
    Source_UnsplashAlternate = 1003,
    Source_Giphy = 1004,
    Source_GiphyAlternate = 1005,
    Source_Uncredited = 1006,
    Source_UncreditedAlternate = 1007,
    Source_PexelsPhoto = 1008,
    Source_PexelsVideo = 1009,
};

const char kDateFormat[] = "yyyy/MM/dd hh:mm:ss";
const char kLicensePath[] = "/license";

QString licensePageOf(const QString& siteHome)
{
    return QUrl(siteHome).host() + QLatin1String(kLicensePath);
}

} // namespace

VkCommonInfoPageManager::VkCommonInfoPageManager(IVkAbstractMediaItem* item, QObject* parent)
    : QObject(parent)
    , m_item(item)
{}

VkCommonInfoPageManager::~VkCommonInfoPageManager() = default;

IVkAbstractMediaItem* VkCommonInfoPageManager::GetMediaItem() const
{
    return m_item;
}

QString VkCommonInfoPageManager::GetName() const
{
    QString name = m_item->GetName();
    if (name.isEmpty())
        name = m_item->GetAlternateName();
    if (name.isEmpty())
        name = tr("unnamed");
    return name;
}

QString VkCommonInfoPageManager::GetLocation() const
{
    return QDir::fromNativeSeparators(m_item->GetFilePath());
}

QString VkCommonInfoPageManager::GetFileSize() const
{
    if (m_item->IsVCGMedia())
        return FormatFileSize(assetInfo().fileSize);
    return FormatFileSize(m_item->GetFilePath());
}

QString VkCommonInfoPageManager::GetDuration() const
{
    const IVkMediaInfo* info = m_item->GetMediaInfo();
    if (!info || info->GetStreamFlags() == IVkMediaInfo::StreamFlag_Image)
        return tr("None", "shown where a value is unknown");
    const VkFrameRate rate = info->GetFrameRate();
    const auto fps = static_cast<float>(FrameRateToDouble(rate.num, rate.den));
    return VkConvertUtility::frame2String(info->GetFrameCount(), fps);
}

QString VkCommonInfoPageManager::GetDateCreated() const
{
    const QFileInfo file(m_item->GetFilePath());
    // File systems that keep no birth time give the last change of the file's metadata instead,
    // the closest they know to when the file came to be.
    QDateTime created = file.birthTime();
    if (!created.isValid())
        created = file.metadataChangeTime();
    return created.toLocalTime().toString(QLatin1String(kDateFormat));
}

QString VkCommonInfoPageManager::GetFormat() const
{
    if (!m_item->IsVCGMedia())
        return QString();
    return assetInfo().format;
}

QString VkCommonInfoPageManager::GetKeyword() const
{
    const auto* vcg = dynamic_cast<const IVkVCGMediaItem*>(m_item);
    if (!m_item->IsVCGMedia() || !vcg)
        return QString();
    return vcg->GetKeywords().join(QLatin1Char(','));
}

QString VkCommonInfoPageManager::GetLicensePage() const
{
    if (!m_item)
        return QString();
    if (m_item->IsVCGMedia())
        return assetInfo().copyright;
    if (!m_item->IsStockMedia())
        return QString();
    switch (m_item->GetStockSite()) {
    case IVkAbstractMedia::StockSite_Giphy:
        return licensePageOf(VkThirdPartyUrlHelper::giphyPage());
    case IVkAbstractMedia::StockSite_Pixabay:
        return licensePageOf(VkThirdPartyUrlHelper::pixabayPage());
    case IVkAbstractMedia::StockSite_Unsplash:
        return licensePageOf(VkThirdPartyUrlHelper::unsplashPage());
    case IVkAbstractMedia::StockSite_Pexels:
        return licensePageOf(VkThirdPartyUrlHelper::pexelsPage());
    default:
        return QString();
    }
}

QString VkCommonInfoPageManager::GetLicenseUrl() const
{
    const auto* stock = dynamic_cast<const IVkStockMediaItem*>(m_item);
    if (!m_item || !m_item->IsStockMedia() || !stock)
        return QString();
    return stock->GetLicenseUrl();
}

QString VkCommonInfoPageManager::GetAuthorUrl() const
{
    const auto* stock = dynamic_cast<const IVkStockMediaItem*>(m_item);
    if (!m_item || !m_item->IsStockMedia() || !stock)
        return QString();
    return stock->GetAuthorUrl();
}

QString VkCommonInfoPageManager::GetCredit() const
{
    if (!m_item || !m_item->IsStockMedia())
        return QString();

    QString prefix;
    QString siteName;
    QString sitePage;
    switch (m_item->GetStockSource()) {
    case Source_PixabayPhoto:
        prefix = tr("Photo by");
        siteName = QStringLiteral("Pixabay");
        sitePage = VkThirdPartyUrlHelper::pixabayPage();
        break;
    case Source_PixabayVideo:
        prefix = tr("Shot by", "credit of a filmed clip: Shot by <author> on <site>");
        siteName = QStringLiteral("Pixabay");
        sitePage = VkThirdPartyUrlHelper::pixabayPage();
        break;
    case Source_Unsplash:
    case Source_UnsplashAlternate:
        prefix = tr("Photo by");
        siteName = QStringLiteral("Unsplash");
        sitePage = VkThirdPartyUrlHelper::unsplashPage();
        break;
    case Source_Giphy:
    case Source_GiphyAlternate:
        siteName = QStringLiteral("Giphy");
        sitePage = VkThirdPartyUrlHelper::giphyPage();
        break;
    case Source_PexelsPhoto:
        prefix = tr("Photo by");
        siteName = QStringLiteral("Pexels");
        sitePage = VkThirdPartyUrlHelper::pexelsPage();
        break;
    case Source_PexelsVideo:
        prefix = tr("Shot by", "credit of a filmed clip: Shot by <author> on <site>");
        siteName = QStringLiteral("Pexels");
        sitePage = VkThirdPartyUrlHelper::pexelsPage();
        break;
    case Source_Uncredited:
    case Source_UncreditedAlternate:
    default:
        break;
    }
    const QString joiningWord = tr("on", "credit: Photo by <author> on <site>");

    const auto* stock = dynamic_cast<const IVkStockMediaItem*>(m_item);
    if (!stock)
        return QString();
    // One substitution pass: an author name such as "50%3 off" must stay as typed instead of
    // picking up the value meant for a later placeholder.
    const QString accent =
        VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Primary()).name();
    return QStringLiteral("%1 <a style = 'color:%2;'href=\"%3\"> %4 </a> %5 "
                          "<a style = 'color:%2;'href=\"%6\">%7</a>")
        .arg(prefix.toHtmlEscaped(), accent, stock->GetAuthorUrl().toHtmlEscaped(),
             stock->GetAuthorName().toHtmlEscaped(), joiningWord.toHtmlEscaped(), sitePage.toHtmlEscaped(),
             siteName.toHtmlEscaped());
}

QString VkCommonInfoPageManager::FormatFileSize(qint64 bytes)
{
    if (bytes <= 0)
        return QString();
    // The properties window writes sizes in one notation whatever the language: a point, no grouping.
    const QLocale notation = QLocale::c();
    if (bytes >= kGiB)
        return notation.toString(double(bytes) / double(kGiB), 'f', kSizeDecimals) + QLatin1String(" GB");
    if (bytes >= kMiB)
        return notation.toString(double(bytes) / double(kMiB), 'f', kSizeDecimals) + QLatin1String(" MB");
    return notation.toString(double(bytes) / double(kKiB), 'f', kSizeDecimals) + QLatin1String(" KB");
}

QString VkCommonInfoPageManager::FormatFileSize(const QString& path)
{
    return FormatFileSize(QFileInfo(path).size());
}

double VkCommonInfoPageManager::FrameRateToDouble(qint64 numerator, qint64 denominator)
{
    if (numerator < 1 || denominator < 1)
        return 0.0;
    if (numerator == kFilmRateNumerator && denominator == kFilmRateDenominator)
        return kFilmRateShown;
    return double(numerator) / double(denominator);
}

VkVCGAssetInfo VkCommonInfoPageManager::assetInfo() const
{
    const auto* vcg = dynamic_cast<const IVkVCGMediaItem*>(m_item);
    if (!vcg)
        return VkVCGAssetInfo();
    const int kind = vcg->GetAssetKind();
    if (kind < kFirstRecordedAssetKind || kind > kLastRecordedAssetKind)
        return VkVCGAssetInfo();
    return vcg->GetAssetInfo(kind);
}
