#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QDialog>

// Base of the frameless dialogs that draw their own frame: paints the style sheet's background
// and a one-pixel border at the window's edge (children placed from (1, 1) stay inside it).
// Escape and closing the window keep QDialog's behaviour (reject, result 0). On a language change
// it calls RetranslateUi() then TranslateText().
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

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;

private:
    Q_DISABLE_COPY(VkBaseShadowDialog)
};
