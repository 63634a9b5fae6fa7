'use strict';
// The phone's remote. Until the phone is paired it shows the pairing form; then it follows the
// TV's screen through /api/events (one EventSource, no polling) and sends keys, taps, searches
// and additions. Every text from the TV or the library goes in through textContent.

const $ = (id) => document.getElementById(id);
let token = localStorage.getItem('jubo_token') || '';
let events = null;       // the stream of screens while paired
let tv = null;           // the last screen the TV sent
let retry = 0;           // the timer that asks again after the TV could not be reached
const drawn = {};        // what each part of the page was last drawn from
let playlistFrom = '';   // the playlist's count and current song Now Playing was read at
let sending = Promise.resolve();  // keys and taps go out one after another, in order

class NotPaired extends Error {}

// Makes an element with a class and a text.
function el(tag, cls, text) {
  const e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  return e;
}

// True when `value` differs from what part `name` was last drawn from.
function changed(name, value) {
  const key = JSON.stringify(value);
  if (drawn[name] === key) return false;
  drawn[name] = key;
  return true;
}

function setLink(text, lost) {
  $('link').textContent = text;
  $('link').classList.toggle('lost', !!lost);
}

// A request to the TV. 401 means the TV no longer knows this phone: the pairing form shows.
async function call(method, path, body, signal) {
  const headers = {};
  if (token) headers['X-Jubo-Token'] = token;
  if (body !== undefined) headers['Content-Type'] = 'application/json';
  const answer = await fetch(path, {
    method, headers, signal, cache: 'no-store', credentials: 'same-origin',
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  if (answer.status === 401) {
    showPairing(token ? 'The TV no longer knows this phone: pair it again.' : '');
    throw new NotPaired();
  }
  return answer;
}

// Sends a key or a tap after those already on their way; a failure is shown, never thrown.
function send(path, body) {
  sending = sending.then(async () => {
    try {
      const answer = await call('POST', path, body);
      if (!answer.ok) setLink('The TV refused that', true);
    } catch (e) {
      if (!(e instanceof NotPaired)) setLink('Cannot reach the TV', true);
    }
  });
  return sending;
}
const key = (name) => send('/api/key', { key: name });

// ---- Pairing ----

function showPairing(message) {
  if (events) events.close();
  events = null;
  token = '';
  localStorage.removeItem('jubo_token');
  $('remote').hidden = true;
  $('pairing').hidden = false;
  setLink('Not paired');
  pairMessage(message || '', false);
}

function pairMessage(text, error) {
  $('pair-message').textContent = text;
  $('pair-message').classList.toggle('error', error);
}

// The answer's own words when it has some, else `fallback`.
async function reason(answer, fallback) {
  try {
    const body = await answer.json();
    if (body.error) return body.error + (body.tries ? ` (${body.tries} more tries)` : '');
  } catch (e) { /* no JSON: the fallback says it */ }
  return fallback;
}

$('ask').addEventListener('click', async () => {
  try {
    const answer = await fetch('/api/pairing', { method: 'POST', cache: 'no-store' });
    if (answer.ok) {
      pairMessage('The TV shows a six-digit code now.', false);
      $('code').focus();
    } else {
      pairMessage(await reason(answer, 'The TV did not show a code.'), true);
    }
  } catch (e) {
    pairMessage('Cannot reach the TV.', true);
  }
});

$('code').addEventListener('input', () => {
  const digits = $('code').value.replace(/\D/g, '').slice(0, 6);
  if (digits !== $('code').value) $('code').value = digits;
});

$('pair-form').addEventListener('submit', async (event) => {
  event.preventDefault();
  const code = $('code').value;
  if (!/^\d{6}$/.test(code)) return pairMessage('The code has six digits.', true);
  try {
    const answer = await fetch('/api/pair', {
      method: 'POST', cache: 'no-store', headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify({ code }),
    });
    if (!answer.ok) return pairMessage(await reason(answer, 'The TV refused the code.'), true);
    token = (await answer.json()).token;
    localStorage.setItem('jubo_token', token);
    $('code').value = '';
    pairMessage('', false);
    start();
  } catch (e) {
    pairMessage('Cannot reach the TV.', true);
  }
});

// ---- Following the TV ----

// Asks for the screen once: paired, it shows the remote and follows the stream; not paired, the
// pairing form; the TV out of reach, it asks again a little later.
async function start() {
  clearTimeout(retry);
  try {
    const answer = await call('GET', '/api/screen');
    if (!answer.ok) throw new Error(String(answer.status));
    $('pairing').hidden = true;
    $('remote').hidden = false;
    render(await answer.json());
    follow();
  } catch (e) {
    if (e instanceof NotPaired) return;
    setLink('Cannot reach the TV', true);
    retry = setTimeout(start, 3000);
  }
}

function follow() {
  if (events) events.close();
  events = new EventSource('/api/events');
  events.addEventListener('screen', (e) => render(JSON.parse(e.data)));
  events.onopen = () => {
    setLink('Connected');
    playlistFrom = '';  // the playlist may have changed while the stream was down
    if ($('query').value.trim().length >= 2) search();  // a restarted TV gives new ids
  };
  events.onerror = () => {
    setLink('Reconnecting…', true);
    // The browser reconnects a dropped stream by itself; a refused one stays closed, and the
    // screen query tells why.
    if (events && events.readyState === EventSource.CLOSED) {
      events = null;
      retry = setTimeout(start, 1000);
    }
  };
}

// Draws a screen of the TV, each part only when what it shows changed.
function render(s) {
  tv = s;
  setLink('Connected');
  $('track').textContent = s.track;
  document.title = s.track ? `${s.track} · Jubo` : 'Jubo';
  $('state').textContent = s.state;
  if (changed('switches', s.switches)) drawSwitches(s.switches);
  $('crumbs').textContent = s.crumbs.split('>').filter(Boolean).join(' › ');
  $('title').textContent = s.title;
  $('above').textContent =
      s.saver ? 'The TV shows its screen saver: any key brings it back.'
              : s.help ? 'The TV shows the help text.' : s.above;
  $('below').textContent = s.below;
  if (changed('rows', [s.rows, s.row, s.highlight])) drawRows(s);
  if (changed('dialog', s.dialog)) drawDialog(s.dialog);
  const from = `${s.playlist.count}:${s.playlist.current}`;
  if (from !== playlistFrom) {
    playlistFrom = from;
    loadPlaylist();
  }
}

// "Repeat:OFF     Non-Stop Music:ON" as two switches a tap turns.
function drawSwitches(text) {
  const box = $('switches');
  box.replaceChildren();
  for (const [, name, value] of text.matchAll(/([^:]+?):\s*(ON|OFF)\b/gi)) {
    const label = name.trim();
    const b = el('button', value.toUpperCase() === 'ON' ? 'on' : '', `${label}: ${value}`);
    b.setAttribute('aria-pressed', String(value.toUpperCase() === 'ON'));
    b.addEventListener('click', () => key(/^repeat/i.test(label) ? 'repeat' : 'nonstop'));
    box.append(b);
  }
}

function icon(kind) {
  const svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
  const use = document.createElementNS('http://www.w3.org/2000/svg', 'use');
  use.setAttribute('href', `#icon-${kind}`);
  svg.setAttribute('aria-hidden', 'true');
  svg.append(use);
  return svg;
}

function drawRows(s) {
  const list = $('rows');
  list.replaceChildren();
  s.rows.forEach((row, i) => {
    if (!row.caption) return;
    const n = i + 1;  // the TV counts rows from 1
    const b = el('button');
    b.dataset.row = n;
    if (row.icon >= 0) b.append(icon(row.icon));
    b.append(el('span', 'caption', row.caption));
    if (s.highlight && s.row === n) {
      b.className = 'current';
      b.setAttribute('aria-current', 'true');
    }
    b.addEventListener('click', () => tap(n));
    const li = el('li');
    li.append(b);
    list.append(li);
  });
}

// A tap on a row moves the TV's highlight there; on the highlighted row it is OK.
function tap(n) {
  if (tv && tv.highlight && tv.row === n && !tv.dialog) return key('enter');
  return send('/api/tap', { row: n });
}

// A question on the TV: its lines and buttons, the chosen one marked. A tap on a button moves
// the mark there with Left or Right, then answers with OK. Asking for a number, the TV's buttons
// are steps (100, 10, 1) that Up and Down add or take away, and DONE answers.
function drawDialog(d) {
  $('dialog').hidden = !d;
  $('rows').inert = !!d;
  $('tv').classList.toggle('asking', !!d);
  if (!d) return;
  const counting = d.value !== undefined;  // its second line is the number, shown big
  const lines = d.lines.filter((line) => line && !(counting && line === String(d.value)));
  $('dialog-lines').textContent = lines.join('\n');
  $('dialog-value').textContent = counting ? String(d.value) : '';
  $('dialog-count').hidden = !counting;
  const box = $('dialog-buttons');
  box.replaceChildren();
  d.buttons.forEach((caption, i) => {
    if (!caption) return;
    const b = el('button', i + 1 === d.selected ? 'current' : '', caption);
    b.addEventListener('click', () => {
      const steps = (i + 1) - tv.dialog.selected;
      for (let k = 0; k < Math.abs(steps); k++) key(steps < 0 ? 'left' : 'right');
      if (!counting || caption === 'DONE') key('enter');
    });
    box.append(b);
  });
}

let playlistAsked = 0;  // only the answer to the latest question is drawn
async function loadPlaylist() {
  const asked = ++playlistAsked;
  try {
    const answer = await call('GET', '/api/playlist');
    const playlist = answer.ok ? await answer.json() : null;
    if (playlist && asked === playlistAsked) drawPlaylist(playlist);
  } catch (e) { /* the next screen asks again */ }
}

function drawPlaylist(p) {
  const list = $('playlist');
  list.replaceChildren();
  $('playlist-empty').hidden = p.entries.length > 0;
  const count = p.count ?? p.entries.length;
  $('playlist-window').textContent = count > p.entries.length
    ? `Songs ${p.first + 1} to ${p.first + p.entries.length} of ${count}` : '';
  p.entries.forEach((entry, i) => {
    const at = p.first + i;
    const li = el('li', at === p.current ? 'current' : '');
    if (at === p.current) li.setAttribute('aria-current', 'true');
    const what = el('span');
    what.append(el('span', 'title', entry.title));
    if (entry.artist) what.append(el('span', 'who', ` · ${entry.artist}`));
    li.append(el('span', 'number', String(at + 1)), what);
    list.append(li);
  });
  // The current song in sight within the list, without scrolling the page.
  const current = list.querySelector('.current');
  if (current) list.scrollTop = current.offsetTop - list.clientHeight / 3;
}

// ---- Search ----

let searchTimer = 0;
let searchAbort = null;

$('query').addEventListener('input', () => {
  clearTimeout(searchTimer);
  searchTimer = setTimeout(search, 150);
});

async function search() {
  const q = $('query').value.trim();
  if (searchAbort) searchAbort.abort();
  if (q.length < 2) {
    $('results').replaceChildren();
    return searchMessage('');
  }
  searchAbort = new AbortController();
  try {
    const answer =
        await call('GET', `/api/search?q=${encodeURIComponent(q)}`, undefined, searchAbort.signal);
    if (answer.status === 503) {
      searchMessage('The search is getting ready…');
      searchTimer = setTimeout(search, 1000);
      return;
    }
    if (!answer.ok) return searchMessage(await reason(answer, 'The search failed.'), true);
    const found = await answer.json();
    drawResults(found.results);
    searchMessage(found.results.length ? '' : `Nothing found for “${q}”.`);
  } catch (e) {
    if (e.name === 'AbortError' || e instanceof NotPaired) return;
    searchMessage('Cannot reach the TV.', true);
  }
}

function searchMessage(text, error) {
  $('search-message').textContent = text;
  $('search-message').classList.toggle('error', !!error);
}

// What a result is called, and whose it is, by kind.
const resultKinds = {
  album: (r) => [r.album, r.artist],
  artist: (r) => [r.artist, ''],
  song: (r) => [r.title, [r.artist, r.album].filter(Boolean).join(' · ')],
};

function drawResults(results) {
  const list = $('results');
  list.replaceChildren();
  for (const r of results) {
    const li = el('li');
    li.dataset.kind = r.kind;
    const what = el('span', 'what');
    what.append(el('span', 'kind', r.kind));
    const [name, who] = (resultKinds[r.kind] || resultKinds.song)(r);
    what.append(el('span', 'name', name));
    if (who) what.append(el('span', 'who', who));
    const add = el('button', 'add', 'Add');
    const next = el('button', 'next', 'Play next');
    add.addEventListener('click', () => addSongs(r.id, false));
    next.addEventListener('click', () => addSongs(r.id, true));
    li.append(what, add, next);
    list.append(li);
  }
}

async function addSongs(id, next) {
  try {
    const answer = await call('POST', '/api/add', { id, next });
    if (!answer.ok) return searchMessage(await reason(answer, 'The TV refused that.'), true);
    const n = (await answer.json()).added;
    const songs = n === 1 ? '1 song' : `${n} songs`;
    searchMessage(next ? `${songs} to play next` : `Added ${songs}`);
  } catch (e) {
    if (!(e instanceof NotPaired)) searchMessage('Cannot reach the TV.', true);
  }
}

// ---- The buttons, and a keyboard where there is one ----

for (const b of document.querySelectorAll('[data-key]')) {
  b.addEventListener('click', () => {
    if (navigator.vibrate) navigator.vibrate(10);
    key(b.dataset.key);
  });
}

const keyboard = {
  ArrowUp: 'up', ArrowDown: 'down', ArrowLeft: 'left', ArrowRight: 'right', Enter: 'enter',
  Backspace: 'left', PageUp: 'pageup', PageDown: 'pagedown', Home: 'menu', ' ': 'play',
};
document.addEventListener('keydown', (e) => {
  const name = keyboard[e.key];
  if (!name || $('remote').hidden || e.altKey || e.ctrlKey || e.metaKey) return;
  // Typing stays typing; Enter and Space on a focused button press that button.
  const pressing = e.target.closest('button') && (e.key === ' ' || e.key === 'Enter');
  if (pressing || e.target.closest('input')) return;
  e.preventDefault();
  key(name);
});

start();
