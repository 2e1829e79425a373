#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QtGlobal>

// Receives a scene detector's notifications. Each returns whether the observer took the notification.
// Observers are never deleted through this interface.
//
// When they arrive: only during a run, that is from the moment start() is called until the run's one
// end notification (finished, stopped or failed), which is always the last of the run. They usually
// come on the detector's own thread, but a detector may also notify on the caller's thread from inside
// start() (a run that ends at once), before start() has returned true. An observer should therefore
// keep the run's state itself, set before start() is called and cleared by the end notification, rather
// than infer it from the order in which its own reports reach another thread. No notification arrives
// after release() has returned.
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
    ~IVkScenceDetectEventObserver() = default;
    Q_DISABLE_COPY(IVkScenceDetectEventObserver)
};
