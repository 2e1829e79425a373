#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkShadowDialog.h>

class QImage;
class QListWidgetItem;

// The window shown when the editor starts: New Project, Open Project, and the library of recent
// projects with a search box. It ends with result 1 on every way out it offers; the host then asks
// which project file was chosen (empty for a new project).
class VKPOPUPDIALOG_EXPORT VkStartupDlg : public VkShadowDialog
{
    Q_OBJECT
public:
    explicit VkStartupDlg(QWidget* parent);
    ~VkStartupDlg() override;

    QString GetOpenProject();
    // The ratio list on the left is not handed out: new projects start at the model's defaults.
    QString GetProjectScaleString();
    bool IsShowProjectListWindowCheckBoxChecked();
    bool UseSearch();
    void TranslateText() override;
    // Escape ends the window as its close button does, with result 1.
    void CloseByFrame() override;

signals:
    void sigNewProject();
    void sigOpenProject();

private slots:
    void slotNewProject();
    void slotOpenProject();
    void slotOpenProjectButtonClicked();
    void slotItemDoubleClicked(QListWidgetItem* item);
    void slotItemSelectionChanged();
    void slotFindTextChanged(QString text);
    void slotBuy();
    void slotHelp();
    void slotClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void initUI();
    void initConnects();
    void doTranslateText();
    void InitProjectLibarayList();
    void UpdateEmptyUI(bool empty);
    void removeRow();
    void showThumbnail(const QString& source, const QImage& image);
    void fillAspectRatios();

    struct Private;
    Private* const d;
    Q_DISABLE_COPY(VkStartupDlg)
};
