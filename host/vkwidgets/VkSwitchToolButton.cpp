#include <vkwidgets/VkSwitchToolButton.h>

VkSwitchToolButton* VkSwitchToolButton::CreateSwitchButton(QWidget* parent, bool switchable,
                                                           const QString& objectName)
{
    return new VkSwitchToolButton(parent, switchable, objectName);
}

VkSwitchToolButton::VkSwitchToolButton(QWidget* parent, bool switchable, const QString& objectName)
    : VkToolButton(parent, objectName)
{
    setCheckable(switchable);
    connect(this, &QAbstractButton::toggled, this, &VkSwitchToolButton::sigSwitched);
}

VkSwitchToolButton::~VkSwitchToolButton() = default;

bool VkSwitchToolButton::IsOn() const
{
    return isChecked();
}

void VkSwitchToolButton::SetOn(bool on)
{
    const QSignalBlocker blocker(this);
    setChecked(on);
}
