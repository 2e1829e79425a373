#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QWidget>

// A one-pixel divider line drawn in a skin colour.
class VKWIDGETS_EXPORT VkLineWidget : public QWidget
{
    Q_OBJECT
public:
    // Line types: 0 the secondary divider colour (between sections of a page), 1 the primary divider
    // colour (between panels). Other values are treated as 0.
    enum VkLineType
    {
        Line_Secondary = 0,
        Line_Primary = 1,
    };

    static VkLineWidget* CreateLineWidget(QWidget* parent, Qt::Orientation orientation, int lineType);

    VkLineWidget(QWidget* parent, Qt::Orientation orientation, int lineType);
    ~VkLineWidget() override;

    Qt::Orientation Orientation() const;
    int LineType() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    int m_lineType;
    Q_DISABLE_COPY(VkLineWidget)
};
