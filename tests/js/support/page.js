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

function deferred() {
  let resolve;
  let reject;
  const promise = new Promise((res, rej) => {
    resolve = res;
    reject = rej;
  });
  return { promise, resolve, reject };
}

// Lets every promise chain that is already under way run to its end.
async function settle() {
  for (let i = 0; i < 10; i++) await new Promise((resolve) => setImmediate(resolve));
}

// A response as the page's fetch would give it; `json` may be a function to make parsing fail.
function response(body, { ok = true, status = ok ? 200 : 500, json } = {}) {
  return {
    ok,
    status,
    json: json || (async () => body),
    arrayBuffer: async () => body,
  };
}

// Virtual time for setTimeout/setInterval: nothing runs until the test advances the clock.
class FakeTimers {
  constructor() {
    this.now = 0;
    this.nextId = 1;
    this.timers = new Map();
  }

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

  intervals() {
    return [...this.timers.values()].filter((t) => t.repeat).map((t) => t.period);
  }

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

// jsdom has no isContentEditable; this follows the attribute's inheritance as browsers do.
function installContentEditable(window) {
  if ("isContentEditable" in window.HTMLElement.prototype) return;
  Object.defineProperty(window.HTMLElement.prototype, "isContentEditable", {
    configurable: true,
    get() {
      for (let element = this; element; element = element.parentElement) {
        const value = element.getAttribute("contenteditable");
        if (value === null) continue;
        const word = value.toLowerCase();
        if (word === "" || word === "true" || word === "plaintext-only") return true;
        if (word === "false") return false;
      }
      return false;
    },
  });
}

// Options: url (the page's address), origin (inserted into the scripts), scripts (which to inject, in the
// host's order), routes (path -> function(init) giving a response or a promise of one), bridge (handler name
// -> function(message) giving the reply or a promise of it), html.
function openPage(options = {}) {
  const {
    url = `${APP_ORIGIN}/chat`,
    origin = APP_ORIGIN,
    scripts = ["recorder", "shell"],
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

    messages(handler, cmd) {
      return this.posted.filter((p) => p.handler === handler && (cmd === undefined || p.message.cmd === cmd));
    },
    fetchesOf(path) {
      return this.fetches.filter((f) => f.url === path);
    },
    dispatch(target, type) {
      target.dispatchEvent(new window.Event(type));
    },
    run(source) {
      return window.eval(source);
    },
  };

  const handlerFor = (name) => ({
    postMessage(message) {
      page.posted.push({ handler: name, message: structuredClone(message) });
      try {
        return Promise.resolve(page.bridge[name](structuredClone(message)));
      } catch (error) {
        return Promise.reject(error);
      }
    },
  });
  window.webkit = { messageHandlers: { norlaShell: handlerFor("norlaShell"), norlaRecorder: handlerFor("norlaRecorder") } };

  window.fetch = (input, init) => {
    const target = String(input);
    page.fetches.push({ url: target, init: init === undefined ? undefined : structuredClone(init) });
    const route = page.routes[target];
    if (!route) return Promise.reject(new TypeError(`no route for ${target}`));
    try {
      return Promise.resolve(route(init));
    } catch (error) {
      return Promise.reject(error);
    }
  };

  // The platform's own window.open, as the recorder script finds it.
  window.open = function (...args) {
    page.nativeOpens.push({ args, self: this });
    return "native window";
  };

  if (options.beforeScripts) options.beforeScripts(page);
  for (const kind of scripts) window.eval(generatedScript(kind, origin));
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
