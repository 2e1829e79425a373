#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkFramelessDialog.h>

#include <memory>

class QStringList;

// Tells the user that the listed image files are too large to edit well, numbered one per line.
// Its only way out, OK, ends the modal run with result 0; there is nothing else to read back.
class VKPOPUPDIALOG_EXPORT VkUnsupportedImgFileDialog : public VkFramelessDialog
{
    Q_OBJECT
public:
    VkUnsupportedImgFileDialog(const QStringList& files, QWidget* parent);
    ~VkUnsupportedImgFileDialog() override;

    void RetranslateUi() override;

private slots:
    void slotClose();
    void slotCustomerService(const QString& url);

private:
    void InitUI();
    void Connect();

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkUnsupportedImgFileDialog)
};
