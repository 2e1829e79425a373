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

protected:
    // The style's painting, then the keyboard focus mark.
    void paintEvent(QPaintEvent* event) override;

private:
    Q_DISABLE_COPY(VkRadioButton)
};
