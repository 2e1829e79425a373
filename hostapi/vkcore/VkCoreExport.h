#pragma once

#include <QtCore/qglobal.h>

#if defined(VKCORE_LIBRARY)
#define VKCORE_EXPORT Q_DECL_EXPORT
#else
#define VKCORE_EXPORT Q_DECL_IMPORT
#endif
