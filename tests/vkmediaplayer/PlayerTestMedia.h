#pragma once

// Library items of the generated clips, as the model makes them, and a presenter that records the
// frame numbers the "numbered" clips carry in their pixels.

#include "VkMediaTestFiles.h"
#include "VkTestMain.h"

#include <vkmediaplayer/IVkMediaPlayer.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QImage>
#include <QList>
#include <QObject>

#include <memory>

namespace PlayerTestMedia {

// Upper bound for anything the player's thread has to do; sanitizer builds decode slowly. Never an
// expectation about speed.
constexpr int kWaitMs = 60000;

inline std::unique_ptr<IVkAbstractMediaItem> item(const char* name)
{
    return VkMediaItemFactory::create(QString::fromStdString(VkMediaTestFiles::path(name)), nullptr);
}

// The frame number a "numbered" clip's picture carries; -1 for a null image.
inline int numberIn(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    return argb.isNull() ? -1 : VkMediaTestFiles::numberIn(argb.constBits(), argb.width(), argb.height());
}

// A presenter with a player of its own, and every frame it emits: the number it reports, the number
// its pixels show and its size.
class Preview : public QObject
{
public:
    explicit Preview(IVkMediaPlayer* player = nullptr)
        : presenter(nullptr, player)
    {
        connect(&presenter, &VkMediaPlayerPresenter::sigFrameReady, this,
                [this](const QImage& image, qlonglong n) {
                    reported << n;
                    shown << numberIn(image);
                    mismatches += n != shown.last();
                    sizes << image.size();
                });
    }

    bool open(IVkAbstractMediaItem* item)
    {
        return item && presenter.openMedia(item, VKVBLMODEL::VkMediaSource_Library, 0);
    }
    // Opens the clip, waits for the first picture (every open shows frame 0) and forgets it.
    bool openAndShowFirst(IVkAbstractMediaItem* item)
    {
        const bool ok =
            open(item) && QTest::qWaitFor([&] { return !shown.isEmpty(); }, kWaitMs) && shown.first() == 0;
        clear();
        return ok;
    }
    // Moves the range's playback and waits until `frame` is shown.
    bool showAt(qint64 rangeFirst, qint64 rangeCount, int frame)
    {
        presenter.mediaPlayer()->setPlayRange(rangeFirst, rangeCount);
        presenter.seek(frame, true, false);
        return QTest::qWaitFor([&] { return !shown.isEmpty() && shown.last() == frame; }, kWaitMs);
    }
    // Waits until the presenter rests on `frame`, paused and shown, and still does a moment later.
    bool settlesOn(int frame)
    {
        const auto on = [&] {
            return !presenter.isPlaying() && presenter.currentFrame() == frame && !shown.isEmpty() &&
                   shown.last() == frame;
        };
        if (!QTest::qWaitFor(on, kWaitMs))
            return false;
        QTest::qWait(100);
        return on();
    }
    void clear()
    {
        reported.clear();
        shown.clear();
        sizes.clear();
    }

    // Declared first so that they outlive the presenter.
    QList<qlonglong> reported;
    QList<int> shown;
    QList<QSize> sizes;
    // Frames whose reported number is not the number in their pixels.
    int mismatches = 0;
    VkMediaPlayerPresenter presenter;
};

} // namespace PlayerTestMedia
