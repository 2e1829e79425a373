#pragma once

#include <QtCore/qglobal.h>

#if defined(VKWIDGETS_LIBRARY)
#define VKWIDGETS_EXPORT Q_DECL_EXPORT
#else
#define VKWIDGETS_EXPORT Q_DECL_IMPORT
#endif
