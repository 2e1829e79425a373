#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QLabel>

// A label dressed by its object name. The object name "LineWid" makes it a divider line.
class VKWIDGETS_EXPORT VkLabel : public QLabel
{
    Q_OBJECT
public:
    static VkLabel* CreateLabel(QWidget* parent, const QString& objectName);

    explicit VkLabel(QWidget* parent = nullptr, const QString& objectName = QString());
    ~VkLabel() override;

    // Sets the shown text; derived labels may format or elide it.
    virtual void SetDisplayText(const QString& text);

private:
    Q_DISABLE_COPY(VkLabel)
};
