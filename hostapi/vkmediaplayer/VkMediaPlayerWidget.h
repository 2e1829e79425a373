#pragma once

#include <vkmediaplayer/VkMediaPlayerExport.h>
#include <vkwidgets/VkWidget.h>

#include <memory>

class VkMediaPlayerPresenter;

// Shows the current frame of a presenter's player, letterboxed on black.
class VKMEDIAPLAYER_EXPORT VkMediaPlayerWidget : public VkWidget
{
    Q_OBJECT
public:
    explicit VkMediaPlayerWidget(QWidget* parent);
    ~VkMediaPlayerWidget() override;

    void setPresenter(VkMediaPlayerPresenter* presenter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkMediaPlayerWidget)
};
