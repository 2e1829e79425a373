#include <vkwidgets/VkPushButton.h>

#include "VkFocusRing_p.h"

#include <QVariant>

namespace {

const int kMinimumWidth = 80;

} // namespace

VkPushButton* VkPushButton::CreatePrimaryButton(QWidget* parent, const VkPushButton::VButtonSizeKind& size)
{
    return new VkPushButton(parent, true, size);
}

VkPushButton* VkPushButton::CreatePrimaryButton(QWidget* parent, int size)
{
    return new VkPushButton(parent, true, size);
}

VkPushButton* VkPushButton::CreateSecondaryButton(QWidget* parent, const VkPushButton::VButtonSizeKind& size)
{
    return new VkPushButton(parent, false, size);
}

VkPushButton* VkPushButton::CreateSecondaryButton(QWidget* parent, int size)
{
    return new VkPushButton(parent, false, size);
}

VkPushButton::VkPushButton(QWidget* parent, bool primary, int size)
    : QPushButton(parent)
{
    setObjectName(primary ? QStringLiteral("VkPushButton_Primary")
                          : QStringLiteral("VkPushButton_Secondary"));
    setProperty("buttonKind", primary ? QStringLiteral("primary") : QStringLiteral("secondary"));
    setProperty("sizeKind", size);
    setCursor(Qt::PointingHandCursor);
    // Sizes below the smallest kind would clip the text; treat them as the smallest.
    setFixedHeight(qMax(static_cast<int>(Size_24), size));
    setMinimumWidth(kMinimumWidth);
}

VkPushButton::~VkPushButton() = default;

void VkPushButton::setText(const QString& text)
{
    QPushButton::setText(text);
}

bool VkPushButton::IsPrimary() const
{
    return property("buttonKind").toString() == QLatin1String("primary");
}

void VkPushButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    VkWidgetsInternal::paintFocusRing(this);
}
