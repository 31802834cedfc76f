// The plug-in's keys as the page understands the browser's: the command for a key press, or
// null for a key the page leaves to the browser. Keys the plug-in swallows come back as 'none'.
// Ctrl and Meta combinations always stay the browser's (reload, copy, ...).
export function commandForKey(event) {
  if (event.ctrlKey || event.metaKey) return null;
  const alt = event.altKey;
  switch (event.key) {
    case 'Enter': return alt ? 'fullScreen' : 'changeDrawing';
    case 'Escape': return 'leaveFullScreen';
    case ' ': return alt ? null : 'toggleTitle';
    case 'F1': case 'Help': return 'toggleHelp';
    case 'F4': return 'toggleLock';
    case 'F5': case 'F6': return 'changeDrawing';
    case 'F2': case 'F3': return 'none';
    case 'ArrowLeft': case 'PageUp': return alt ? 'previousEffect' : null;
    case 'ArrowRight': case 'PageDown': return alt ? 'nextEffect' : null;
    default: break;
  }
  if (alt) return null;
  switch (event.key.toLowerCase()) {
    case 'h': case 'a': return 'toggleHelp';
    case 'd': case 'l': case 'r': case 's': return 'none';
    case 'f': return 'fullScreen';  // the page's own: a browser has no player menu for it
    default: return null;
  }
}
