#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QDialog>

// Base of the frameless dialogs that draw their own frame: paints the style sheet's background
// and a one-pixel border at the window's edge (children placed from (1, 1) stay inside it).
// Escape, the window system's close request and the derived frames' close buttons all run
// CloseByFrame(), which rejects (result 0) unless a dialog overrides it. Enter presses the focused
// button. On a language change it calls RetranslateUi() then TranslateText().
class VKWIDGETS_EXPORT VkBaseShadowDialog : public QDialog
{
    Q_OBJECT
public:
    explicit VkBaseShadowDialog(QWidget* parent = nullptr);
    ~VkBaseShadowDialog() override;

    // Runs the dialog modally and returns the code given to done().
    virtual int DoModal();
    virtual bool InLoginSeriesPage();
    virtual bool InNPSPage();
    // Text hooks; the defaults do nothing.
    virtual void RetranslateUi();
    virtual void TranslateText();
    // How the frame closes the dialog. A dialog whose own close or cancel path ends with another
    // result overrides this so that Escape ends it the same way.
    virtual void CloseByFrame();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;

private:
    Q_DISABLE_COPY(VkBaseShadowDialog)
};
