'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');

const demo = path.join(__dirname, '..', '..', 'demo');
const { startServer, parseArguments } = require(path.join(demo, 'server.js'));
const { DemoState } = require(path.join(demo, 'state.js'));
const { GO_PAGES } = require(path.join(demo, 'pages.js'));

async function withServer(options, body) {
  const server = await startServer({ port: 0, ...options });
  try {
    await body(server, (route, init) => fetch(`${server.origins.app}${route}`, { redirect: 'manual', ...init }));
  } finally {
    await server.close();
  }
}

async function signIn(get) {
  const response = await get('/auth/login', { method: 'POST', body: 'email=demo%40example.jp&password=demo', headers: { 'Content-Type': 'application/x-www-form-urlencoded' } });
  assert.equal(response.status, 303);
  assert.equal(response.headers.get('location'), '/chat');
  const cookie = response.headers.get('set-cookie');
  assert.match(cookie, /Max-Age=\d+/, 'the session must outlive the process so that the shell can persist it');
  return cookie.split(';')[0];
}

test('every page of the Go menu is served with its title, and the recorder page with its controls', async () => {
  await withServer({}, async (server, get) => {
    for (const item of GO_PAGES) {
      const response = await get(item.path);
      assert.equal(response.status, 200, item.path);
      const html = await response.text();
      assert.ok(html.includes(`<h1>${item.label}</h1>`), item.path);
      for (const other of GO_PAGES) assert.ok(html.includes(`href="${other.path}"`), `${item.path} links ${other.path}`);
    }
    const record = await (await get('/meeting-notes/record?mode=desktop-app')).text();
    for (const id of ['record-start', 'record-pause', 'record-resume', 'record-stop', 'record-pending', 'player']) assert.ok(record.includes(`id="${id}"`), id);
    assert.equal((await get('/')).headers.get('location'), '/chat');
    assert.equal((await get('/no-such-page')).status, 404);
  });
});

test('badge counters move as time passes; tests can pin them', async () => {
  let now = 1_000_000;
  const state = new DemoState({ now: () => now, tickMs: 1000 });
  await withServer({ state }, async (server, get) => {
    const badges = async () => (await get('/api/badges')).json();
    const first = await badges();
    now += 2000;
    const later = await badges();
    assert.ok(later.chatUnread > first.chatUnread && later.chatDirect > first.chatDirect);
    assert.equal((await get('/api/test/badges', { method: 'POST', body: JSON.stringify({ outbox: 2, chatDirect: 1, bogus: 9 }) })).status, 200);
    now += 5000;
    assert.deepEqual(await badges(), { outbox: 2, chatDirect: 1 });
    await get('/api/test/badges', { method: 'POST', body: 'null' });
    assert.ok('notifications' in await badges());
  });
});

test('the deployment id changes only when bumped', async () => {
  await withServer({}, async (server, get) => {
    const version = async () => (await (await get('/api/version')).json()).deploymentId;
    const before = await version();
    assert.equal(await version(), before);
    const bumped = (await (await get('/api/version/bump', { method: 'POST' })).json()).deploymentId;
    assert.notEqual(bumped, before);
    assert.equal(await version(), bumped);
    await get('/api/version?bump=1');
    assert.notEqual(await version(), bumped);
  });
});

test('the sign-in page signs in for good, shows the failure only for auth_failed; a broken sign-in drops the connection', async () => {
  await withServer({}, async (server, get) => {
    await signIn(get);
    const failed = await (await get('/auth/login?error=auth_failed')).text();
    assert.ok(failed.includes('サインインに失敗しました'));
    assert.ok(!(await (await get('/auth/login')).text()).includes('サインインに失敗しました'));
    await assert.rejects(get('/auth/broken'));
    const logout = await get('/auth/logout');
    assert.equal(logout.headers.get('location'), '/auth/login');
    assert.match(logout.headers.get('set-cookie'), /Max-Age=0/);
  });
});

test('test pages name this run\'s origins; files outside the public folder are not served', async () => {
  await withServer({}, async (server, get) => {
    const frames = await (await get('/test/frames.html')).text();
    assert.ok(frames.includes(`src="${server.origins.other}/test/frame-post.html"`));
    assert.ok(frames.includes(`src="http://localhost:${server.port}/test/frame-post.html"`));
    assert.ok(!frames.includes('{{'));
    const other = await fetch(`${server.origins.other}/test/frame-post.html`);
    assert.equal(other.status, 200);
    assert.equal((await get('/static/%2e%2e/server.js')).status, 404);
    assert.equal((await get('/static/..%2fserver.js')).status, 404);
    assert.equal((await get('/static/app.js')).headers.get('content-type'), 'text/javascript; charset=utf-8');
  });
});

test('the port comes from the arguments, else the environment', () => {
  for (const [args, env, key, port] of [[[], {}, 'port', 8765], [[], { NORLA_DEMO_PORT: '9000' }, 'port', 9000],
    [['--port', '9100'], { NORLA_DEMO_PORT: '9000' }, 'port', 9100], [['--port=9200', '--other-port', '9300'], {}, 'otherPort', 9300],
    [['9400'], {}, 'port', 9400]]) assert.equal(parseArguments(args, env)[key], port, args.join(' '));
  for (const args of [['--port', 'x'], ['--bind', '0.0.0.0']]) assert.throws(() => parseArguments(args, {}), args.join(' '));
});
