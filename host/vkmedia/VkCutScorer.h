#pragma once

#include "VkAnalysisPlane.h"
#include "VkSceneTransition.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vkmedia {

// Decides where the scenes of a clip begin from the analysis planes of its frames, in order.
//
// Hard cuts: a frame starts a new scene when its content distance to the previous frame is above the
// threshold and stands out against the distances around it (camera motion raises all of them alike),
// and when the change does not undo itself within a couple of frames (a flash or a single odd frame).
// A cut is confirmed a few frames late, once those following frames are known.
//
// Gradual changes: over a window of recent frames the scorer looks for a stretch whose two ends differ
// like a cut while no step inside it does, which settles at both ends (the change rate inside is well
// above the rate just before and after), and whose middle frames are blends of its two ends (each
// frame's block means fitted as a mix of the two ends, the mix growing steadily, with less contrast
// halfway than at the ends). Such a stretch between two different pictures is a dissolve, with its
// boundary where the mix passes one half. A picture that fades out to an even field (black, white)
// and a different one that fades in out of it make a fade, with its boundary in the middle of the
// even field. Two gradual changes closer than a second that return to the picture they left (a title
// card faded in and out, a dip to black within one shot) make no boundary; a lighting change is not a
// blend of two different pictures.
class VkCutScorer
{
public:
    // `framesPerSecond` only sets how long an inserted picture (a title card) must stay to count as
    // a scene of its own.
    VkCutScorer(double threshold, int minSceneLength, double framesPerSecond = 25.0);
    ~VkCutScorer();
    VkCutScorer(const VkCutScorer&) = delete;
    VkCutScorer& operator=(const VkCutScorer&) = delete;

    // Frames that the scorer must see after a frame before it can say whether that frame is a cut.
    static int lookahead();

    // The next frame; frame numbers increase. Confirmed boundaries are appended to `boundaries` in
    // frame order; a gradual one comes up to about two seconds after its frame.
    void push(int64_t frame, VkAnalysisPlane plane, std::vector<VkSceneTransition>& boundaries);
    // No more frames: decides the frames still waiting.
    void finish(std::vector<VkSceneTransition>& boundaries);

    // False when the frame, pushed last, can be no hard cut whatever follows: its change from the
    // frame before is below the threshold. Only the others need their decoded pictures kept until
    // they are decided.
    bool mayBeCut(int64_t frame) const;

    // The analysis plane of a recent frame, with its summaries, or of a boundary that the last push()
    // or finish() reported; null for other frames.
    const VkAnalysisPlane* plane(int64_t frame) const;

    // Content distance of two planes of the same size, as push() keeps them (with their summaries),
    // 0 for equal pictures; a cut between unrelated pictures is typically 30 to 100.
    static double distance(const VkAnalysisPlane& a, const VkAnalysisPlane& b);

private:
    class Private;
    const std::unique_ptr<Private> d;
};

} // namespace vkmedia
