#pragma once

#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkWidgetsExport.h>

#include <QWidget>

// Base of the product's panels, pages and rows. Paints the style sheet's background for its
// object name or colour type (a plain QWidget would not), and calls RetranslateUi() then
// TranslateText() whenever the application's language changes.
class VKWIDGETS_EXPORT VkWidget : public QWidget
{
    Q_OBJECT
public:
    explicit VkWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~VkWidget() override;

    void SetBGColorType(const VkSkinColor::VkColorType& type);
    void SetBGColorType(int type);

    // Text hooks; the defaults do nothing.
    virtual void RetranslateUi();
    virtual void TranslateText();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Q_DISABLE_COPY(VkWidget)
};
