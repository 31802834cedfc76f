#include "bridge/plugin_state.h"

PluginState Plugin;

void ResetPluginState() {
  Plugin.IsPlaying = 0;
  Plugin.FullScreenActive = 0;
  Plugin.LeaveFullScreenPending = 0;
  Plugin.Module = nullptr;
  Plugin.Instance = nullptr;
  Plugin.VisWindow = nullptr;
  Plugin.AboutLinkExtent = {0, 0};
}

HWND HostMainWindow() { return Plugin.Module ? Plugin.Module->hwndParent : nullptr; }

LRESULT AskHost(int ipc, WPARAM wParam) {
  const HWND host = HostMainWindow();
  return host ? AskPlayer(host, ipc, wParam) : 0;
}
