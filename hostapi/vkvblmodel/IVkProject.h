#pragma once

#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

class IVkProjectCompanion;
class QImage;
class QPixmap;

// A project of the editor. A project with a file writes every change through to it at once.
class VKVBLMODEL_EXPORT IVkProject
{
public:
    virtual ~IVkProject();

    virtual void getProjectConfig(VKVBLMODEL::VkProjectConfig& config) const = 0;
    // Takes the whole record. The next read sees it even when the file could not be written; then
    // lastWriteError() says why.
    virtual void setProjectConfig(const VKVBLMODEL::VkProjectConfig& config) = 0;
    // The project's main sequence; owned by the project, never null.
    virtual IVkProjectCompanion* companion() = 0;

    // The project file; empty for a project that was never saved.
    virtual QString filePath() const = 0;
    virtual QString name() const = 0;
    // Keeps image (as PNG) inside the project as its thumbnail; a null image removes it.
    virtual bool setThumbnail(const QImage& image, QString* error) = 0;
    // Why the last write to the project file failed; empty after a successful one.
    virtual QString lastWriteError() const = 0;

    // The thumbnail kept inside the project file at projectPath; a null pixmap when the file has
    // none or cannot be read.
    static QPixmap getThumbnail(const QString& projectPath);

protected:
    IVkProject() = default;

private:
    Q_DISABLE_COPY(IVkProject)
};
