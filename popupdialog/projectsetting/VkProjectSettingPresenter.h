#pragma once

#include <VkPopupDialogExport.h>

#include <QList>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>
#include <tuple>
#include <vector>

namespace VKVBLMODEL {
struct VkProjectConfig;
enum VkProjectColorSpaceType : int;
enum VkProjectFrameRateType : int;
} // namespace VKVBLMODEL

// One preset frame size of an aspect ratio; 0 x 0 is the "Custom" row, a size the user types in.
struct ResolutionEntry
{
    int width = 0;
    int height = 0;
    QString name;
};

// The preset frame sizes offered for one aspect ratio, with the row chosen when the ratio is picked.
struct ResolutionGroup
{
    int type = 0;
    QString name;
    int defaultIndex = 0;
    QList<ResolutionEntry> rows;
};

// Holds the project settings being edited (aspect ratio, frame size, frame rate, colour space and
// the proportion lock), keeps them consistent with each other, and writes them to the current
// project on Save(). Draws nothing: the settings panel follows its signals.
class VKPOPUPDIALOG_EXPORT VkProjectSettingPresenter : public QObject
{
    Q_OBJECT
public:
    VkProjectSettingPresenter();
    ~VkProjectSettingPresenter() override;

    std::vector<std::tuple<int, QString>> GetRatioList() const;
    std::vector<std::tuple<int, int, QString>> GetResolutionList() const;
    int GetDefaultResolutionIndex() const;
    std::vector<std::tuple<int, QString>> GetFramerateList() const;
    std::vector<std::tuple<int, QString>> GetColorSpaceList() const;

    int GetRatio() const;
    QSize GetResolution() const;
    int GetFramerate() const;
    int GetColorSpace() const;
    bool GetIsLockRatio() const;
    // The side that keeps the lock resolution's proportion for the other side given.
    int GetLockHeight(int width) const;
    int GetLockWith(int height) const;

    void SetRatio(int type);
    void SetResolution(QSize size);
    void SetFramerate(int frameRate);
    void SetColorSpace(int colorSpace);
    void SetIsLockRatio(bool locked);
    void SetLockResolution(QSize size);

    void getData(VKVBLMODEL::VkProjectConfig& config) const;
    QString getColorSpaceStr(VKVBLMODEL::VkProjectColorSpaceType type) const;
    QString getFramerateStr(VKVBLMODEL::VkProjectFrameRateType type) const;

    void Save();

    // Display name of a fixed aspect ratio (types 1 to 7), in the language active at first use.
    static QString getRatioStr(int type);
    // The width:height pair shown for a ratio: the fixed pair of types 1 to 7, the reduced size for
    // the custom type 0, (-1, -1) for anything else.
    static QSize ratioSizeOf(int type, int width, int height);
    // Video encoders want even frame sides: an odd value goes up by one.
    static int roundUpToEven(int n);

signals:
    void signalRatioChanged();
    void signalResolutionChanged();
    void signalFramerateChanged();

private:
    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkProjectSettingPresenter)
};
