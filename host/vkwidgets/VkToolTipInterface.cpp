#include <vkwidgets/VkToolTipInterface.h>

VkToolTipInterface::~VkToolTipInterface() = default;
