#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QDoubleSpinBox>

class QTimer;

// A spin box for numbers that reports the end of an edit rather than every keystroke or step:
// - sigEditFinished() when typing ends (Enter, or the field loses focus);
// - sigEndValueChanged() once after a burst of steps (arrow buttons, arrow keys, page keys, the
//   mouse wheel) has stopped for EndValueDelay() milliseconds, and only if the value changed.
// FinishEdit() ends an edit at once, for a window that closes through a button which does not take
// the focus (the field then never loses it) or within the delay after the last step.
class VKWIDGETS_EXPORT VkDoubleSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    static VkDoubleSpinBox* CreateVkDoubleSpinBox(QWidget* parent);

    explicit VkDoubleSpinBox(QWidget* parent = nullptr);
    ~VkDoubleSpinBox() override;

    void stepBy(int steps) override;

    // Takes typed text and emits sigEditFinished(), as leaving the field would; steps still within
    // their delay send sigEndValueChanged() now instead of later.
    void FinishEdit();

    int EndValueDelay() const;
    void SetEndValueDelay(int milliseconds);

signals:
    void sigEditFinished();
    void sigEndValueChanged();

private:
    void finishSteps();

    QTimer* m_stepTimer;
    double m_valueBeforeSteps = 0.0;
    bool m_stepping = false;
    Q_DISABLE_COPY(VkDoubleSpinBox)
};
