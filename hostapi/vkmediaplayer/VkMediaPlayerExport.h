#pragma once

#include <QtCore/qglobal.h>

#if defined(VKMEDIAPLAYER_LIBRARY)
#define VKMEDIAPLAYER_EXPORT Q_DECL_EXPORT
#else
#define VKMEDIAPLAYER_EXPORT Q_DECL_IMPORT
#endif
