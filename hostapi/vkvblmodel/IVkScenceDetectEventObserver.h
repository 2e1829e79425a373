#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QtGlobal>

// Receives a scene detector's notifications, on the detector's own thread. Each returns whether the
// observer took the notification. Observers are never deleted through this interface.
class VKVBLMODEL_EXPORT IVkScenceDetectEventObserver
{
public:
    IVkScenceDetectEventObserver();

    // The decode loop is running (sent once, before any scene).
    virtual bool onDetectBegin() = 0;
    // The whole clip was analysed; every scene has been sent.
    virtual bool onDetectFinished() = 0;
    // Detection ended early because stop() was called.
    virtual bool onDetectStopped() = 0;
    // Detection ended early because the file could not be decoded further.
    virtual bool onDetectFailed() = 0;
    // One scene, the half-open frame range [startFrame, endFrame).
    virtual bool onSceneDetected(qint64 startFrame, qint64 endFrame) = 0;
    // Frames analysed so far out of the clip's `frameCount`: for the first frame, then a few times a
    // second, and with the whole count at the end of a finished run. The default ignores it.
    virtual bool onDetectProgress(qint64 framesDone, qint64 frameCount);

protected:
    ~IVkScenceDetectEventObserver();
    Q_DISABLE_COPY(IVkScenceDetectEventObserver)
};
