#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QSlider>

// The position slider of the player's tool bar. A press on the groove jumps to that position at
// once (the platform default would only page towards it); sigUserSeek reports every position the
// user asks for, by press or by drag, and never a position set by code.
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

private:
    Q_DISABLE_COPY(VkToolSlider)
};
