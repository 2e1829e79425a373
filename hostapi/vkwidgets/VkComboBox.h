#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QComboBox>

// A combo box whose drop-down rows follow the style sheet (object name "VkComboBox" unless changed).
class VKWIDGETS_EXPORT VkComboBox : public QComboBox
{
    Q_OBJECT
public:
    static VkComboBox* CreateComboBox(QWidget* parent);

    explicit VkComboBox(QWidget* parent = nullptr);
    ~VkComboBox() override;

private:
    Q_DISABLE_COPY(VkComboBox)
};
