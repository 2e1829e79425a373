#pragma once

#include <vkwidgets/VMessageDialog.h>

#include <QApplication>
#include <QStringList>
#include <QTimer>

// Answers every message box that a test's code opens modally: while it lives it looks for a shown
// VMessageDialog, records its text and accepts it, so a test that raises one cannot hang.
class VkMessageBoxAnswerer : public QObject
{
public:
    VkMessageBoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &VkMessageBoxAnswerer::answer);
        m_timer.start(10);
    }

    QStringList texts;

private:
    void answer()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<VMessageDialog*>(w);
            if (box && box->isVisible()) {
                texts << box->Text();
                box->accept();
            }
        }
    }

    QTimer m_timer;
};
