#pragma once

#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkWidgetsExport.h>

#include <QMap>

// A button with several states, each with an id and a look. AddButton(id, objectName) registers a
// state whose look is the style sheet's rule for objectName; the button takes the object name of
// its current state. A click does not change the state: it emits Clicked(CurrentButtonId(), pos)
// and the owner decides what comes next.
class VKWIDGETS_EXPORT VkStateButton : public VkBaseButton
{
    Q_OBJECT
public:
    // currentId: the state to show once it is registered; text: shown beside the state's icon.
    VkStateButton(int currentId, const QString& text, QWidget* parent);
    ~VkStateButton() override;

    // Registers (or re-dresses) the state id. Until the current id given at construction is
    // registered, the first state registered is shown.
    void AddButton(int id, const QString& objectName);
    // Switches to a registered state; an unknown id is ignored.
    void SetCurrentButtonId(int id);
    int CurrentButtonId() const;
    QList<int> ButtonIds() const;

    int ButtonId() const override;

private:
    void applyState();

    QMap<int, QString> m_states;
    int m_currentId;
    int m_requestedId;
    Q_DISABLE_COPY(VkStateButton)
};
