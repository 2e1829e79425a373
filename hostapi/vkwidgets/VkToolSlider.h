#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QSlider>
#include <QStyle>

class QStyleOptionSlider;

// The position slider of the player's tool bar. A press on the groove jumps to that position at
// once (the platform default would only page towards it). Tab reaches it (a click does not take the
// focus from the dialog's buttons); then the handle wears a ring of the accent colour, the arrow keys
// step one unit, Page Up and Page Down a page, Home and End go to the ends. sigUserSeek reports every
// position the user asks for, by press, drag or key, and never a position set by code.
class VKWIDGETS_EXPORT VkToolSlider : public QSlider
{
    Q_OBJECT
public:
    explicit VkToolSlider(QWidget* parent = nullptr);
    VkToolSlider(Qt::Orientation orientation, QWidget* parent);
    ~VkToolSlider() override;

signals:
    void sigUserSeek(int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QStyle::SubControl hoveredControl(const QStyleOptionSlider& option) const;

    Q_DISABLE_COPY(VkToolSlider)
};
