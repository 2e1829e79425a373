#pragma once

#include "MediaPropertyFakes.h"
#include "SceneDetectFakes.h"
#include "VkTestStrings.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkStartupDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>

#include <QtTest>

#include <memory>

// Starts a detection and lets the fake detector report `scenes` and its end (the suite has made
// FakeDetector the detector's factory).
inline void detect(VkScenceDetectionDlg& dlg, const QList<QPoint>& scenes)
{
    dlg.startDetect();
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector);
    for (const QPoint& s : scenes)
        QVERIFY(detector->scene(s.x(), s.y()));
    QVERIFY(detector->finished());
    QCoreApplication::processEvents();
}

inline const QList<QPoint> kThreeScenes{{0, 120}, {120, 300}, {300, 450}};

// One dialog by its name ("startup", "project settings", "scene detection" with three scenes, "video
// properties", "png properties", "stock properties" with the credit links, "unsupported image") with
// the borrowed objects it needs, which must outlive it. The translation suite opens its dialogs here too.
struct DialogUnderTest
{
    explicit DialogUnderTest(const QString& name)
    {
        using namespace VkTestLiterals;
        const bool png = name == "png properties"_s;
        info.streamFlags = png ? IVkMediaInfo::StreamFlag_Image
                               : IVkMediaInfo::StreamFlag_Video | IVkMediaInfo::StreamFlag_Audio;
        info.width = 1920;
        info.height = 1080;
        item.reset(name == "stock properties"_s ? new FakeStockItem : new FakeItem);
        item->info = &info;
        item->sourcePath = item->filePath = png ? "/m/logo.png"_s : "/m/clip.mp4"_s;
        if (item->stock) {
            item->stockSite = IVkAbstractMedia::StockSite_Pixabay;
            item->stockSource = 1000;
        }
        if (name == "startup"_s)
            dialog = std::make_unique<VkStartupDlg>(nullptr);
        else if (name == "project settings"_s)
            dialog = std::make_unique<VkProjectSettingDialog>(nullptr);
        else if (name == "scene detection"_s)
            dialog = std::make_unique<VkScenceDetectionDlg>(&clip, nullptr);
        else if (name == "unsupported image"_s)
            dialog = std::make_unique<VkUnsupportedImgFileDialog>(QStringList{"huge.tif"_s, "bigger.png"_s},
                                                                  nullptr);
        else
            dialog = std::make_unique<VkMediaPropertyDialog>(item.get(), nullptr);
        if (auto* scenes = qobject_cast<VkScenceDetectionDlg*>(dialog.get()))
            detect(*scenes, kThreeScenes);
    }

    FakeMediaInfo info;
    std::unique_ptr<FakeItem> item;
    FakeVideoItem clip;
    std::unique_ptr<QDialog> dialog;
};
