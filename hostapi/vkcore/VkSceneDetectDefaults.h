#pragma once

// How sensitive scene detection is when config.ini says nothing. The scene detection dialog (through
// VkConfig) and the engine's own defaults (vkscenedetect) both start from these, so that one clip
// gives the same scenes in the window and on the command line. Plain constants: the engine, which
// has no Qt, includes this header too.
namespace VkSceneDetectDefaults {

// Least content distance between two frames that may be a cut (about 30 to 100 between unrelated
// pictures); lower finds more cuts.
constexpr double kThreshold = 30.0;
// Fewest frames of a scene; a cut closer than this to the previous one is ignored.
constexpr int kMinSceneLength = 10;

} // namespace VkSceneDetectDefaults
