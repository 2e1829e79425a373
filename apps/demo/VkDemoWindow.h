#pragma once

#include <vkwidgets/VkFramelessDialog.h>

class QFormLayout;
class QPushButton;
class VkLabel;

// The demo host's main window: shows the current project and opens each dialog of the library.
class VkDemoWindow : public VkFramelessDialog
{
    Q_OBJECT
public:
    explicit VkDemoWindow(QWidget* parent = nullptr);

    // Reads the current project's settings again and shows them.
    void refresh();
    // Runs the project settings dialog on the current project; on OK sends the accept event.
    void openProjectSettings();

protected:
    void RetranslateUi() override;

private:
    VkLabel* m_projectValue = nullptr;
    VkLabel* m_ratioValue = nullptr;
    VkLabel* m_resolutionValue = nullptr;
    VkLabel* m_frameRateValue = nullptr;
    VkLabel* m_colorSpaceValue = nullptr;
    QList<VkLabel*> m_captions;
    QPushButton* m_projectSettingsButton = nullptr;
};
