#include "VkSceneObserver.h"

VkSceneObserver::~VkSceneObserver() = default;

void VkSceneObserver::sceneProgress(int64_t, int64_t) {}

void VkSceneObserver::sceneTransition(const VkSceneTransition&) {}
