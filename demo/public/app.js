'use strict';
// Behaviour shared by every application page: the sidebar rail, the shell status line, the badge
// summary and the demo notification.
(() => {
  const body = document.body;
  window.addEventListener('toggle-sidebar-rail', () => body.classList.toggle('rail'));

  const status = document.getElementById('shell-status');
  const showStatus = () => {
    const shell = window.norlaMobile && window.norlaMobile.available ? `デスクトップアプリ（${window.norlaMobile.platform}）` : 'ブラウザ';
    const visibility = document.visibilityState === 'hidden' ? '非表示' : '表示中';
    if (status) status.textContent = `${shell}・${visibility}`;
  };
  document.addEventListener('visibilitychange', showStatus);
  showStatus();

  const summary = document.getElementById('badge-summary');
  const showBadges = async () => {
    try {
      const response = await fetch('/api/badges', { credentials: 'include', cache: 'no-store' });
      if (!response.ok) return;
      const counts = await response.json();
      if (summary) summary.textContent = `未読 ${counts.chatUnread}・承認待ち ${counts.approvals}`;
    } catch {
      // The next refresh tries again.
    }
  };
  window.addEventListener('office-badges-refresh', showBadges);
  showBadges();
  setInterval(showBadges, 30000);

  const notifyButton = document.getElementById('notify-button');
  if (notifyButton) {
    notifyButton.addEventListener('click', async () => {
      if (typeof Notification === 'undefined') return;
      let permission = Notification.permission;
      if (permission !== 'granted') permission = await Notification.requestPermission();
      if (permission !== 'granted') return;
      // A fixed tag: pressing again replaces the previous notification.
      new Notification('Vantorel', { body: 'デモの通知です。', tag: 'demo' });
    });
  }

  const chatForm = document.getElementById('chat-form');
  if (chatForm) {
    chatForm.addEventListener('submit', (event) => {
      event.preventDefault();
      const input = document.getElementById('chat-input');
      if (!input.value) return;
      const item = document.createElement('li');
      item.textContent = input.value;
      document.querySelector('ul.chat').appendChild(item);
      input.value = '';
      window.dispatchEvent(new Event('office-badges-refresh'));
    });
  }
})();
