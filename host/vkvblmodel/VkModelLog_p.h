#pragma once

#include <QLoggingCategory>

// The editing model's messages, switched with QT_LOGGING_RULES ("vk.model.warning=false").
// Defined inline so that every file of the library shares it without a source of its own.
inline const QLoggingCategory& lcVkModel()
{
    static const QLoggingCategory category("vk.model");
    return category;
}
