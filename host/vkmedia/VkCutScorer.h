#pragma once

#include "VkAnalysisPlane.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vkmedia {

// Decides where the cuts of a clip are from the analysis planes of its frames, in order.
//
// A frame starts a new scene when its content distance to the previous frame is above the threshold
// and stands out against the distances around it (camera motion raises all of them alike), and when
// the change does not undo itself within a couple of frames (a flash or a single odd frame). A cut
// is confirmed a few frames late, once those following frames are known.
class VkCutScorer
{
public:
    VkCutScorer(double threshold, int minSceneLength);
    ~VkCutScorer();
    VkCutScorer(const VkCutScorer&) = delete;
    VkCutScorer& operator=(const VkCutScorer&) = delete;

    // Frames that the scorer must see after a frame before it can say whether that frame is a cut.
    static int lookahead();

    // The next frame; frame numbers increase. Confirmed cuts (first frames of new scenes) are
    // appended to `cuts`.
    void push(int64_t frame, VkAnalysisPlane plane, std::vector<int64_t>& cuts);
    // No more frames: decides the frames still waiting for their lookahead.
    void finish(std::vector<int64_t>& cuts);

    // Content distance of two planes of the same size, as push() keeps them (with their summaries),
    // 0 for equal pictures; a cut between unrelated pictures is typically 30 to 100.
    static double distance(const VkAnalysisPlane& a, const VkAnalysisPlane& b);

private:
    class Private;
    const std::unique_ptr<Private> d;
};

} // namespace vkmedia
