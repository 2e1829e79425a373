#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkShadowDialog.h>

class VkBaseButton;
class VkProjectSettingPanel;

// The project settings window: the settings panel with OK (save, result 1) and CANCEL (discard,
// result 0). The host runs it with DoModal().
class VKPOPUPDIALOG_EXPORT VkProjectSettingDialog : public VkShadowDialog
{
    Q_OBJECT
public:
    explicit VkProjectSettingDialog(QWidget* parent);
    ~VkProjectSettingDialog() override;

    // The texts are set once, when the dialog is built; a dialog opened for one edit does not follow
    // a language change.
    void RetranslateUi() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void initUI();
    void initConnects();

    VkProjectSettingPanel* m_panel = nullptr;
    VkBaseButton* m_okButton = nullptr;
    VkBaseButton* m_cancelButton = nullptr;
    Q_DISABLE_COPY(VkProjectSettingDialog)
};
