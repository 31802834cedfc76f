#pragma once
// The module record and the entries the player calls through it.
#include "bridge/player_protocol.h"

extern winampVisModule VisModule;

extern "C" winampVisHeader* winampVisGetHeader();

void Config(winampVisModule* module);
int Init(winampVisModule* module);
int Render(winampVisModule* module);
void Quit(winampVisModule* module);
