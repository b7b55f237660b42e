// The front desk's dashboard: a card per room, kept live over the events
// WebSocket; changes go to the API with the token kept in this browser.
'use strict';

const TEXTS = {
  zh: {
    title: '前台', online: '实时', offline: '未连接服务器', linked: '已连接', searching: '未连接',
    downloading: '下载中...', busy: '忙', mode: '模式', sing: '唱歌', dance: '舞蹈',
    music: '音乐', mic: '话筒', effect: '效果', token: '访问令牌：', save: '确定',
    needToken: '需要访问令牌', failed: '失败：',
  },
  en: {
    title: 'Front desk', online: 'live', offline: 'server not reached', linked: 'linked',
    searching: 'not linked', downloading: 'downloading...', busy: 'busy', mode: 'Mode', sing: 'Sing',
    dance: 'Dance', music: 'Music', mic: 'Mic', effect: 'Effect', token: 'Access token:', save: 'OK',
    needToken: 'The access token is needed', failed: 'Failed: ',
  },
};
const params = new URLSearchParams(location.search);
const lang = params.get('lang') === 'en' ? 'en' : 'zh';
const T = TEXTS[lang];
document.documentElement.lang = lang;

const cards = new Map();   // room name -> card element
const modeLists = new Map(); // room name -> [{number, name}]
let token = localStorage.getItem('dsp-token') || '';
let socket = null;

function headers(json) {
  const h = {};
  if (json) h['Content-Type'] = 'application/json';
  if (token) h['Authorization'] = 'Bearer ' + token;
  return h;
}

function notice(text) {
  document.getElementById('notice').textContent = text || '';
}

function askToken() {
  notice(T.needToken);
  document.getElementById('token-form').hidden = false;
  document.getElementById('token-input').focus();
}

async function call(method, path, body) {
  const response = await fetch(path, {
    method, headers: headers(body !== undefined),
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  if (response.status === 401) {
    askToken();
    throw new Error(T.needToken);
  }
  const answer = await response.json().catch(() => ({}));
  if (!response.ok) {
    notice(T.failed + (answer.error || response.status));
    throw new Error(answer.error || String(response.status));
  }
  return answer;
}

function roomPath(name) {
  return '/api/rooms/' + encodeURIComponent(name);
}

function modeText(mode) {
  return mode.number + '-' + mode.name;
}

function makeCard(room) {
  const card = document.getElementById('card-template').content.firstElementChild.cloneNode(true);
  card.dataset.room = room.name;
  card.querySelector('.room-name').textContent = room.name;
  card.querySelector('.mode-label').textContent = T.mode;
  for (const button of card.querySelectorAll('.scene')) {
    button.textContent = T[button.dataset.scene];
    button.addEventListener('click', () =>
      call('POST', roomPath(room.name) + '/scene', { scene: button.dataset.scene }).catch(() => {}));
  }
  for (const label of card.querySelectorAll('.volume-label')) label.textContent = T[label.dataset.volume];
  card.querySelector('.mode').addEventListener('change', (event) => {
    const mode = Number(event.target.value);
    call('POST', roomPath(room.name) + '/mode', { mode }).then(() => notice('')).catch(() => {});
  });
  for (const slider of card.querySelectorAll('.volume')) {
    let last = 0;
    const send = () => {
      slider.nextElementSibling.textContent = slider.value;
      call('PUT', roomPath(room.name) + '/volume/' + slider.dataset.volume, { value: Number(slider.value) })
        .catch(() => {});
    };
    slider.addEventListener('input', () => {
      slider.dataset.dragging = '1';
      const now = Date.now();
      if (now - last > 150) { last = now; send(); }
    });
    slider.addEventListener('change', () => { delete slider.dataset.dragging; send(); });
  }
  document.getElementById('rooms').appendChild(card);
  cards.set(room.name, card);
  return card;
}

async function loadModes(name) {
  if (modeLists.has(name)) return;
  modeLists.set(name, null);
  try {
    const details = await call('GET', roomPath(name));
    if (!details.modes) { modeLists.delete(name); return; }
    modeLists.set(name, details.modes);
    showRoom(details);
  } catch (e) {
    modeLists.delete(name);
  }
}

function showRoom(room) {
  const card = cards.get(room.name) || makeCard(room);
  const linked = room.link === 'linked' || room.link === 'busy';
  card.classList.toggle('not-linked', !linked);
  card.dataset.link = room.link;
  card.querySelector('.room-state').textContent = T[room.link] || room.link;
  const select = card.querySelector('.mode');
  const modes = modeLists.get(room.name);
  if (room.mode && !modes) loadModes(room.name);
  if (modes && select.options.length !== modes.length) {
    select.replaceChildren(...modes.map((m) => new Option(modeText(m), m.number)));
  }
  if (room.mode) {
    if (!modes && select.options.length === 0) select.append(new Option(modeText(room.mode), room.mode.number));
    select.value = String(room.mode.number);
  }
  select.disabled = !linked;
  for (const button of card.querySelectorAll('.scene')) {
    button.classList.toggle('chosen', room.scene === button.dataset.scene);
    button.disabled = !linked;
  }
  for (const slider of card.querySelectorAll('.volume')) {
    slider.disabled = !linked;
    if (room.volumes && !slider.dataset.dragging) {
      slider.value = room.volumes[slider.dataset.volume];
      slider.nextElementSibling.textContent = slider.value;
    }
  }
}

function connectEvents() {
  const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
  const query = token ? '?access_token=' + encodeURIComponent(token) : '';
  socket = new WebSocket(scheme + location.host + '/api/events' + query);
  const state = document.getElementById('connection');
  socket.onopen = () => { state.textContent = T.online; state.className = 'online'; };
  socket.onmessage = (event) => {
    const message = JSON.parse(event.data);
    if (message.event === 'rooms') message.rooms.forEach(showRoom);
    if (message.event === 'room') showRoom(message.room);
  };
  socket.onclose = (event) => {
    state.textContent = T.offline;
    state.className = 'offline';
    if (event.code === 1008) { askToken(); return; }
    setTimeout(connectEvents, 2000);
  };
}

async function start() {
  document.title = T.title;
  document.getElementById('title').textContent = T.title;
  document.getElementById('token-label').textContent = T.token;
  document.getElementById('token-save').textContent = T.save;
  document.getElementById('token-form').addEventListener('submit', (event) => {
    event.preventDefault();
    token = document.getElementById('token-input').value.trim();
    localStorage.setItem('dsp-token', token);
    document.getElementById('token-form').hidden = true;
    notice('');
    if (socket) { socket.onclose = null; socket.close(); }
    start();
  });
  try {
    const rooms = await call('GET', '/api/rooms');
    rooms.forEach(showRoom);
  } catch (e) {
    return;
  }
  connectEvents();
}

start();
