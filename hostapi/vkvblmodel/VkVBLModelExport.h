#pragma once

#include <QtCore/qglobal.h>

#if defined(VKVBLMODEL_LIBRARY)
#define VKVBLMODEL_EXPORT Q_DECL_EXPORT
#else
#define VKVBLMODEL_EXPORT Q_DECL_IMPORT
#endif
