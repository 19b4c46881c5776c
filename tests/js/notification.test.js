"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { deferred, openPage, settle, unhandledRejectionsDuring } = require("./support/page");

const notifyMessage = (page) => page.messages("norlaShell", "notify").map((p) => p.message);

test.describe("ShellNotification", () => {
  test.it("maps the title and options onto the notify message", async () => {
    const cases = [
      [["会議が始まります", { body: "10:00 定例", tag: "meeting-1" }], { title: "会議が始まります", body: "10:00 定例", tag: "meeting-1", sound: true }],
      [["t", { silent: true }], { title: "t", body: null, tag: null, sound: false }],
      [["t", { silent: "true", body: null, tag: undefined }], { title: "t", body: null, tag: null, sound: true }],
      [["t", { body: 0, tag: 7 }], { title: "t", body: "0", tag: "7", sound: true }],
      [["t", { body: "", tag: "" }], { title: "t", body: "", tag: "", sound: true }],
      [["t", null], { title: "t", body: null, tag: null, sound: true }],
      [[undefined, {}], { title: "", body: null, tag: null, sound: true }],
      [[null, {}], { title: "", body: null, tag: null, sound: true }],
      [[42, {}], { title: "42", body: null, tag: null, sound: true }],
    ];
    for (const [args, expected] of cases) {
      const page = openPage();
      page.window.__args = args;
      page.run("new Notification(...window.__args)");
      await settle();
      assert.deepEqual(notifyMessage(page), [{ cmd: "notify", ...expected }], JSON.stringify(args));
    }
  });

  test.it("close does nothing and a rejected notify send stays inside the page", async () => {
    const page = openPage({
      bridge: { norlaShell: (m) => (m.cmd === "notify" ? Promise.reject(new Error("boom")) : undefined) },
    });
    const unhandled = await unhandledRejectionsDuring(() => page.run('new Notification("x")').close());
    assert.deepEqual(unhandled, []);
    const commands = page.messages("norlaShell").map((p) => p.message.cmd).filter((cmd) => cmd !== "badges");
    assert.deepEqual(commands, ["notificationPermission", "notify"]);
  });
});

test.describe("notification permission", () => {
  test.it("starts as default and adopts the shell's word when it arrives, if it is a string", async () => {
    for (const [answer, word] of [["granted", "granted"], [undefined, "default"], [1, "default"], [{ word: "granted" }, "default"],
      [new Error("no"), "default"]]) {
      const reply = deferred();
      const page = openPage({ bridge: { norlaShell: (m) => (m.cmd === "notificationPermission" ? reply.promise : undefined) } });
      assert.deepEqual(page.messages("norlaShell")[0].message, { cmd: "notificationPermission" });
      assert.equal(page.run("Notification.permission"), "default");
      if (answer instanceof Error) reply.reject(answer);
      else reply.resolve(answer);
      await settle();
      assert.equal(page.run("Notification.permission"), word, JSON.stringify(answer));
    }
  });

  test.it("requestPermission resolves with the reply, else denied, and makes it the permission", async () => {
    for (const [answer, word] of [[() => "granted", "granted"], [() => undefined, "denied"], [() => true, "denied"],
      [() => Promise.reject(new Error("no")), "denied"]]) {
      const page = openPage({
        bridge: { norlaShell: (m) => (m.cmd === "notificationPermission" ? "default" : m.cmd === "requestNotificationPermission" ? answer() : undefined) },
      });
      await settle();
      assert.equal(await page.run("Notification.requestPermission()"), word);
      assert.equal(page.run("Notification.permission"), word);
      assert.deepEqual(page.messages("norlaShell", "requestNotificationPermission").map((p) => p.message), [{ cmd: "requestNotificationPermission" }]);
    }
  });
});
