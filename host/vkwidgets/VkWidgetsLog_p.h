#pragma once

#include <QLoggingCategory>

// The widget toolkit's messages, switched with QT_LOGGING_RULES ("vk.widgets.warning=false").
// Defined inline so that every file of the library shares it without a source of its own.
inline const QLoggingCategory& lcVkWidgets()
{
    static const QLoggingCategory category("vk.widgets");
    return category;
}
