#pragma once

#include <vkwidgets/VkWidget.h>

#include <memory>

class VkVideoInfoPageManager;

// Read-only facts of a media item's video stream: codec, picture size, frame rate, bit rate and
// transfer characteristics, under a titled divider.
class VkVideoInfoPage : public VkWidget
{
    Q_OBJECT
public:
    VkVideoInfoPage(VkVideoInfoPageManager* manager, QWidget* parent);
    ~VkVideoInfoPage() override;

    void RetranslateUi() override;

private slots:
    // Kept for hosts that let the user override the interpretation; this page only shows values.
    void slotFrameRateStateChanged(int state);
    void slotAspectRatioStateChanged(int state);

private:
    void InitUI();
    void InitData();
    void NameRows();

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkVideoInfoPage)
};
