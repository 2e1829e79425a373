#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QWidget>

#include <memory>

class QAbstractButton;

// A row of buttons in two groups, one at the left edge and one at the right, with free space
// between them.
class VKWIDGETS_EXPORT VkButtonBar : public QWidget
{
    Q_OBJECT
public:
    enum VButtonPosition
    {
        Position_Left = 0,
        Position_Right = 1,
    };

    explicit VkButtonBar(QWidget* parent = nullptr);
    ~VkButtonBar() override;

    // Puts button (reparented to the bar) into the group of position at index; -1 or an index past
    // the group's end appends. A button already in the bar moves.
    void AddButton(VkButtonBar::VButtonPosition position, QAbstractButton* button, int index);
    void AddButton(int position, QAbstractButton* button, int index);
    // Takes the button out of the bar without deleting it.
    void RemoveButton(QAbstractButton* button);
    // The buttons of one group, from left to right.
    QList<QAbstractButton*> Buttons(VkButtonBar::VButtonPosition position) const;

    void SetSpacing(int spacing);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkButtonBar)
};
