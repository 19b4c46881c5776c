"use strict";

// The fetch that push registration runs in the page, run in Node against the demo's push endpoint.
const test = require("node:test");
const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const path = require("node:path");
const { startServer } = require(path.join(__dirname, "..", "..", "demo", "server.js"));

const AsyncFunction = (async () => {}).constructor;
const fetchScript = () => execFileSync(process.env.NORLA_PRINT_SCRIPTS, ["fetch"], { encoding: "utf8" });

test("the push fetch answers status and parsed body, with null for an empty one", async () => {
  const server = await startServer({ port: 0 });
  try {
    let cookie = "";
    // The page's fetch: relative to the page, with the page's cookies.
    const pageFetch = (where, init) => fetch(server.origins.app + where, { ...init, headers: { ...init.headers, cookie } });
    const run = new AsyncFunction("fetch", "path", "method", "body", fetchScript());
    const register = (body) => run(pageFetch, "/api/push/apns/register", "POST", body);
    const device = { deviceToken: "0aff", environment: "production", bundleId: "jp.norla.office" };
    const setMode = (mode) => pageFetch("/api/test/push-mode", { method: "POST", body: JSON.stringify({ mode }), headers: {} });

    assert.deepEqual(await register(device), { ok: false, status: 401, json: { ok: false, error: "unauthorized" } });
    const signedIn = await pageFetch("/api/test/sign-in", { method: "POST", headers: {} });
    cookie = signedIn.headers.get("set-cookie").split(";")[0];
    assert.deepEqual(await register(device), { ok: true, status: 200, json: { ok: true } });
    assert.deepEqual(await register({ ...device, environment: "sandbox" }), { ok: false, status: 400, json: { ok: false, error: "body" } });
    await setMode("empty");
    assert.deepEqual(await register(device), { ok: true, status: 200, json: null });
    const sent = (await (await pageFetch("/api/test/state", { headers: {} })).json()).pushLog.at(-1);
    assert.deepEqual(sent, { method: "POST", body: device, signedIn: true });
  } finally {
    await server.close();
  }
});
