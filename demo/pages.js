'use strict';
// HTML of the demo web application's pages. Japanese texts, as in the real application.

const GO_PAGES = [
  { path: '/chat', label: 'メッセージ', body: chatBody },
  { path: '/tasks', label: 'タスク一覧', body: () => list(['見積書を送る（今日）', '議事録を共有する（明日）', '契約書の確認（金曜）']) },
  { path: '/calendar', label: 'カレンダー', body: () => list(['10:00 定例会議', '13:30 取引先と打ち合わせ', '16:00 1on1']) },
  { path: '/agent', label: 'AI', body: agentBody },
  { path: '/meeting-notes', label: '議事録', body: meetingNotesBody },
  { path: '/pages', label: '社内ページ', body: () => list(['就業規則', '経費精算の手順', '新入社員の方へ']) },
  { path: '/decks', label: 'スライド', body: () => list(['四半期報告.deck', '採用説明会.deck']) },
  { path: '/databases', label: 'データベース', body: () => list(['顧客一覧', '案件管理', '備品台帳']) },
  { path: '/decisions', label: '決める', body: () => list(['新オフィスの候補地（投票中）', '来期の重点施策（決定済み）']) },
  { path: '/crm', label: '取引先', body: () => list(['株式会社サンプル', '合同会社テスト商事', '有限会社デモ工業']) },
];

function escapeHtml(text) {
  return String(text).replace(/[&<>"']/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' }[c]));
}

function list(items) {
  return `<ul class="items">${items.map((item) => `<li>${escapeHtml(item)}</li>`).join('')}</ul>`;
}

function chatBody() {
  return `<ul class="items chat">
  <li><b>佐藤</b> 明日の会議資料を共有しました。</li>
  <li><b>鈴木</b> @あなた 確認をお願いします。</li>
  <li><b>田中</b> 了解です！</li>
</ul>
<form id="chat-form"><input id="chat-input" name="message" placeholder="メッセージを入力" autocomplete="off"><button>送信</button></form>`;
}

function agentBody() {
  return `<p>何でも聞いてください。</p>
<form id="agent-form"><textarea id="agent-input" rows="3" placeholder="質問を入力"></textarea><button>送信</button></form>`;
}

function meetingNotesBody() {
  return `<p><a id="record-link" href="/meeting-notes/record?mode=desktop-app">会議を録音する</a></p>
${list(['2024-05-01 定例会議', '2024-05-08 定例会議'])}`;
}

function layout({ title, page, content, scripts = [] }) {
  const nav = GO_PAGES.map((item) => `<a href="${item.path}"${item.path === `/${page}` ? ' class="current"' : ''}>${escapeHtml(item.label)}</a>`).join('\n    ');
  return `<!doctype html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${escapeHtml(title)} — Vantorel</title>
<link rel="stylesheet" href="/static/app.css">
</head>
<body data-page="${escapeHtml(page)}">
<header>
  <span class="brand">Vantorel</span>
  <span id="shell-status" class="status"></span>
  <span id="badge-summary" class="status"></span>
  <button id="notify-button" type="button">通知を送る</button>
  <a id="external-link" href="https://example.com/" target="_blank" rel="noopener">外部サイトを開く</a>
  <a href="/auth/logout">サインアウト</a>
</header>
<div class="frame">
  <nav id="sidebar">
    ${nav}
  </nav>
  <main>
    <h1>${escapeHtml(title)}</h1>
    ${content}
  </main>
</div>
<script src="/static/app.js"></script>
${scripts.map((src) => `<script src="${src}"></script>`).join('\n')}
</body>
</html>
`;
}

function goPage(item) {
  return layout({ title: item.label, page: item.path.slice(1), content: item.body() });
}

function recordPage(mode) {
  const desktop = mode === 'desktop-app';
  const content = `
<p id="record-mode">${desktop ? 'デスクトップアプリで録音します。' : 'このページはデスクトップアプリ用です。'}</p>
<p id="record-unavailable" hidden>録音はデスクトップアプリでのみ使えます。</p>
<div class="controls">
  <button id="record-start" type="button">録音開始</button>
  <button id="record-pause" type="button">一時停止</button>
  <button id="record-resume" type="button">再開</button>
  <button id="record-stop" type="button">停止</button>
  <button id="record-pending" type="button">未処理の録音を取得</button>
</div>
<p>状態: <span id="record-state">待機中</span></p>
<p id="record-error" class="error" role="alert"></p>
<h2>録音ファイル</h2>
<ul id="recordings" class="items"></ul>
<audio id="player" controls></audio>`;
  return layout({ title: '会議の録音', page: 'meeting-notes', content, scripts: ['/static/record.js'] });
}

function loginPage(error) {
  const message = error === 'auth_failed'
    ? '<p id="login-error" class="error" role="alert">サインインに失敗しました。もう一度お試しください。</p>'
    : '';
  return `<!doctype html>
<html lang="ja">
<head><meta charset="utf-8"><title>サインイン — Vantorel</title><link rel="stylesheet" href="/static/app.css"></head>
<body data-page="login" class="login">
<main class="login-box">
  <h1>Vantorel にサインイン</h1>
  ${message}
  <form method="post" action="/auth/login">
    <label>メールアドレス <input name="email" type="email" value="demo@example.jp" autocomplete="username"></label>
    <label>パスワード <input name="password" type="password" value="demo" autocomplete="current-password"></label>
    <button id="login-submit">サインイン</button>
  </form>
  <p><button id="login-oauth" type="button">Google でサインイン</button></p>
  <p id="oauth-result"></p>
</main>
<script src="/static/login.js"></script>
</body>
</html>
`;
}

// Stands in for the identity provider's consent screen in the native sign-in sheet: continuing goes to
// the callback address that ends the sheet.
function authorizePage(callback) {
  return `<!doctype html>
<html lang="ja">
<head><meta charset="utf-8"><title>アカウントの選択</title><link rel="stylesheet" href="/static/app.css"></head>
<body data-page="authorize" class="login">
<main class="login-box">
  <h1>アカウントの選択</h1>
  <p>Vantorel に demo@example.jp としてサインインします。</p>
  <p><a id="authorize-continue" href="${escapeHtml(callback)}">続行</a></p>
</main>
</body>
</html>
`;
}

function notFoundPage() {
  return layout({ title: 'ページが見つかりません', page: '', content: '<p>お探しのページは見つかりませんでした。</p>' });
}

module.exports = { GO_PAGES, goPage, recordPage, loginPage, authorizePage, notFoundPage, escapeHtml };
