#pragma once

#include <QtCore/qglobal.h>

#if defined(VKAPPSETTINGS_LIBRARY)
#define VKAPPSETTINGS_EXPORT Q_DECL_EXPORT
#else
#define VKAPPSETTINGS_EXPORT Q_DECL_IMPORT
#endif
