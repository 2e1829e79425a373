#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QCheckBox>

class VKWIDGETS_EXPORT VkCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    static VkCheckBox* CreateCheckBox(QWidget* parent);

    explicit VkCheckBox(QWidget* parent = nullptr);
    ~VkCheckBox() override;

private:
    Q_DISABLE_COPY(VkCheckBox)
};
