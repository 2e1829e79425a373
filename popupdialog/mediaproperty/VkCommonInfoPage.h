#pragma once

#include <vkwidgets/VkWidget.h>

#include <memory>

class VkCommonInfoPageManager;

// The first page of the properties dialog: the item's name (editable where the library allows a
// rename), its location, size, duration and creation date, and for stock and library items their
// format, keywords, copyright and author credit. A rename is only reported, never written.
class VkCommonInfoPage : public VkWidget
{
    Q_OBJECT
public:
    VkCommonInfoPage(VkCommonInfoPageManager* manager, QWidget* parent);
    ~VkCommonInfoPage() override;

    void RetranslateUi() override;
    // Emits sigNameChanged with the typed name, trimmed, when it is not blank and differs from the
    // name the page opened with.
    void CheckNameChanged();

signals:
    void sigNameChanged(const QString& newName);

private:
    void InitUI();
    void InitData();
    void NameRows();

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkCommonInfoPage)
};
