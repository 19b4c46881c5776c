"use strict";

// The fetch that push registration runs in the page, run in Node against the demo's push endpoint.
const test = require("node:test");
const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const path = require("node:path");
const { startServer } = require(path.join(__dirname, "..", "..", "demo", "server.js"));

const AsyncFunction = (async () => {}).constructor;
const fetchScript = () => execFileSync(process.env.NORLA_PRINT_SCRIPTS, ["fetch"], { encoding: "utf8" });

test("the push fetch answers status and parsed body, with null for an empty one; the endpoint keeps and forgets devices", async () => {
  const server = await startServer({ port: 0 });
  try {
    let cookie = "";
    // The page's fetch: relative to the page, with the page's cookies.
    const pageFetch = (where, init = {}) => fetch(server.origins.app + where, { ...init, headers: { ...init.headers, cookie } });
    const run = new AsyncFunction("fetch", "path", "method", "body", fetchScript());
    const device = { deviceToken: "0aff", environment: "production", bundleId: "jp.norla.office" };
    const state = async () => (await pageFetch("/api/test/state")).json();
    const unauthorized = { ok: false, status: 401, json: { ok: false, error: "unauthorized" } };
    const steps = [
      ["POST", device, unauthorized],
      ["DELETE", device, unauthorized],
      ["sign-in"],
      ["POST", device, { ok: true, status: 200, json: { ok: true } }],
      ["POST", { ...device, environment: "sandbox" }, { ok: false, status: 400, json: { ok: false, error: "body" } }],
      ["reject"],
      ["POST", { ...device, deviceToken: "0b" }, { ok: true, status: 200, json: { ok: false, error: "rejected" } }],
      ["empty"],
      ["POST", device, { ok: true, status: 200, json: null }],
    ];
    for (const [method, body, answer] of steps) {
      if (method === "sign-in") cookie = (await pageFetch("/api/test/sign-in", { method: "POST" })).headers.get("set-cookie").split(";")[0];
      else if (!answer) await pageFetch("/api/test/push-mode", { method: "POST", body: JSON.stringify({ mode: method }) });
      else assert.deepEqual(await run(pageFetch, "/api/push/apns/register", method, body), answer, `${method} ${JSON.stringify(body)}`);
    }
    assert.deepEqual((await state()).pushLog.at(-1), { method: "POST", body: device, signedIn: true });
    assert.deepEqual((await state()).registrations, { "0aff": { environment: "production", bundleId: "jp.norla.office" } });
    await pageFetch("/api/test/push-mode", { method: "POST", body: JSON.stringify({ mode: "accept" }) });
    assert.equal((await run(pageFetch, "/api/push/apns/register", "DELETE", { deviceToken: "0aff" })).status, 200);
    assert.deepEqual((await state()).registrations, {});
  } finally {
    await server.close();
  }
});
