#pragma once

#include <vkwidgets/VkToolTipInterface.h>
#include <vkwidgets/VkWidgetsExport.h>

#include <QToolButton>

// An icon button dressed by its object name (the style sheet gives the picture). No focus frame,
// hand cursor.
class VKWIDGETS_EXPORT VkToolButton : public QToolButton, public VkToolTipInterface
{
    Q_OBJECT
public:
    static VkToolButton* CreateToolButton(QWidget* parent, const QString& objectName);

    explicit VkToolButton(QWidget* parent = nullptr, const QString& objectName = QString());
    ~VkToolButton() override;

    void SetToolTipText(const QString& text) override;
    QString ToolTipText() const override;

private:
    Q_DISABLE_COPY(VkToolButton)
};
