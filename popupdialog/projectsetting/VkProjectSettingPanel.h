#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkWidget.h>

#include <QPoint>

#include <memory>

namespace VKVBLMODEL {
struct VkProjectConfig;
enum VkProjectAspectRatioType : int;
} // namespace VKVBLMODEL

// The body of the project settings dialog: aspect ratio, frame size (a preset list plus typed
// width and height with a proportion lock), frame rate and colour space. Every control mirrors the
// presenter it owns; user actions go to the presenter, the presenter's signals come back here.
class VKPOPUPDIALOG_EXPORT VkProjectSettingPanel : public VkWidget
{
    Q_OBJECT
public:
    explicit VkProjectSettingPanel(QWidget* parent);
    ~VkProjectSettingPanel() override;

    // Warns about HDR colour where needed, saves into the current project and, when the frame rate
    // or size changed, asks the host to offer matching imported media to the project again.
    void DoAccept();
    // Fills `current` with the values being edited; true when any differs from the opening values.
    bool isDataChanged(VKVBLMODEL::VkProjectConfig& current);
    void RetranslateUi() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

protected slots:
    void slotRatioChanged();
    void slotResolutionChanged();
    void slotFramerateChanged();
    void slotColorSpaceChanged();
    void slotAspectRatioIndexChanged(int index);
    void slotResolutionIndexChanged(int index);
    void slotFrameRateIndexChanged(int index);
    void slotResolutionSpinChanged(double value);
    void slotColorSpaceIndexChanged(int index);
    void slotLockStateBtnClicked(int id, QPoint pos);

private:
    void initUI();
    void initAspectRatio();
    void initResolution();
    void initFrameRate();
    void initColorSpace();
    void initConnects();
    void initData();
    void checkColorSpaceSetting();
    void updateAspectRatioText();
    void updateAspectRatioText(const VKVBLMODEL::VkProjectAspectRatioType& type);
    bool isLockAspectRatio() const;
    void ResetResolutionSpinBox(const int& width, const int& height);

    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkProjectSettingPanel)
};
