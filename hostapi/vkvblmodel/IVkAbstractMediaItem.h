#pragma once

#include <vkvblmodel/IVkAbstractMedia.h>

class IVkClip;
class IVkMediaInfo;

// One file of the media library, probed for real. Owned by whoever created it (the media item
// factory hands it out as a unique_ptr); dialogs only borrow it.
class VKVBLMODEL_EXPORT IVkAbstractMediaItem : public virtual IVkAbstractMedia
{
public:
    ~IVkAbstractMediaItem() override;

    // Null when the file could not be probed. Owned by the item.
    virtual IVkMediaInfo* GetMediaInfo() const = 0;
    // The stream index every audio query of the media information takes.
    virtual int GetAudioStreamIndex() const = 0;
    // A new reference to a clip of the whole file; the caller calls Release() when done. Null for
    // media that cannot be placed on a timeline.
    virtual IVkClip* GetClip() const = 0;
    virtual QString GetSourceFilePath() const = 0;
    virtual QString GetFilePath() const = 0;
    virtual QString GetAlternateName() const = 0;
    virtual bool IsStockMedia() const = 0;
    virtual bool IsVCGMedia() const = 0;

    // Renames the item in the library (the file on disk keeps its name).
    virtual void SetName(const QString& name) = 0;
};
