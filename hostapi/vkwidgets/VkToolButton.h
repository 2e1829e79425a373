#pragma once

#include <vkwidgets/VkToolTipInterface.h>
#include <vkwidgets/VkWidgetsExport.h>

#include <QToolButton>

// An icon button dressed by its object name (the style sheet gives the picture). Hand cursor; the
// Tab key reaches it but a click does not take the focus. Its tool tip doubles as its accessible
// name until a name is set explicitly, so that an icon-only button is never nameless once it has a
// tip.
class VKWIDGETS_EXPORT VkToolButton : public QToolButton, public VkToolTipInterface
{
    Q_OBJECT
public:
    static VkToolButton* CreateToolButton(QWidget* parent, const QString& objectName);

    explicit VkToolButton(QWidget* parent = nullptr, const QString& objectName = QString());
    ~VkToolButton() override;

    void SetToolTipText(const QString& text) override;
    QString ToolTipText() const override;

protected:
    bool event(QEvent* event) override;
    // The style's painting, then the keyboard focus mark.
    void paintEvent(QPaintEvent* event) override;

private:
    // The name last taken over from the tool tip; a different name was set on purpose and stays.
    QString m_nameFromToolTip;
    Q_DISABLE_COPY(VkToolButton)
};
