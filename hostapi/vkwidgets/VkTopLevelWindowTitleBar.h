#pragma once

#include <vkwidgets/VkWidget.h>
#include <vkwidgets/VkWidgetsExport.h>

#include <memory>

// The title bar of the product's frameless windows: a title and up to three window buttons.
// Dragging it with the left mouse button moves its window.
class VKWIDGETS_EXPORT VkTopLevelWindowTitleBar : public VkWidget
{
    Q_OBJECT
public:
    // Flags of SetButtons, combined with |.
    enum VTitleButton
    {
        Button_None = 0,
        Button_Minimize = 1,
        Button_Maximize = 2,
        Button_Close = 32,
    };

    explicit VkTopLevelWindowTitleBar(QWidget* parent = nullptr);
    ~VkTopLevelWindowTitleBar() override;

    // The title text; centred when true, at the left edge otherwise.
    void SetTitleName(QString title, bool centred);
    QString TitleName() const;

    // Shows the buttons whose flags are set (1 minimise, 2 maximise, 32 close), hides the others.
    void SetButtons(int buttons);
    int Buttons() const;
    // Tool tips and accessible names of the window buttons.
    void TranslateText() override;

signals:
    void sigMinimize();
    void sigMaximize();
    void sigClose();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkTopLevelWindowTitleBar)
};
