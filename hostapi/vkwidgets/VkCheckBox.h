#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QCheckBox>

// A check box whose caption never runs out of its box: a caption wider than the room it is given
// (a long translation, a fixed layout) is shortened with an ellipsis and shown whole as a tool tip.
class VKWIDGETS_EXPORT VkCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    static VkCheckBox* CreateCheckBox(QWidget* parent);

    explicit VkCheckBox(QWidget* parent = nullptr);
    ~VkCheckBox() override;

    // Whether the caption is shown shortened at the current size.
    bool IsTextElided() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString shownText() const;
    Q_DISABLE_COPY(VkCheckBox)
};
