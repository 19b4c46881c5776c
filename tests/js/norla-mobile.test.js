"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const { openPage, response, settle } = require("./support/page");

test.describe("window.norlaMobile", () => {
  test.it("posts each command as one flat message to the recorder handler and passes its reply or rejection on", async () => {
    const calls = [
      ["startMeetingRecording()", { cmd: "start" }],
      ["pauseMeetingRecording()", { cmd: "pause" }],
      ["resumeMeetingRecording()", { cmd: "resume" }],
      ["stopMeetingRecording()", { cmd: "stop" }],
      ["pendingMeetingRecording()", { cmd: "pending" }],
      ['discardRecording("/rec/2026-12-05/meeting.m4a")', { cmd: "discard", path: "/rec/2026-12-05/meeting.m4a" }],
    ];
    const replies = { pending: () => undefined, start: () => Promise.reject(new Error("マイクの使用が許可されていません")) };
    const page = openPage({ bridge: { norlaRecorder: (m) => (replies[m.cmd] ? replies[m.cmd]() : `reply to ${m.cmd}`) } });
    await settle();
    const shellBefore = page.messages("norlaShell").length;
    for (const [call, { cmd }] of calls) {
      const result = page.run(`window.norlaMobile.${call}`);
      if (cmd === "start") await assert.rejects(result, { message: "マイクの使用が許可されていません" });
      else assert.equal(await result, cmd === "pending" ? undefined : `reply to ${cmd}`, call);
    }
    assert.deepEqual(page.messages("norlaRecorder").map((p) => p.message), calls.map(([, message]) => message));
    assert.equal(page.messages("norlaShell").length, shellBefore, "the commands stay off the shell handler");
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
