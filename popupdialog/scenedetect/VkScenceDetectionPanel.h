#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkWidget.h>

#include <QList>
#include <QPoint>

class IVkAbstractMediaItem;
class VkPushButton;
class VkRepaintPacer;
class VkScenceDetectListWidget;
class VkScenceDetectPlayerView;
class VkScenceDetectPresenter;
class VkScenceDetectProgress;

// The body of the scene detection window: the preview on the left, the scene list on the right,
// and "Detect" (or "Stop" while a detection runs) and "Add To Timeline" below.
class VKPOPUPDIALOG_EXPORT VkScenceDetectionPanel : public VkWidget
{
    Q_OBJECT
public:
    VkScenceDetectionPanel(IVkAbstractMediaItem* media, QWidget* parent);
    ~VkScenceDetectionPanel() override;

    // As a click on the detect button: starts a detection, or asks a running one to stop.
    void startDetect();
    QList<QPoint> detectRanges() const;
    void RetranslateUi() override;
    void TranslateText() override;

signals:
    void sigDone(int code);

private slots:
    void slotAddToTimeline();
    void slotDetect();
    void slotPlaySceneRange(int start, int end, bool play);
    void slotStartDetect();
    void slotDetectProgress(int frames);
    void slotFinishDetect();
    void slotStopDetect();
    void slotDeleteRange();
    void slotAllItemDeleted();

private:
    // Shows the presenter's state: running or not, whatever the notifications said last.
    void showDetectState();

    VkScenceDetectPlayerView* m_playerView = nullptr;
    VkScenceDetectListWidget* m_list = nullptr;
    VkPushButton* m_addButton = nullptr;
    VkPushButton* m_detectButton = nullptr;
    VkScenceDetectPresenter* m_presenter = nullptr;
    // What the detect button shows: "Stop" (true) or "Detect".
    bool m_showsRunning = false;
    VkScenceDetectProgress* m_progress = nullptr;
    // Paces the window's repaints while scenes stream in.
    VkRepaintPacer* m_pacer = nullptr;
    Q_DISABLE_COPY(VkScenceDetectionPanel)
};
