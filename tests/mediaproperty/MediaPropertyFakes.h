#pragma once

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkAudioMediaInfo.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkStockMediaItem.h>
#include <vkvblmodel/IVkVCGMediaItem.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QScrollArea>
#include <QSet>
#include <QVector>
#include <QWidget>

// One information object answers the video, audio and image interfaces; the stream flags decide
// which of them a page may read.
class FakeMediaInfo : public IVkVideoMediaInfo, public IVkAudioMediaInfo, public IVkImageMediaInfo
{
public:
    int frameCount = 0, streamFlags = 0, width = 0, height = 0, videoBitRate = 0;
    bool noDuration = false;
    VkFrameRate frameRate{25, 1};
    QString videoCodec, audioCodec, cameraMaker;
    // Audio answers only for this stream index; other indexes read zeros.
    int audioStream = 1, sampleRate = 0, sampleBits = 0, channels = 0, audioBitRate = 0;
    int exposure = 0, alphaType = 0;
    QVector<int> alphaWrites; // every value SetAlphaType was given

    int GetFrameCount() const override { return frameCount; }
    bool HasNoDuration() const override { return noDuration; }
    int GetStreamFlags() const override { return streamFlags; }
    VkFrameRate GetFrameRate() const override { return frameRate; }

    int GetHeight() const override { return height; }
    int GetWidth() const override { return width; }
    QString GetCodecName() const override { return videoCodec; }
    int GetBitRate() const override { return videoBitRate; }
    QString GetTransferCharacteristics() const override { return QString(); }

    int GetSampleRate(int index) const override { return index == audioStream ? sampleRate : 0; }
    int GetSampleBits(int index) const override { return index == audioStream ? sampleBits : 0; }
    int GetChannels(int index) const override { return index == audioStream ? channels : 0; }
    QString GetCodecName(int index) const override { return index == audioStream ? audioCodec : QString(); }
    int GetBitRate(int index) const override { return index == audioStream ? audioBitRate : 0; }

    QString GetCameraMaker() const override { return cameraMaker; }
    QString GetCameraModel() const override { return QString(); }
    int GetExposureTime() const override { return exposure; }
    void SetAlphaType(int type) override
    {
        alphaWrites.append(type);
        alphaType = type;
    }
    int GetAlphaType() const override { return alphaType; }
};

// A plain library item: neither stock nor library asset unless the flags say so.
class FakeItem : public IVkAbstractMediaItem
{
public:
    int itemType = ItemType_Video, stockSite = StockSite_None, stockSource = 0, audioStreamIndex = 1;
    QString name = QStringLiteral("clip");
    QString sourcePath, filePath, alternateName;
    bool renameEnabled = true, stock = false, vcg = false;
    IVkMediaInfo* info = nullptr;
    QStringList renames; // every name SetName was given

    int GetItemType() const override { return itemType; }
    int GetStockSite() const override { return stockSite; }
    int GetStockSource() const override { return stockSource; }
    QString GetName() const override { return name; }
    bool IsRenameEnabled() const override { return renameEnabled; }

    IVkMediaInfo* GetMediaInfo() const override { return info; }
    int GetAudioStreamIndex() const override { return audioStreamIndex; }
    IVkClip* GetClip() const override { return nullptr; }
    QString GetSourceFilePath() const override { return sourcePath; }
    QString GetFilePath() const override { return filePath; }
    QString GetAlternateName() const override { return alternateName; }
    bool IsStockMedia() const override { return stock; }
    bool IsVCGMedia() const override { return vcg; }
    void SetName(const QString& newName) override { renames.append(newName); }
};

// An item downloaded from a stock site. Quality levels not in `sizes` leave the size untouched.
class FakeStockItem : public FakeItem, public IVkStockMediaItem
{
public:
    FakeStockItem() { stock = true; }
    QSet<int> unavailable;
    QMap<int, QSize> sizes;
    QString authorUrl = QStringLiteral("https://pixabay.com/users/ann-1/");
    QString authorName = QStringLiteral("Ann");
    QString licenseUrl = QStringLiteral("https://pixabay.com/service/license/");

    bool IsQualityUnavailable(int quality) const override { return unavailable.contains(quality); }
    void GetQualityResolution(int quality, int& w, int& h) const override
    {
        const QSize size = sizes.value(quality, QSize(w, h));
        w = size.width();
        h = size.height();
    }
    QString GetAuthorUrl() const override { return authorUrl; }
    QString GetAuthorName() const override { return authorName; }
    QString GetLicenseUrl() const override { return licenseUrl; }
};

// An item of the licensed media library, with one kind of asset: 3.
class FakeVCGItem : public FakeItem, public IVkVCGMediaItem
{
public:
    FakeVCGItem()
    {
        vcg = true;
        itemType = ItemType_LibraryAsset;
    }
    QStringList keywords;
    VkVCGAssetInfo asset;

    QStringList GetKeywords() const override { return keywords; }
    int GetAssetKind() const override { return 3; }
    VkVCGAssetInfo GetAssetInfo(int kind) const override { return kind == 3 ? asset : VkVCGAssetInfo(); }
};

// Pages are found by class name, cells by their place in the page's grid.
namespace MediaPropertyProbe {

// The classes of the pages in the order the scrolling body stacks them, top to bottom.
inline QStringList pageClasses(const QWidget* dialog)
{
    QStringList names;
    auto* scroll = dialog->findChild<QScrollArea*>();
    QLayout* body = scroll && scroll->widget() ? scroll->widget()->layout() : nullptr;
    for (int i = 0; body && i < body->count(); ++i) {
        if (QWidget* w = body->itemAt(i)->widget())
            names.append(QString::fromLatin1(w->metaObject()->className()));
    }
    return names;
}

inline QWidget* page(const QWidget* dialog, const char* className)
{
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (qstrcmp(w->metaObject()->className(), className) == 0)
            return w;
    }
    return nullptr;
}

inline QWidget* cell(const QWidget* page, int row, int column)
{
    auto* grid = page ? page->findChild<QGridLayout*>() : nullptr;
    QLayoutItem* item = grid ? grid->itemAtPosition(row, column) : nullptr;
    return item ? item->widget() : nullptr;
}

// The text of a cell: a label's text or a line edit's; a null string when there is no cell.
inline QString text(const QWidget* page, int row, int column = 1)
{
    QWidget* w = cell(page, row, column);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    auto* label = qobject_cast<QLabel*>(w);
    return label ? label->text() : QString();
}

// Whether caption and value of a row are both shown (neither was hidden by the page).
inline bool rowShown(const QWidget* page, int row)
{
    QWidget *caption = cell(page, row, 0), *value = cell(page, row, 1);
    return caption && value && !caption->isHidden() && !value->isHidden();
}

} // namespace MediaPropertyProbe
