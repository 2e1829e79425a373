#pragma once

#include <QObject>
#include <QString>

class IVkAbstractMediaItem;
struct VkVCGAssetInfo;

// Turns a media item's raw facts into the texts of the common information page: name, location,
// size, duration, creation date, and for stock and library items their format, keywords, licence
// and author credit. The item is borrowed and must outlive the manager.
class VkCommonInfoPageManager : public QObject
{
    Q_OBJECT
public:
    VkCommonInfoPageManager(IVkAbstractMediaItem* item, QObject* parent);
    ~VkCommonInfoPageManager() override;

    IVkAbstractMediaItem* GetMediaItem() const;

    QString GetName() const;
    QString GetLocation() const;
    QString GetFileSize() const;
    QString GetDuration() const;
    QString GetDateCreated() const;
    QString GetFormat() const;
    QString GetKeyword() const;
    // The visible text of the copyright cell: a library item's copyright, or a stock site's licence
    // page written without its scheme ("pixabay.com/license").
    QString GetLicensePage() const;
    QString GetLicenseUrl() const;
    QString GetAuthorUrl() const;
    // Rich text crediting a stock item's author and site; every inserted value is escaped.
    QString GetCredit() const;

    // Empty for 0 bytes (or a size that cannot be), else KB, MB or GB with two decimals.
    static QString FormatFileSize(qint64 bytes);
    // The size of the file at path, by the same rule; a file that cannot be read counts as 0 bytes.
    static QString FormatFileSize(const QString& path);
    // Frames per second of a rational rate; 0 when either part is below 1. 24000/1001 gives exactly
    // 23.97, the figure editors print for film rate on video.
    static double FrameRateToDouble(qint64 numerator, qint64 denominator);

private:
    VkVCGAssetInfo assetInfo() const;

    IVkAbstractMediaItem* m_item = nullptr;
    Q_DISABLE_COPY(VkCommonInfoPageManager)
};
