#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QComboBox>

// A combo box whose drop-down rows follow the style sheet (object name "VkComboBox" unless changed).
// The Tab key reaches it but a click does not take the focus, so that a list used with the mouse
// leaves no focus mark behind; the list opens under the box on a window that has not been moved
// yet as well.
class VKWIDGETS_EXPORT VkComboBox : public QComboBox
{
    Q_OBJECT
public:
    static VkComboBox* CreateComboBox(QWidget* parent);

    explicit VkComboBox(QWidget* parent = nullptr);
    ~VkComboBox() override;

    void showPopup() override;

private:
    Q_DISABLE_COPY(VkComboBox)
};
