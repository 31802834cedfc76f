#include "bridge/plugin_hooks.h"

PluginHooks Hooks;

void ResetPluginHooks() { Hooks = PluginHooks{}; }
