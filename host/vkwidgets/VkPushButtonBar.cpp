#include <vkwidgets/VkPushButtonBar.h>

#include <QLayout>

namespace {

const int kBarHeight = 64;
const int kSideMargin = 24;
const int kButtonSpacing = 16;

} // namespace

VkPushButtonBar::VkPushButtonBar(QWidget* parent)
    : VkButtonBar(parent)
{
    setObjectName(QStringLiteral("VkPushButtonBar"));
    setFixedHeight(kBarHeight);
    layout()->setContentsMargins(kSideMargin, 0, kSideMargin, 0);
    SetSpacing(kButtonSpacing);
}

VkPushButtonBar::~VkPushButtonBar() = default;
