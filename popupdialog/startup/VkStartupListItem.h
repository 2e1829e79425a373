#pragma once

#include "VkProjectLibrary.h"

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkWidget.h>

class VkLabel;
class VkToolButton;

// One recent project in the startup window's library: thumbnail, name, creation time, file size
// and a delete button.
class VKPOPUPDIALOG_EXPORT VkStartupListItem : public VkWidget
{
    Q_OBJECT
public:
    VkStartupListItem(const ProjectLibraryRecord& record, QWidget* parent);
    ~VkStartupListItem() override;

    // The row paints its highlight while selected; the list repaints it when the selection changes.
    void setSelected(bool selected);
    bool isSelected() const;
    // The row outlines itself while it is the current row of a focused list (keyboard position).
    void setCurrent(bool current);
    bool isCurrent() const;
    // The name as shown, shortened with an ellipsis when it is wider than the row allows.
    QString projectName() const;
    VkProjectRecentInfo* recentInfo() const;
    // The file the row's picture comes from (ProjectLibraryRecord::thumbnailSource).
    QString thumbnailSource() const;
    // Shows a picture that arrived after the row was built.
    void setThumbnail(const QPixmap& thumbnail);
    void TranslateText() override;

    static constexpr int kNameWidth = 160;
    static constexpr int kNamePixelSize = 14;

signals:
    void sigRemoveItem();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    VkLabel* m_thumbLabel = nullptr;
    VkLabel* m_nameLabel = nullptr;
    VkLabel* m_timeLabel = nullptr;
    VkLabel* m_sizeLabel = nullptr;
    VkToolButton* m_deleteButton = nullptr;
    VkProjectRecentInfo* m_recentInfo = nullptr;
    bool m_selected = false;
    bool m_current = false;
    // The whole name, for the delete button's accessible name (the label may show it shortened).
    QString m_fullName;
    QPixmap m_thumbnail;
    QString m_thumbnailSource;
    Q_DISABLE_COPY(VkStartupListItem)
};
