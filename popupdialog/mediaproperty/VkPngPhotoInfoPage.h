#pragma once

#include <vkwidgets/VkWidget.h>

#include <memory>

class VkPhotoInfoPageManager;

// The alpha channel choice of a PNG image: straight, premultiplied or ignored. The page only keeps
// the choice; the dialog writes it into the image when the user presses OK.
class VkPngPhotoInfoPage : public VkWidget
{
    Q_OBJECT
public:
    VkPngPhotoInfoPage(VkPhotoInfoPageManager* manager, QWidget* parent);
    ~VkPngPhotoInfoPage() override;

    void RetranslateUi() override;
    // The alpha code of the checked button, or the stored code while none is checked.
    int AlphaType() const;

private slots:
    void slotOnButtonToggled(int id, bool bChecked);

private:
    void InitUI();

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkPngPhotoInfoPage)
};
