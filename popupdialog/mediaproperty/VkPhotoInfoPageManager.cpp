#include "VkPhotoInfoPageManager.h"

#include "VkVideoInfoPageManager.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkImageMediaInfo.h>

#include <QFileInfo>

VkPhotoInfoPageManager::VkPhotoInfoPageManager(IVkAbstractMediaItem* item, QObject* parent)
    : QObject(parent)
    , m_item(item)
{}

VkPhotoInfoPageManager::~VkPhotoInfoPageManager() = default;

IVkAbstractMediaItem* VkPhotoInfoPageManager::GetMediaItem() const
{
    return m_item;
}

QString VkPhotoInfoPageManager::GetCameraMaker() const
{
    const IVkImageMediaInfo* image = imageInfo();
    return image ? image->GetCameraMaker() : QString();
}

QString VkPhotoInfoPageManager::GetCameraModel() const
{
    const IVkImageMediaInfo* image = imageInfo();
    return image ? image->GetCameraModel() : QString();
}

QString VkPhotoInfoPageManager::GetResolution() const
{
    if (!m_item)
        return tr("None", "shown where a value is unknown");
    if (m_item->GetStockSite() == IVkAbstractMedia::StockSite_Pixabay)
        return VkVideoInfoPageManager::StockResolution(m_item);
    const IVkImageMediaInfo* image = imageInfo();
    const int width = image ? image->GetWidth() : 0;
    const int height = image ? image->GetHeight() : 0;
    return QStringLiteral("%1x%2").arg(width).arg(height);
}

QString VkPhotoInfoPageManager::GetExposureTime() const
{
    const IVkImageMediaInfo* image = imageInfo();
    return tr("%1 s").arg(image ? image->GetExposureTime() : 0);
}

bool VkPhotoInfoPageManager::HasExposureTime() const
{
    const IVkImageMediaInfo* image = imageInfo();
    return image && image->GetExposureTime() > 0;
}

int VkPhotoInfoPageManager::GetAlphaType() const
{
    const IVkImageMediaInfo* image = imageInfo();
    return image ? image->GetAlphaType() : kNoAlphaType;
}

void VkPhotoInfoPageManager::SetAlphaType(int alphaType)
{
    if (IVkImageMediaInfo* image = imageInfo())
        image->SetAlphaType(alphaType);
}

bool VkPhotoInfoPageManager::IsPng() const
{
    if (!m_item)
        return false;
    return QFileInfo(m_item->GetSourceFilePath()).suffix().toUpper().contains(QLatin1String("PNG"));
}

IVkImageMediaInfo* VkPhotoInfoPageManager::imageInfo() const
{
    return m_item ? dynamic_cast<IVkImageMediaInfo*>(m_item->GetMediaInfo()) : nullptr;
}
