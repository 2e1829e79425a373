#pragma once

#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

#include <functional>

class IVkScenceDetectEventObserver;

// Finds the cuts of one clip on a thread of its own and reports the scenes to an observer.
class VKVBLMODEL_EXPORT IVkScenceDetect
{
public:
    using Factory = std::function<IVkScenceDetect*()>;

    // A new detector; end it with release(), never delete.
    static IVkScenceDetect* createInstance();
    // Lets a host or a test supply the detectors that createInstance() hands out; an empty factory
    // restores the built-in detector.
    static void setFactory(Factory factory);

    // Stops a running detection, waits until its thread has ended and destroys the detector. No
    // notification arrives after it returns.
    virtual void release() = 0;
    virtual void init(QString filePath, VkFrameRate frameRate) = 0;
    virtual void setObserver(IVkScenceDetectEventObserver* observer) = 0;
    // False, without any notification, when the file cannot be decoded or a detection is running.
    // When true, the run may already be over: notifications, the end one included, can be sent
    // before start() returns (see IVkScenceDetectEventObserver).
    virtual bool start() = 0;
    // Asks a running detection to end; it ends with onDetectStopped() on the detector's thread.
    virtual void stop() = 0;

protected:
    virtual ~IVkScenceDetect();
};
