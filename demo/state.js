'use strict';
// The demo server's in-memory state: badge counters that move over time, the deployment id, push
// registrations and sessions. Everything here is lost when the server stops.

const crypto = require('node:crypto');

const BADGE_KEYS = [
  'salesToday', 'outbox', 'approvals', 'todayFocus', 'companyVerify',
  'chatUnread', 'chatMentions', 'chatDirect', 'notifications',
];

class DemoState {
  constructor({ now = () => Date.now(), tickMs = 20000 } = {}) {
    this.now = now;
    this.tickMs = tickMs;
    this.startedAt = now();
    this.badgeBase = {
      salesToday: 3, outbox: 1, approvals: 2, todayFocus: 4, companyVerify: 0,
      chatUnread: 5, chatMentions: 1, chatDirect: 0, notifications: 2,
    };
    this.badgeOverride = null; // set by tests: exact counters, no drift
    this.deployment = 1;
    this.pushMode = 'accept'; // accept | reject | empty | error
    this.registrations = new Map(); // deviceToken -> { environment, bundleId, session }
    this.pushLog = []; // every request to the register endpoint, for tests
    this.sessions = new Set();
  }

  // Counters drift upward one step per tick (a new message, a new approval…) and wrap, so that a
  // desktop left running sees them rise and, now and then, fall.
  badges() {
    if (this.badgeOverride) return { ...this.badgeOverride };
    const tick = Math.floor((this.now() - this.startedAt) / this.tickMs);
    const counts = { ...this.badgeBase };
    counts.chatUnread += tick % 7;
    counts.chatMentions += Math.floor(tick / 3) % 3;
    counts.chatDirect += Math.floor(tick / 2) % 4;
    counts.approvals += Math.floor(tick / 5) % 2;
    counts.notifications += tick % 4;
    return counts;
  }

  setBadges(counts) {
    if (counts === null) {
      this.badgeOverride = null;
      return;
    }
    const next = {};
    for (const key of BADGE_KEYS) {
      if (key in counts) next[key] = counts[key];
    }
    this.badgeOverride = next;
  }

  deploymentId() { return `demo-${this.deployment}`; }
  bumpDeployment() { this.deployment += 1; return this.deploymentId(); }

  newSession() {
    const id = crypto.randomBytes(16).toString('hex');
    this.sessions.add(id);
    return id;
  }
  hasSession(id) { return typeof id === 'string' && this.sessions.has(id); }
  endSession(id) { this.sessions.delete(id); }

  // Answers a register (POST) or unregister (DELETE) request: { status, body } where body is the text.
  push(method, session, body) {
    this.pushLog.push({ method, body, signedIn: this.hasSession(session) });
    if (!this.hasSession(session)) return { status: 401, body: JSON.stringify({ ok: false, error: 'unauthorized' }) };
    if (this.pushMode === 'error') return { status: 500, body: JSON.stringify({ ok: false, error: 'server' }) };
    if (this.pushMode === 'empty') return { status: 200, body: '' };
    if (!body || typeof body.deviceToken !== 'string' || !/^[0-9a-f]+$/.test(body.deviceToken)) {
      return { status: 400, body: JSON.stringify({ ok: false, error: 'deviceToken' }) };
    }
    if (method === 'DELETE') {
      this.registrations.delete(body.deviceToken);
      return { status: 200, body: JSON.stringify({ ok: true }) };
    }
    if (this.pushMode === 'reject') return { status: 200, body: JSON.stringify({ ok: false, error: 'rejected' }) };
    if (body.environment !== 'production' || typeof body.bundleId !== 'string') {
      return { status: 400, body: JSON.stringify({ ok: false, error: 'body' }) };
    }
    this.registrations.set(body.deviceToken, { environment: body.environment, bundleId: body.bundleId });
    return { status: 200, body: JSON.stringify({ ok: true }) };
  }

  snapshot() {
    return {
      badges: this.badges(),
      deploymentId: this.deploymentId(),
      pushMode: this.pushMode,
      registrations: Object.fromEntries(this.registrations),
      pushLog: this.pushLog,
      sessions: this.sessions.size,
    };
  }
}

module.exports = { DemoState, BADGE_KEYS };
