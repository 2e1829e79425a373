#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkWidget.h>

#include <QPoint>

class VkLabel;
class VkToolButton;

// One detected scene: its thumbnail, title, duration, time range and a remove button.
class VKPOPUPDIALOG_EXPORT VkScenceDetectListItem : public VkWidget
{
    Q_OBJECT
public:
    explicit VkScenceDetectListItem(QWidget* parent);
    ~VkScenceDetectListItem() override;

    void setData(int start, int end, const QPixmap& thumbnail, const QString& startText,
                 const QString& endText, const QString& durationText);
    // Marks the row's labels so that the style sheet's "selected" rules apply at once.
    void setSelected(bool on);
    // [first frame, first frame after the scene).
    QPoint range() const;
    VkLabel* titleLabel() const;
    VkToolButton* removeButton() const;
    // Names the remove button and the time range after the row's current title; the list calls it
    // whenever it numbers the row.
    void updateAccessibleNames();
    void TranslateText() override;
    // While held, the row ignores requests to show it. The table shows every widget it is given,
    // which styles and lays out all of the row's children; a row that arrives out of sight is held
    // through that and left for the table to show once it is scrolled into view.
    void setShowHeld(bool held);
    void setVisible(bool visible) override;

signals:
    void sigRemoveItem();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    VkLabel* m_thumbnailLabel = nullptr;
    VkLabel* m_titleLabel = nullptr;
    VkLabel* m_durationLabel = nullptr;
    VkLabel* m_rangeLabel = nullptr;
    VkToolButton* m_removeButton = nullptr;
    QPoint m_range;
    bool m_showHeld = false;
    Q_DISABLE_COPY(VkScenceDetectListItem)
};
