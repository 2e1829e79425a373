#include <vkwidgets/VkDoubleSpinBox.h>

#include <QTimer>

namespace {

// Long enough to span the auto-repeat of a held arrow button and a fast turn of the wheel.
const int kEndValueDelayMs = 400;

} // namespace

VkDoubleSpinBox* VkDoubleSpinBox::CreateVkDoubleSpinBox(QWidget* parent)
{
    return new VkDoubleSpinBox(parent);
}

VkDoubleSpinBox::VkDoubleSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent)
    , m_stepTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("VkDoubleSpinBox"));
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_stepTimer->setSingleShot(true);
    m_stepTimer->setInterval(kEndValueDelayMs);
    connect(m_stepTimer, &QTimer::timeout, this, &VkDoubleSpinBox::finishSteps);
    connect(this, &QAbstractSpinBox::editingFinished, this, &VkDoubleSpinBox::sigEditFinished);
}

VkDoubleSpinBox::~VkDoubleSpinBox() = default;

void VkDoubleSpinBox::stepBy(int steps)
{
    if (!m_stepping) {
        m_stepping = true;
        m_valueBeforeSteps = value();
    }
    QDoubleSpinBox::stepBy(steps);
    m_stepTimer->start();
}

void VkDoubleSpinBox::FinishEdit()
{
    if (m_stepTimer->isActive()) {
        m_stepTimer->stop();
        finishSteps();
    }
    interpretText();
    emit sigEditFinished();
}

int VkDoubleSpinBox::EndValueDelay() const
{
    return m_stepTimer->interval();
}

void VkDoubleSpinBox::SetEndValueDelay(int milliseconds)
{
    m_stepTimer->setInterval(qMax(0, milliseconds));
}

void VkDoubleSpinBox::finishSteps()
{
    m_stepping = false;
    // Steps that hit the range's end leave the value as it was; nothing ended then.
    if (value() != m_valueBeforeSteps)
        emit sigEndValueChanged();
}
