#include "settings/plugin_settings.h"

PluginSettingsRecord PluginSettings;
