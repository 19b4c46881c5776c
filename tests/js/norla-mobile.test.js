"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { openPage, response } = require("./support/page");

test.describe("window.norlaMobile", () => {
  test.it("posts each command as one flat message to the recorder handler and returns its reply", async () => {
    const calls = [
      ["startMeetingRecording()", { cmd: "start" }],
      ["pauseMeetingRecording()", { cmd: "pause" }],
      ["resumeMeetingRecording()", { cmd: "resume" }],
      ["stopMeetingRecording()", { cmd: "stop" }],
      ["pendingMeetingRecording()", { cmd: "pending" }],
      ['discardRecording("/rec/2026-12-05/meeting.m4a")', { cmd: "discard", path: "/rec/2026-12-05/meeting.m4a" }],
    ];
    for (const [call, message] of calls) {
      const page = openPage({ bridge: { norlaRecorder: (m) => `reply to ${m.cmd}` } });
      const shellBefore = page.messages("norlaShell").length;
      assert.equal(await page.run(`window.norlaMobile.${call}`), `reply to ${message.cmd}`, call);
      assert.deepEqual(page.messages("norlaRecorder").map((p) => p.message), [message], call);
      assert.equal(page.messages("norlaShell").length, shellBefore, `${call} stays off the shell handler`);
    }
  });

  test.it("resolves with no value when the shell replies with nothing, and rejects with the shell's error", async () => {
    const page = openPage({
      bridge: { norlaRecorder: (m) => (m.cmd === "start" ? Promise.reject(new Error("マイクの使用が許可されていません")) : undefined) },
    });
    assert.equal(await page.run("window.norlaMobile.pendingMeetingRecording()"), undefined);
    await assert.rejects(page.run("window.norlaMobile.startMeetingRecording()"), { message: "マイクの使用が許可されていません" });
  });

  test.it("reads a recording through the recording scheme with the path URI-encoded, and fails a read not answered ok", async () => {
    const bytes = new Uint8Array([1, 2, 3]).buffer;
    const path = "/home/me/.local/share/norla-office/Recordings/会議 #1/meeting.m4a";
    const page = openPage({
      routes: { ["norla-rec://file" + encodeURI(path)]: () => response(bytes) },
    });
    page.window.__path = path;
    const body = await page.run("window.norlaMobile.readRecording(window.__path)");
    assert.equal(body, bytes);
    const read = page.fetches.filter((f) => f.url.startsWith("norla-rec:"));
    assert.deepEqual(read.map((f) => f.url), ["norla-rec://file/home/me/.local/share/norla-office/Recordings/%E4%BC%9A%E8%AD%B0%20#1/meeting.m4a"]);
    page.routes["norla-rec://file/gone.m4a"] = () => response(null, { ok: false, status: 404 });
    await assert.rejects(page.run('window.norlaMobile.readRecording("/gone.m4a")'), { message: "録音ファイルを読めませんでした" });
  });

  test.it("startOAuth sends its three keys as they are, answers only ok, cancelled or error, and rejects a rejected send", async () => {
    const keys = { url: "https://abcd.supabase.co/auth/v1/authorize?provider=google", callbackHost: "auth-callback", callbackPath: "/auth/callback" };
    const cases = [["ok", "ok"], ["cancelled", "cancelled"], ["error", "error"], [undefined, "error"], ["OK", "error"], [1, "error"],
      ["okay", "error"]].map(([reply, expected]) => [{ ...keys, extra: "ignored" }, reply, expected, keys]);
    const partial = { url: "https://x.supabase.co/", callbackHost: "h" };
    cases.push([partial, "error", "error", { ...partial, callbackPath: undefined }]);
    for (const [options, reply, expected, sent] of cases) {
      const page = openPage({ bridge: { norlaRecorder: () => reply } });
      page.window.__options = options;
      assert.equal(await page.run("window.norlaMobile.startOAuth(window.__options)"), expected, `reply ${JSON.stringify(reply)}`);
      assert.deepEqual(page.messages("norlaRecorder").map((p) => p.message), [{ cmd: "startOAuth", ...sent }]);
    }
    const page = openPage({ bridge: { norlaRecorder: () => Promise.reject(new Error("不正な呼び出しです")) } });
    await assert.rejects(page.run('window.norlaMobile.startOAuth({ url: "reject" })'), { message: "不正な呼び出しです" });
  });
});
