#pragma once

#include <QString>
#include <QStringList>

class VkDemoWindow;

// The demo's screenshot mode: every window rendered to a PNG file without a display.
class VkDemoScreenshots
{
public:
    // Renders the startup window (with the sample projects and with an empty library), the project
    // settings, the scene detection after a finished run on the sample clip, the properties of each
    // sample file, the unsupported image dialog and, last, the demo window with the ranges read back.
    // Returns the files written; what failed is described in errors.
    static QStringList saveAll(VkDemoWindow* window, const QString& dir, QStringList* errors);

    VkDemoScreenshots() = delete;
};
