#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkFramelessDialog.h>

#include <memory>

class IVkAbstractMediaItem;

// The "Properties" window of one media item: a scrolling stack of read-only pages chosen by the
// kind of media (common facts first, then video, audio or photo), with a rename and, for a PNG,
// the choice of how its alpha channel is read. OK reports a rename through sigNameChanged (the host
// renames the item), writes a PNG's alpha choice into the item and ends with result 1; a cancel
// ends with 0 and changes nothing. The item is borrowed and must outlive the dialog.
class VKPOPUPDIALOG_EXPORT VkMediaPropertyDialog : public VkFramelessDialog
{
    Q_OBJECT
public:
    VkMediaPropertyDialog(IVkAbstractMediaItem* item, QWidget* parent);
    ~VkMediaPropertyDialog() override;

    void RetranslateUi() override;
    // Escape and the title bar's close button end the window through its cancel path.
    void CloseByFrame() override;

signals:
    void sigNameChanged(const QString& newName);

protected:
    void ConnectSignals();

private slots:
    void slotOk();
    void slotCancel();

private:
    void InitUI();

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkMediaPropertyDialog)
};
