// A page in jsdom with the bootstrap scripts injected as the web view host injects them, and stand-ins for
// what the shell and the web application provide: the two script-message handlers, fetch, timers and reloads.
"use strict";

const { execFileSync } = require("node:child_process");
const { JSDOM, VirtualConsole } = require("jsdom");

const APP_ORIGIN = "https://office.norla.jp";

const scriptCache = new Map();

// The script text exactly as the core builds it, from the test program named by NORLA_PRINT_SCRIPTS.
function generatedScript(kind, origin) {
  const program = process.env.NORLA_PRINT_SCRIPTS;
  if (!program) throw new Error("NORLA_PRINT_SCRIPTS must name the print_scripts program (ctest sets it)");
  const key = `${kind} ${origin}`;
  if (!scriptCache.has(key)) scriptCache.set(key, execFileSync(program, [kind, origin], { encoding: "utf8" }));
  return scriptCache.get(key);
}

// A promise with its resolve and reject at hand.
function deferred() {
  const parts = {};
  parts.promise = new Promise((resolve, reject) => Object.assign(parts, { resolve, reject }));
  return parts;
}

// Lets every promise chain that is already under way run to its end.
async function settle() {
  for (let i = 0; i < 10; i++) await new Promise((resolve) => setImmediate(resolve));
}

// A response as the page's fetch would give it; `json` may be a function to make parsing fail.
function response(body, { ok = true, status = ok ? 200 : 500, json } = {}) {
  return { ok, status, json: json || (async () => body), arrayBuffer: async () => body };
}

// Virtual time for setTimeout/setInterval: nothing runs until the test advances the clock.
class FakeTimers {
  now = 0;
  nextId = 1;
  timers = new Map();

  install(window) {
    window.setTimeout = (fn, delay = 0, ...args) => this.add(fn, delay, args, false);
    window.setInterval = (fn, delay = 0, ...args) => this.add(fn, delay, args, true);
    window.clearTimeout = (id) => this.timers.delete(id);
    window.clearInterval = (id) => this.timers.delete(id);
  }

  add(fn, delay, args, repeat) {
    const id = this.nextId++;
    const period = Math.max(0, Number(delay) || 0);
    this.timers.set(id, { fn, args, period, repeat, due: this.now + period });
    return id;
  }

  intervals = () => [...this.timers.values()].filter((t) => t.repeat).map((t) => t.period);

  async advanceBy(ms) {
    const end = this.now + ms;
    for (;;) {
      let next = null;
      for (const [id, t] of this.timers) if (t.due <= end && (!next || t.due < next.t.due)) next = { id, t };
      if (!next) break;
      this.now = next.t.due;
      if (next.t.repeat) next.t.due += Math.max(1, next.t.period);
      else this.timers.delete(next.id);
      next.t.fn(...next.t.args);
      await settle();
    }
    this.now = end;
  }
}

// jsdom has no isContentEditable; this follows the nearest contenteditable attribute, as browsers do.
function installContentEditable(window) {
  Object.defineProperty(window.HTMLElement.prototype, "isContentEditable", {
    configurable: true,
    get() {
      const holder = this.closest("[contenteditable]");
      return !!holder && ["", "true", "plaintext-only"].includes(holder.getAttribute("contenteditable").toLowerCase());
    },
  });
}

// Options: url (the page's address), origin (inserted into the scripts), routes (path -> function(init)
// giving a response or a promise of one), bridge (handler name -> function(message) giving the reply or a
// promise of it), html, beforeScripts (a function given the page before the scripts run).
function openPage(options = {}) {
  const {
    url = `${APP_ORIGIN}/chat`,
    origin = APP_ORIGIN,
    html = "<!doctype html><html><head></head><body></body></html>",
  } = options;

  const reloads = [];
  const virtualConsole = new VirtualConsole();
  // jsdom does not navigate; location.reload() reports itself this way.
  virtualConsole.on("jsdomError", (error) => /Not implemented: navigation/.test(error.message) && reloads.push(error));

  const dom = new JSDOM(html, { url, runScripts: "outside-only", virtualConsole });
  const { window } = dom;
  const timers = new FakeTimers();
  timers.install(window);
  installContentEditable(window);

  const page = {
    window,
    document: window.document,
    timers,
    reloads,
    posted: [],
    fetches: [],
    nativeOpens: [],
    routes: {
      "/api/badges": () => response({}),
      "/api/version": () => response({ deploymentId: "deploy-1" }),
      ...options.routes,
    },
    bridge: { norlaShell: () => undefined, norlaRecorder: () => undefined, ...options.bridge },

    messages: (handler, cmd) => page.posted.filter((p) => p.handler === handler && (cmd === undefined || p.message.cmd === cmd)),
    fetchesOf: (path) => page.fetches.filter((f) => f.url === path),
    dispatch: (target, type) => target.dispatchEvent(new window.Event(type)),
    run: (source) => window.eval(source),
  };

  const handlerFor = (name) => ({
    postMessage(message) {
      page.posted.push({ handler: name, message: structuredClone(message) });
      return new Promise((resolve) => resolve(page.bridge[name](structuredClone(message))));
    },
  });
  window.webkit = { messageHandlers: { norlaShell: handlerFor("norlaShell"), norlaRecorder: handlerFor("norlaRecorder") } };

  window.fetch = (input, init) => {
    const target = String(input);
    page.fetches.push({ url: target, init: init === undefined ? undefined : structuredClone(init) });
    const route = page.routes[target];
    return new Promise((resolve) => {
      if (!route) throw new TypeError(`no route for ${target}`);
      resolve(route(init));
    });
  };

  // The platform's own window.open, as the recorder script finds it.
  window.open = function (...args) {
    page.nativeOpens.push({ args, self: this });
    return "native window";
  };

  if (options.beforeScripts) options.beforeScripts(page);
  for (const kind of ["recorder", "shell"]) window.eval(generatedScript(kind, origin));
  return page;
}

// Collects promise rejections nobody handled while `body` runs, across realms (the page's and the tests').
async function unhandledRejectionsDuring(body) {
  const seen = [];
  const listener = (reason) => seen.push(reason);
  process.on("unhandledRejection", listener);
  try {
    await body();
    await settle();
  } finally {
    process.off("unhandledRejection", listener);
  }
  return seen;
}

module.exports = { APP_ORIGIN, deferred, generatedScript, openPage, response, settle, unhandledRejectionsDuring };
