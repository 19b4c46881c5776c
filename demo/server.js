#!/usr/bin/env node
'use strict';
// The demo web application: stands in for the real one on loopback. Node's standard library only.
//
//   node demo/server.js [--port N] [--other-port M]
//   NORLA_DEMO_PORT=N NORLA_DEMO_OTHER_PORT=M node demo/server.js
//
// The main port serves the application; the other port serves the same content as a second origin,
// for test pages that need a cross-origin frame. Port 0 picks a free port; the first line printed
// names both origins.

const http = require('node:http');
const fs = require('node:fs');
const path = require('node:path');
const { DemoState } = require('./state');
const pages = require('./pages');

const PUBLIC_DIR = path.join(__dirname, 'public');
const SESSION_COOKIE = 'vantorel_session';
const SESSION_MAX_AGE = 30 * 24 * 3600;
const MAX_BODY = 64 * 1024;

const CONTENT_TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json; charset=utf-8',
  '.svg': 'image/svg+xml',
};

function parseCookies(header) {
  const cookies = {};
  for (const part of (header || '').split(';')) {
    const index = part.indexOf('=');
    if (index > 0) cookies[part.slice(0, index).trim()] = decodeURIComponent(part.slice(index + 1).trim());
  }
  return cookies;
}

function readBody(req) {
  return new Promise((resolve, reject) => {
    const chunks = [];
    let size = 0;
    req.on('data', (chunk) => {
      size += chunk.length;
      if (size > MAX_BODY) {
        reject(new Error('body too large'));
        req.destroy();
        return;
      }
      chunks.push(chunk);
    });
    req.on('end', () => resolve(Buffer.concat(chunks).toString('utf8')));
    req.on('error', reject);
  });
}

function parseJson(text) {
  if (!text) return null;
  try {
    return JSON.parse(text);
  } catch {
    return undefined;
  }
}

function send(res, status, body, headers = {}) {
  res.writeHead(status, { 'Cache-Control': 'no-store', ...headers });
  res.end(body);
}
const sendHtml = (res, status, html, headers = {}) => send(res, status, html, { 'Content-Type': CONTENT_TYPES['.html'], ...headers });
const sendJson = (res, status, value, headers = {}) => send(res, status, JSON.stringify(value), { 'Content-Type': CONTENT_TYPES['.json'], ...headers });
const redirect = (res, location, headers = {}) => send(res, 303, '', { Location: location, ...headers });

function sessionCookie(id) {
  return `${SESSION_COOKIE}=${id}; Max-Age=${SESSION_MAX_AGE}; Path=/; HttpOnly; SameSite=Lax`;
}

// Serves a file under public/ ; test pages get the origins of this run filled in.
function serveFile(res, relative, origins) {
  const file = path.resolve(PUBLIC_DIR, relative);
  if (!file.startsWith(PUBLIC_DIR + path.sep)) return sendHtml(res, 404, pages.notFoundPage());
  fs.readFile(file, (error, data) => {
    if (error) return sendHtml(res, 404, pages.notFoundPage());
    const type = CONTENT_TYPES[path.extname(file)] || 'application/octet-stream';
    let body = data;
    if (relative.startsWith('test/') && type === CONTENT_TYPES['.html']) {
      body = data.toString('utf8')
        .replaceAll('{{appOrigin}}', origins.app)
        .replaceAll('{{otherOrigin}}', origins.other)
        .replaceAll('{{altHostOrigin}}', origins.altHost);
    }
    send(res, 200, body, { 'Content-Type': type });
  });
}

