#pragma once

#include <vkwidgets/VkButtonBar.h>
#include <vkwidgets/VkWidgetsExport.h>

// The bottom bar of a dialog: a VkButtonBar 64 pixels high with 24-pixel side margins and 16 pixels
// between buttons, object name "VkPushButtonBar".
class VKWIDGETS_EXPORT VkPushButtonBar : public VkButtonBar
{
    Q_OBJECT
public:
    explicit VkPushButtonBar(QWidget* parent = nullptr);
    ~VkPushButtonBar() override;

private:
    Q_DISABLE_COPY(VkPushButtonBar)
};
