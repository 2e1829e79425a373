#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkWidget.h>

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPoint>

class QTableWidget;
class VkScenceDetectPresenter;
class VkScenceDetectTable;

// The list of detected scenes, titled Scene 1, 2, 3 ... in row order. A click on a row asks for a
// preview of that scene; rows can be removed once the detection has ended. The list itself takes
// the keyboard (its table never does): the arrow keys, Home, End and the page keys move the current
// row, Enter previews it as a click does, and Delete removes it once its remove button is enabled.
class VKPOPUPDIALOG_EXPORT VkScenceDetectListWidget : public VkWidget
{
    Q_OBJECT
public:
    explicit VkScenceDetectListWidget(QWidget* parent);
    ~VkScenceDetectListWidget() override;

    void setPresenter(VkScenceDetectPresenter* presenter);
    void clear();
    bool hasItems() const;
    // One point per row, in row order: x the scene's first frame, y the first frame after it.
    QList<QPoint> detectRanges() const;
    void setDetecting(bool on);
    QTableWidget* table() const;
    void TranslateText() override;

signals:
    void sigPlaySceneRange(int start, int end, bool play = false);
    void sigStartDetect(bool start);
    void sigFinishDetect();
    void sigDetectProgress(int frames);
    void sigDeleteRange();
    void sigAllItemDeleted();

public slots:
    void slotDetectResult(qlonglong start, qlonglong end, qlonglong duration, QImage img);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void removeItem();
    void moveCurrentRow(int row);
    void addRow(qlonglong start, qlonglong end, qlonglong duration, const QImage& img);
    // Rows are made for at most a few tens of milliseconds per turn of the event loop; scenes that
    // arrive beyond that (a GUI thread that fell behind the detector) wait here for the next turns.
    bool rowTimeSpent();
    void addPendingRows();
    void addAllPendingRows();

    struct PendingScene
    {
        qlonglong start;
        qlonglong end;
        qlonglong duration;
        QImage img;
    };
    QList<PendingScene> m_pending;
    QElapsedTimer m_turnClock;
    bool m_turnOpen = false;

    VkScenceDetectTable* m_table = nullptr;
    bool m_detecting = false;
    VkScenceDetectPresenter* m_presenter = nullptr;
    Q_DISABLE_COPY(VkScenceDetectListWidget)
};
