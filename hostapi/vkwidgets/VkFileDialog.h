#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QString>

class QWidget;

// File choosers drawn by Qt itself (object name "VkFileDialog"), so that they look like the rest of
// the product and work on every platform plug-in.
class VKWIDGETS_EXPORT VkFileDialog
{
public:
    // Runs a chooser for one existing file; the chosen path, or an empty string when cancelled.
    // selectedFilter, when given, picks the filter shown first and receives the one in use.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter, QString* selectedFilter);

    VkFileDialog() = delete;
};
