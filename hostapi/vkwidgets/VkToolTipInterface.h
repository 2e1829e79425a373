#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QString>

// Controls that show a tool tip of the product's kind implement this; the tool tip follows the
// application's language because the owner sets it again from its text hook.
class VKWIDGETS_EXPORT VkToolTipInterface
{
public:
    virtual ~VkToolTipInterface();
    virtual void SetToolTipText(const QString& text) = 0;
    virtual QString ToolTipText() const = 0;

protected:
    VkToolTipInterface() = default;
    VkToolTipInterface(const VkToolTipInterface&) = default;
    VkToolTipInterface& operator=(const VkToolTipInterface&) = default;
};
