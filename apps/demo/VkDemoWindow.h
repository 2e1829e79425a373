#pragma once

#include <vkcore/VkLocale.h>
#include <vkwidgets/VkFramelessDialog.h>

#include <QList>
#include <QPoint>

#include <memory>

class IVkAbstractMediaItem;

// The demo host's main window: shows the current project and a chosen media file, opens each
// dialog of the library on them and shows what the host reads back; switches the language.
class VkDemoWindow : public VkFramelessDialog
{
    Q_OBJECT
public:
    explicit VkDemoWindow(QWidget* parent = nullptr);
    ~VkDemoWindow() override;

    // Reads the current project's settings and the chosen item again and shows them.
    void refresh();

    // The files offered for scene detection and the properties, first one chosen.
    void setMediaFiles(const QStringList& paths);
    // Adds a file (or chooses it when it is offered already).
    void chooseMediaFile(const QString& path);
    QString currentMediaFile() const;
    // The media item of a file, made on first use and kept, so that a rename lasts while the demo
    // runs; null with a message in error for a file that is not media.
    IVkAbstractMediaItem* mediaItem(const QString& path, QString* error);

    // Runs the project settings dialog on the current project; on OK sends the accept event.
    void openProjectSettings();
    // Runs scene detection on the chosen clip, started at once, and lists the ranges read back.
    void openSceneDetection();
    // Runs the properties on the chosen file and applies a rename to its item.
    void openProperties();
    // Tells about the image files on offer as if they were too large to edit.
    void openUnsupportedImage();
    // The image files on offer, in the order offered.
    QStringList imageFiles() const;

    // Lists scene ranges as the host read them back (x first frame, y first frame after).
    void showSceneRanges(const QList<QPoint>& ranges);
    QList<QPoint> sceneRanges() const;

    // Switches the whole application; every open window retranslates itself. False, with the reason
    // shown to the user, when the catalogue cannot be loaded.
    bool switchLanguage(VkLocale::VkLanguageType language);
    // English and every language whose catalogue ships with the library.
    static QList<VkLocale::VkLanguageType> availableLanguages();

protected:
    void RetranslateUi() override;

private:
    void browseMediaFile();
    void showMessage(const QString& text);

    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkDemoWindow)
};
