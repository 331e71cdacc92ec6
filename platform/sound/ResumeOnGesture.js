// SPDX-License-Identifier: GPL-3.0-or-later
// Browsers start a page's sound only after the visitor has clicked or pressed a key. Linked
// into the page's program (emcc --js-library) for the microphone and the synthesiser; written
// as `name: function`, which emcc 3.1.6 copies as text without mangling.
mergeInto(LibraryManager.library, {
  // Resumes `context` at the first click or key, then calls `resumed`; nothing when it runs.
  $resumeOnGesture: function(context, resumed) {
    if (context.state === 'running') return;
    const resume = function() {
      context.resume();
      window.removeEventListener('pointerdown', resume);
      window.removeEventListener('keydown', resume);
      if (resumed) resumed();
    };
    window.addEventListener('pointerdown', resume);
    window.addEventListener('keydown', resume);
  },
});
