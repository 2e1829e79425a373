#pragma once

#include <vkwidgets/VkWidget.h>

#include <memory>

class VkAudioInfoPageManager;

// Read-only facts of a media item's audio stream: codec, channels, sample rate and size, bit rate,
// under a titled divider.
class VkAudioInfoPage : public VkWidget
{
    Q_OBJECT
public:
    VkAudioInfoPage(VkAudioInfoPageManager* manager, QWidget* parent);
    ~VkAudioInfoPage() override;

    void RetranslateUi() override;

private:
    void InitUI();
    void InitData();
    void NameRows();

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkAudioInfoPage)
};
