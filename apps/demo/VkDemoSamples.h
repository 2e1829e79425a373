#pragma once

#include <QString>
#include <QStringList>

// Sample data the demo creates on first run, so that every dialog has something to show.
class VkDemoSamples
{
public:
    // Six projects with pictures under the projects folder, listed in the recent projects.
    // Returns the project paths; existing samples are kept as they are.
    static QStringList ensureProjects(QString* error);

    VkDemoSamples() = delete;
};
