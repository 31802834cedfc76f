#include "effects/scene_state.h"

SceneState Scene;
