#pragma once

#include <vkwidgets/VkBaseShadowDialog.h>
#include <vkwidgets/VkWidgetsExport.h>

class VkTopLevelWindowTitleBar;

// A frameless dialog with a title bar. Derived dialogs place their children at absolute
// coordinates from the window's origin; the base reserves no margin.
//
// Before the derived class's resizeEvent runs, the base puts the title bar at
// (0, 0, width, m_titleBarHeight) and the title area at (0, 0, width, m_titleBarHeight); a derived
// resizeEvent may place either elsewhere. The title bar starts without buttons (SetButtons(0));
// its close button, once shown, runs CloseByFrame(). Dragging the title bar or an empty spot of the
// title area moves the window.
class VKWIDGETS_EXPORT VkShadowDialog : public VkBaseShadowDialog
{
    Q_OBJECT
public:
    explicit VkShadowDialog(QWidget* parent = nullptr);
    ~VkShadowDialog() override;

protected:
    bool event(QEvent* event) override;

    // The window's title bar (object name "VkShadowDialog_TitleBar"), a child of the dialog.
    VkTopLevelWindowTitleBar* m_titleBar = nullptr;
    // The title bar's height in pixels.
    int m_titleBarHeight = 32;
    // A transparent strip over the title bar (object name "VkShadowDialog_TitleArea") that parents
    // tool buttons of the derived dialog. Only its visible children take mouse clicks; elsewhere
    // clicks reach the title bar below, so its buttons stay usable.
    QWidget* m_titleArea = nullptr;

private:
    void placeTitle();
    Q_DISABLE_COPY(VkShadowDialog)
};
