#pragma once

#include <vkwidgets/VkDialog.h>
#include <vkwidgets/VkWidgetsExport.h>

#include <memory>

class VkPushButtonBar;
class VkTopLevelWindowTitleBar;

// A frameless dialog built from a title bar, a body (SetContentWidget) and a bottom button bar,
// stacked in a QVBoxLayout inside a one-pixel border. The title bar shows the close button
// (SetButtons(32)), which runs CloseByFrame().
class VKWIDGETS_EXPORT VkFramelessDialog : public VkDialog
{
    Q_OBJECT
public:
    // fixedSize: when false a size grip in the bottom-right corner lets the user resize the window;
    // when true the user cannot resize it. showTitleBar: whether the title bar is visible.
    explicit VkFramelessDialog(QWidget* parent = nullptr, bool fixedSize = true, bool showTitleBar = true);
    ~VkFramelessDialog() override;

    // The title text; centred when true, at the left edge otherwise.
    void SetTitleName(const QString& title, bool centred);
    VkTopLevelWindowTitleBar* GetTitleBar() const;

    // Makes widget the dialog's body (reparented to the dialog, stretched between the bars). A body
    // set before is taken out of the layout and deleted.
    void SetContentWidget(QWidget* widget);
    QWidget* ContentWidget() const;

    void SetBottomBarVisible(bool visible);
    VkPushButtonBar* ButtonBar() const;

    // Fixes the width to VkDialog::WidthOf(kind) and the height to the smaller of the current
    // height and maxHeight, so that a taller body scrolls instead of growing the window.
    void SetFixedSize(const VkDialog::VWidthKind& kind, int maxHeight);
    void SetFixedSize(int kind, int maxHeight);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkFramelessDialog)
};
