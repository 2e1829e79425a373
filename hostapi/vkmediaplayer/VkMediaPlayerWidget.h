#pragma once

#include <vkmediaplayer/VkMediaPlayerExport.h>
#include <vkwidgets/VkWidget.h>

#include <QImage>

#include <memory>

class VkMediaPlayerPresenter;

// Shows the current frame of a presenter's player, letterboxed on black.
class VKMEDIAPLAYER_EXPORT VkMediaPlayerWidget : public VkWidget
{
    Q_OBJECT
public:
    explicit VkMediaPlayerWidget(QWidget* parent);
    ~VkMediaPlayerWidget() override;

    // The widget follows one presenter at a time; null detaches it.
    void setPresenter(VkMediaPlayerPresenter* presenter);
    VkMediaPlayerPresenter* presenter() const;
    // The picture shown (null while the view is blank) and where it is drawn, in widget coordinates.
    QImage currentFrame() const;
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Frames are rendered at the size of this widget in device pixels, not at the clip's own size.
    void updateRenderSize();
    // Asks for a paint of the newest frame, at most once per refresh of the screen.
    void updateFrame();

    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkMediaPlayerWidget)
};
