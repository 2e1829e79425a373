#pragma once

#include <QtCore/qglobal.h>

#if defined(VKPOPUPDIALOG_LIBRARY)
#define VKPOPUPDIALOG_EXPORT Q_DECL_EXPORT
#else
#define VKPOPUPDIALOG_EXPORT Q_DECL_IMPORT
#endif
