// The frame inspector's button. The inspector itself (inspector/panel.js and
// the modules it imports) is loaded when it is first opened: a visit that
// never opens it never fetches it.
'use strict';
window.walkerInspector = (() => {
  const toggle = document.getElementById('inspector-toggle');
  let panel = null;
  let loading = null;
  const load = () => (loading ??= import('./inspector/panel.js').then((module) => (panel = module.panel)));
  toggle.addEventListener('click', () => {
    if (window.Module?.calledRun) load().then((p) => p.toggle());
  });
  return {
    changed: () => panel?.changed(),
    recorded: () => panel?.recorded(),
    frame: () => panel?.frame() ?? null,
    edits: () => panel?.edits() ?? [],
    setEdits: (list) => panel?.setEdits(list),
    panel: load,
  };
})();
