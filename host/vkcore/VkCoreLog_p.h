#pragma once

#include <QLoggingCategory>

// The core services' messages, switched with QT_LOGGING_RULES ("vk.core.info=false").
// Defined inline so that every file of the library shares it without a source of its own.
inline const QLoggingCategory& lcVkCore()
{
    static const QLoggingCategory category("vk.core");
    return category;
}
