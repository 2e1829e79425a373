#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QPushButton>

// The product's text buttons. A primary button carries the accent colour, a secondary one is
// neutral; the style sheet keys on the dynamic property "buttonKind" ("primary" / "secondary") so
// that the look survives a later setObjectName.
class VKWIDGETS_EXPORT VkPushButton : public QPushButton
{
    Q_OBJECT
public:
    // The button's fixed height in pixels.
    enum VButtonSizeKind
    {
        Size_24 = 24,
        Size_28 = 28,
        Size_32 = 32,
        Size_40 = 40,
    };

    static VkPushButton* CreatePrimaryButton(QWidget* parent, const VkPushButton::VButtonSizeKind& size);
    static VkPushButton* CreatePrimaryButton(QWidget* parent, int size);
    static VkPushButton* CreateSecondaryButton(QWidget* parent, const VkPushButton::VButtonSizeKind& size);
    static VkPushButton* CreateSecondaryButton(QWidget* parent, int size);

    VkPushButton(QWidget* parent, bool primary, int size);
    ~VkPushButton() override;

    void setText(const QString& text);
    bool IsPrimary() const;

protected:
    // The style's painting, then the keyboard focus mark.
    void paintEvent(QPaintEvent* event) override;

private:
    Q_DISABLE_COPY(VkPushButton)
};
