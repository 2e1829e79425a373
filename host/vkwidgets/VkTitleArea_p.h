#pragma once

#include <QWidget>

namespace VkWidgetsInternal {

// A transparent strip that lies over a title bar and parents extra title buttons. Its mask follows
// its visible children, so clicks between them fall through to the title bar underneath; with no
// visible child it lets every click through.
class VkTitleArea : public QWidget
{
    Q_OBJECT
public:
    explicit VkTitleArea(QWidget* parent);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateMask();
};

} // namespace VkWidgetsInternal
