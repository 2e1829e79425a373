#include <vkwidgets/VkStateButton.h>

#include <vkwidgets/VkUIStyle.h>

VkStateButton::VkStateButton(int currentId, const QString& text, QWidget* parent)
    : VkBaseButton(QString(), parent)
    , m_currentId(currentId)
    , m_requestedId(currentId)
{
    setText(text);
}

VkStateButton::~VkStateButton() = default;

void VkStateButton::AddButton(int id, const QString& objectName)
{
    const bool hadCurrent = m_states.contains(m_currentId);
    m_states.insert(id, objectName);
    // Until the state asked for at construction exists, the first registered one stands in.
    if (id == m_requestedId || !hadCurrent)
        m_currentId = id;
    if (id == m_currentId)
        applyState();
}

void VkStateButton::SetCurrentButtonId(int id)
{
    if (!m_states.contains(id))
        return;
    m_currentId = id;
    m_requestedId = id;
    applyState();
}

int VkStateButton::CurrentButtonId() const
{
    return m_currentId;
}

QList<int> VkStateButton::ButtonIds() const
{
    return m_states.keys();
}

int VkStateButton::ButtonId() const
{
    return m_currentId;
}

void VkStateButton::applyState()
{
    // The look of a state is the style sheet's rule for its object name.
    setObjectName(m_states.value(m_currentId));
    VkUIStyle::RePolish(this);
}
