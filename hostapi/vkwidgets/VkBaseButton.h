#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QPoint>
#include <QPushButton>

// A push button dressed by its object name. Besides clicked() it emits Clicked(id, pos) with the
// button's id (see ButtonId) and the global position of the click: where the mouse was released,
// or the button's centre when the click came from the keyboard or from click().
class VKWIDGETS_EXPORT VkBaseButton : public QPushButton
{
    Q_OBJECT
public:
    VkBaseButton(const QString& objectName, QWidget* parent);
    explicit VkBaseButton(QWidget* parent = nullptr);
    ~VkBaseButton() override;

    // The id that Clicked carries; 0 for a plain button.
    virtual int ButtonId() const;

signals:
    void Clicked(int id, QPoint pos);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The style's painting, then the keyboard focus mark.
    void paintEvent(QPaintEvent* event) override;

private:
    void emitClicked();

    QPoint m_releasePos;
    bool m_releasedByMouse = false;
    Q_DISABLE_COPY(VkBaseButton)
};
