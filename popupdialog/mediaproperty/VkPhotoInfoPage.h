#pragma once

#include <vkwidgets/VkWidget.h>

#include <memory>

class VkPhotoInfoPageManager;

// Read-only facts of a still image: camera maker and model, picture size and exposure time, under
// a title followed by a divider the page paints itself.
class VkPhotoInfoPage : public VkWidget
{
    Q_OBJECT
public:
    VkPhotoInfoPage(VkPhotoInfoPageManager* manager, QWidget* parent);
    ~VkPhotoInfoPage() override;

    void RetranslateUi() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    // Kept for hosts that let the user override the interpretation; this page only shows values.
    void slotAspectRatioStateChanged(int state);

private:
    void InitUI();
    void InitData();
    void NameRows();

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkPhotoInfoPage)
};
