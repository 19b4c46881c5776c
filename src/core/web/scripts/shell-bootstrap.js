// The shell bootstrap: turns page notifications into native ones, lets the shell decide the page's visibility,
// reports badge counts and reloads a stale deployment while nobody is looking. Injected at document start into
// the main frame, after the recorder bootstrap. Tokens written between double at-signs are filled in by the
// native side when it builds the script; nothing is escaped.
(function () {
  if (window.__norlaMacShell || location.origin !== "@@NORLA_ORIGIN@@") return;
  window.__norlaMacShell = true;

  // Held from install time, so a page that replaces window.webkit later cannot redirect the bridge.
  const handler = window.webkit.messageHandlers.norlaShell;
  const send = (cmd, args = {}) => handler.postMessage({ cmd, ...args });
  const POLL_MS = 60000;

  let permission = "default";
  send("notificationPermission").then(
    (reply) => {
      if (typeof reply === "string") permission = reply;
    },
    () => {});

  const stringOrNull = (value) => (value === null || value === undefined ? null : String(value));

  class ShellNotification {
    constructor(title, options) {
      const opts = options || {};
      send("notify", {
        title: title === null || title === undefined ? "" : String(title),
        body: stringOrNull(opts.body),
        tag: stringOrNull(opts.tag),
        sound: opts.silent !== true,
      }).catch(() => {});
    }

    close() {}

    static get permission() {
      return permission;
    }

    static requestPermission() {
      return send("requestNotificationPermission")
        .then((reply) => (typeof reply === "string" ? reply : "denied"), () => "denied")
        .then((word) => {
          permission = word;
          return word;
        });
    }
  }
  window.Notification = ShellNotification;

  // The shell knows better than the platform when its window is out of sight, and says so with
  // "norla:hidden" and "norla:shown".
  let shellHidden = false;
  try {
    Object.defineProperty(document, "visibilityState", {
      configurable: true,
      get: () => (shellHidden ? "hidden" : "visible"),
    });
  } catch (e) {
    // Without the override the platform's own visibility stands.
  }
  const setShellHidden = (hidden) => {
    shellHidden = hidden;
    document.dispatchEvent(new Event("visibilitychange"));
  };
  window.addEventListener("norla:hidden", () => setShellHidden(true));
  window.addEventListener("norla:shown", () => setShellHidden(false));

  // A later poll supersedes an earlier one still in flight, so stale counts never overwrite fresh ones.
  let badgeSequence = 0;
  const pollBadges = async () => {
    const sequence = ++badgeSequence;
    try {
      const response = await fetch("/api/badges", { credentials: "include", cache: "no-store" });
      if (!response.ok) return;
      const counts = await response.json();
      if (sequence !== badgeSequence) return;
      await send("badges", { counts });
    } catch (e) {
      // The next poll tries again.
    }
  };
  window.addEventListener("focus", pollBadges);
  window.addEventListener("office-badges-refresh", pollBadges);
  document.addEventListener("visibilitychange", () => {
    if (document.visibilityState === "visible") pollBadges();
  });

  let loaded = null;
  let stale = false;

  // Reloading under the user's hands would lose typing or a recording: wait until nobody is watching.
  const reloadIfUnwatched = () => {
    if (!stale || document.visibilityState !== "hidden" || window.__norlaRecordingActive === true) return;
    const active = document.activeElement;
    if (active && (active.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(active.tagName))) return;
    location.reload();
  };

  const pollDeployment = async () => {
    try {
      const response = await fetch("/api/version", { cache: "no-store" });
      if (!response.ok) return;
      const body = await response.json();
      const deploymentId = body.deploymentId;
      if (typeof deploymentId !== "string") return;
      if (loaded === null) loaded = deploymentId;
      else if (deploymentId !== loaded) stale = true;
      reloadIfUnwatched();
    } catch (e) {
      // The next poll tries again.
    }
  };
  document.addEventListener("visibilitychange", reloadIfUnwatched);

  pollBadges();
  pollDeployment();
  setInterval(() => {
    pollBadges();
    pollDeployment();
  }, POLL_MS);
})();