function createHandler(state, origins) {
  const goPaths = new Map(pages.GO_PAGES.map((item) => [item.path, item]));

  return async function handle(req, res) {
    const url = new URL(req.url, origins.app);
    const route = `${req.method} ${url.pathname}`;
    const session = parseCookies(req.headers.cookie)[SESSION_COOKIE];

    if (req.method === 'GET' && goPaths.has(url.pathname)) return sendHtml(res, 200, pages.goPage(goPaths.get(url.pathname)));

    switch (route) {
    case 'GET /':
      return redirect(res, '/chat');
    case 'GET /meeting-notes/record':
      return sendHtml(res, 200, pages.recordPage(url.searchParams.get('mode')));

    case 'GET /auth/login':
      return sendHtml(res, 200, pages.loginPage(url.searchParams.get('error')));
    case 'POST /auth/login': {
      const form = new URLSearchParams(await readBody(req));
      if (!form.get('email')) return redirect(res, '/auth/login?error=auth_failed');
      return redirect(res, '/chat', { 'Set-Cookie': sessionCookie(state.newSession()) });
    }
    case 'GET /auth/logout':
      state.endSession(session);
      return redirect(res, '/auth/login', { 'Set-Cookie': `${SESSION_COOKIE}=; Max-Age=0; Path=/` });
    case 'GET /auth/broken':
      // A sign-in exchange that fails at the network level: the connection drops without an answer.
      return req.socket.destroy();
    case 'GET /auth/hang':
    case 'GET /test/hang':
      // A server that never answers: the request stays open until the client gives up.
      return undefined;
    case 'GET /auth/oauth/authorize': {
      const callback = url.searchParams.get('callback') || '';
      if (!/^https:\/\//i.test(callback)) return sendHtml(res, 400, pages.loginPage('auth_failed'));
      return sendHtml(res, 200, pages.authorizePage(callback));
    }
    case 'GET /auth/oauth/approve': {
      // The consent given at once: signs in and redirects to the callback with a code (and the state).
      const callback = url.searchParams.get('callback') || '';
      if (!/^https:\/\//i.test(callback)) return sendHtml(res, 400, pages.loginPage('auth_failed'));
      const target = new URL(callback);
      target.searchParams.set('code', 'demo-code');
      if (url.searchParams.has('state')) target.searchParams.set('state', url.searchParams.get('state'));
      return redirect(res, target.href, { 'Set-Cookie': sessionCookie(state.newSession()) });
    }
    case 'POST /auth/native-complete':
      return sendJson(res, 200, { ok: true }, { 'Set-Cookie': sessionCookie(state.newSession()) });

    case 'GET /api/badges':
      return sendJson(res, 200, state.badges());
    case 'GET /api/version':
      if (url.searchParams.has('bump')) state.bumpDeployment();
      return sendJson(res, 200, { deploymentId: state.deploymentId() });
    case 'GET /api/version/bump':
    case 'POST /api/version/bump':
      return sendJson(res, 200, { deploymentId: state.bumpDeployment() });
    case 'POST /api/push/apns/register':
    case 'DELETE /api/push/apns/register': {
      const body = parseJson(await readBody(req));
      const answer = state.push(req.method, session, body);
      return send(res, answer.status, answer.body, { 'Content-Type': CONTENT_TYPES['.json'] });
    }

    // Controls for end-to-end tests.
    case 'GET /api/test/state':
      return sendJson(res, 200, state.snapshot());
    case 'POST /api/test/badges': {
      const counts = parseJson(await readBody(req));
      if (counts === undefined || (counts !== null && typeof counts !== 'object')) return sendJson(res, 400, { ok: false });
      state.setBadges(counts);
      return sendJson(res, 200, { ok: true, badges: state.badges() });
    }
    case 'POST /api/test/push-mode': {
      const body = parseJson(await readBody(req));
      if (!body || !['accept', 'reject', 'empty', 'error'].includes(body.mode)) return sendJson(res, 400, { ok: false });
      state.pushMode = body.mode;
      return sendJson(res, 200, { ok: true });
    }
    case 'POST /api/test/sign-in':
      return sendJson(res, 200, { ok: true }, { 'Set-Cookie': sessionCookie(state.newSession()) });
    default:
      break;
    }

    if (req.method === 'GET' && url.pathname.startsWith('/static/')) return serveFile(res, url.pathname.slice('/static/'.length), origins);
    if (req.method === 'GET' && url.pathname.startsWith('/test/')) return serveFile(res, url.pathname.slice(1), origins);
    if (url.pathname.startsWith('/api/')) return sendJson(res, 404, { ok: false, error: 'not found' });
    return sendHtml(res, 404, pages.notFoundPage());
  };
}

function listen(server, port) {
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server.address().port));
  });
}

// Starts both listeners; resolves with their ports and a close function.
async function startServer({ port = 8765, otherPort = null, state = new DemoState() } = {}) {
  const origins = { app: '', other: '', altHost: '' };
  const handler = createHandler(state, origins);
  const wrap = (req, res) => handler(req, res).catch((error) => {
    if (!res.headersSent) sendJson(res, 500, { ok: false, error: String(error.message || error) });
    else res.destroy();
  });
  const main = http.createServer(wrap);
  const other = http.createServer(wrap);
  const mainPort = await listen(main, port);
  const secondPort = await listen(other, otherPort ?? (port === 0 ? 0 : port + 1));
  origins.app = `http://127.0.0.1:${mainPort}`;
  origins.other = `http://127.0.0.1:${secondPort}`;
  origins.altHost = `http://localhost:${mainPort}`;
  const close = () => Promise.all([main, other].map((server) => new Promise((resolve) => {
    server.closeAllConnections();
    server.close(resolve);
  })));
  return { port: mainPort, otherPort: secondPort, origins, state, close };
}

function parseArguments(argv, env) {
  const options = { port: Number(env.NORLA_DEMO_PORT || env.PORT || 8765), otherPort: env.NORLA_DEMO_OTHER_PORT ? Number(env.NORLA_DEMO_OTHER_PORT) : null };
  for (let i = 0; i < argv.length; i += 1) {
    const [name, inline] = argv[i].split('=', 2);
    const value = inline ?? argv[i + 1];
    if (name === '--port' || name === '--other-port') {
      if (inline === undefined) i += 1;
      options[name === '--port' ? 'port' : 'otherPort'] = Number(value);
    } else if (/^\d+$/.test(argv[i])) {
      options.port = Number(argv[i]);
    } else {
      throw new Error(`unknown argument: ${argv[i]}`);
    }
  }
  for (const key of ['port', 'otherPort']) {
    if (options[key] !== null && !(Number.isInteger(options[key]) && options[key] >= 0 && options[key] < 65536)) {
      throw new Error(`invalid ${key}`);
    }
  }
  return options;
}

if (require.main === module) {
  let options;
  try {
    options = parseArguments(process.argv.slice(2), process.env);
  } catch (error) {
    console.error(`demo: ${error.message}\nusage: server.js [--port N] [--other-port M]`);
    process.exit(2);
  }
  startServer(options).then((server) => {
    console.log(`demo: ${server.origins.app} (other origin: ${server.origins.other})`);
    const stop = () => server.close().then(() => process.exit(0));
    process.on('SIGINT', stop);
    process.on('SIGTERM', stop);
  }, (error) => {
    console.error(`demo: ${error.message}`);
    process.exit(1);
  });
}

module.exports = { startServer, parseArguments };
