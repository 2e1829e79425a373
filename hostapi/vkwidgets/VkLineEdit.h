#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QLineEdit>

// A single-line text field without the platform's context-menu extras.
class VKWIDGETS_EXPORT VkLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    // The field's fixed height in pixels.
    enum VkLineEditSizeType
    {
        LineEdit_Size24 = 24,
        LineEdit_Size28 = 28,
        LineEdit_Size32 = 32,
    };

    // A field of the default height (24 px), object name "VkLineEdit".
    static VkLineEdit* CreateLineEdit(QWidget* parent);
    // A field with a fixed height of the size type, object name "VkLineEdit_Normal".
    static VkLineEdit* creartNormalLineEdit(QWidget* parent, const VkLineEdit::VkLineEditSizeType& size);
    static VkLineEdit* creartNormalLineEdit(QWidget* parent, int size);

    explicit VkLineEdit(QWidget* parent = nullptr);
    ~VkLineEdit() override;

private:
    Q_DISABLE_COPY(VkLineEdit)
};
