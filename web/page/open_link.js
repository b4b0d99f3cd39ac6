// A link to what the page shows (link.js), on the page: opening the one in
// the address, from the program's start (the start-up script paused the walk
// before its first step), and the link to what is shown now. A link that
// cannot be opened is said in words, and the page starts as it always does:
// one whose inspector's choices the recorded frame lacks, or whose keys did
// not reach its state, is found out only after its keys, so the page is
// loaded again without it, and the words kept for it in the session's
// storage meanwhile (the start-up script looks here when that holds anything).
import { keysFor, linkFor, parseLink } from './link.js';

const PROBLEM = 'walker-link-problem';
const KEYED = ['step', 'yaw', 'pitch', 'distance', 'turret', 'legs', 'wire'];

// The program's state, by its own accessors.
const programState = () => ({
  cycle: Module._walkerCycleSteps(), step: Module._walkerStepInCycle(), yaw: Module._walkerViewYaw(),
  pitch: Module._walkerViewPitch(), distance: Module._walkerViewDistance(), turret: Module._walkerTurretYaw(),
  legs: Module._walkerLegYaw(), wire: Module._walkerWireframe() === 1,
});

const say = (problem) => {
  document.getElementById('link-message').textContent =
    `This link could not be opened: ${problem}. The walker starts as it always does.`;
};

const startAgain = (problem) => {
  try {
    sessionStorage.setItem(PROBLEM, problem);
    location.replace(location.href.replace(/#.*/, ''));
  } catch {
    say(problem);
  }
};

const stored = () => {
  try {
    const problem = sessionStorage.getItem(PROBLEM);
    sessionStorage.removeItem(PROBLEM);
    return problem;
  } catch {
    return null;
  }
};

// inspector: the page's frame inspector button's (inspector.js).
export async function open(inspector) {
  const problem = stored();
  if (problem !== null || location.hash.length <= 1) {
    if (problem !== null) say(problem);
    return;
  }
  const start = programState();
  const { state, error } = parseLink(location.hash, start);
  if (error) {
    say(error);
    Module.walkerKey('S');
    return;
  }
  // Opened first, so that the frame the keys make is the one it records.
  const panel = state.inspect ? await inspector.panel() : null;
  panel?.toggle();
  for (const key of keysFor(state, start)) Module.walkerKey(key);
  const reached = programState();
  if (KEYED.some((name) => reached[name] !== state[name])) {
    startAgain('the program\'s keys did not reach its state');
    return;
  }
  const wrong = panel && (await panel.show({ upto: state.upto, shape: state.shape, chain: state.chain, whatif: state.whatif }));
  if (wrong) startAgain(wrong);
}

// The link to what the page shows now, with the inspector's view of its
// recorded frame: put in the address too, where a reload finds it.
export async function copy(view) {
  const link = `${location.href.replace(/#.*/, '')}#${linkFor({ ...programState(), inspect: true, ...view })}`;
  history.replaceState(null, '', link);
  try {
    await navigator.clipboard.writeText(link);
    return 'Copied. The address bar holds the link too.';
  } catch {
    return 'The address bar holds the link: copy it from there.';
  }
}
