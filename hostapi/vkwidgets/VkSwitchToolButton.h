#pragma once

#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkWidgetsExport.h>

// A tool button with an on and an off look. When switchable, each click toggles it (the style
// sheet dresses the two states with :checked) and sigSwitched reports the new state.
class VKWIDGETS_EXPORT VkSwitchToolButton : public VkToolButton
{
    Q_OBJECT
public:
    static VkSwitchToolButton* CreateSwitchButton(QWidget* parent, bool switchable,
                                                  const QString& objectName);

    VkSwitchToolButton(QWidget* parent, bool switchable, const QString& objectName);
    ~VkSwitchToolButton() override;

    bool IsOn() const;
    // Sets the state without emitting sigSwitched.
    void SetOn(bool on);

signals:
    void sigSwitched(bool on);

private:
    Q_DISABLE_COPY(VkSwitchToolButton)
};
