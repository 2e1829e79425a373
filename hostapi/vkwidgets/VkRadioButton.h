#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QRadioButton>

class VKWIDGETS_EXPORT VkRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    static VkRadioButton* creatRadioButton(QWidget* parent);

    explicit VkRadioButton(QWidget* parent = nullptr);
    ~VkRadioButton() override;

private:
    Q_DISABLE_COPY(VkRadioButton)
};
