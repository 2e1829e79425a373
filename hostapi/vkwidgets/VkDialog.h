#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QDialog>

// Base of the product's framed dialogs. Escape, the window system's close request and the title
// bar's close button all run CloseByFrame(), which rejects (result 0) unless a dialog overrides it.
// Enter presses the focused button. On a language change it calls RetranslateUi() then
// TranslateText().
class VKWIDGETS_EXPORT VkDialog : public QDialog
{
    Q_OBJECT
public:
    // Width classes of the dialogs; see VkFramelessDialog::SetFixedSize.
    enum VWidthKind
    {
        Width_Small = 0,  // 480 px: message boxes, properties
        Width_Medium = 1, // 640 px
        Width_Large = 2,  // 800 px
        Width_Huge = 3,   // 1200 px: dialogs with a preview player
    };
    static int WidthOf(VWidthKind kind);

    explicit VkDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~VkDialog() override;

    // Runs the dialog modally and returns the code given to done().
    virtual int DoModal();
    // Whether the dialog belongs to the sign-in pages or to the satisfaction survey; neither here.
    virtual bool InLoginSeriesPage();
    virtual bool InNPSPage();
    // Text hooks; the defaults do nothing.
    virtual void RetranslateUi();
    virtual void TranslateText();
    // How the frame closes the dialog. A dialog whose own close or cancel path ends with another
    // result overrides this so that Escape ends it the same way.
    virtual void CloseByFrame();

    void resize(int width, int height);
    void resize(const QSize& size);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Q_DISABLE_COPY(VkDialog)
};
