// SPDX-License-Identifier: GPL-3.0-or-later
// The page's built-in synthesiser: FluidSynth compiled to WebAssembly (js-synthesizer, with
// its libfluidsynth, both copied into the page's synth/ folder) playing the General MIDI
// soundfont TimGM6mb, in an AudioWorklet of its own so that neither its module nor its sound
// shares the page's thread. Linked into the page's program (emcc --js-library); written as
// `name: function` throughout, which emcc 3.1.6 copies as text without mangling.
mergeInto(LibraryManager.library, {
  $browserSynthesiser__deps: ['$resumeOnGesture'],
  $browserSynthesiser: {
    synth: null,
    context: null,
    waiting: [],   // messages sent before the soundfont is in
    ready: false,

    start: function() {
      const s = browserSynthesiser;
      // The title sends no notes: its first frames come before the soundfont's megabytes.
      setTimeout(function() { s.load().catch(function(error) {
        err(`glassfalls: the built-in synthesiser cannot start (${error.message || error}); running without sound`);
      }); }, 500);
    },

    load: async function() {
      const s = browserSynthesiser;
      s.context = new AudioContext();
      await s.context.audioWorklet.addModule('synth/libfluidsynth-2.3.0.js');
      await s.context.audioWorklet.addModule('synth/js-synthesizer.worklet.min.js');
      if (!window.JSSynth) {
        await new Promise(function(loaded, failed) {
          const script = document.createElement('script');
          script.src = 'synth/js-synthesizer.min.js';
          script.onload = loaded;
          script.onerror = function() { failed(new Error('synth/js-synthesizer.min.js is missing')); };
          document.head.appendChild(script);
        });
      }
      const synth = new JSSynth.AudioWorkletNodeSynthesizer();
      synth.init(s.context.sampleRate);
      synth.createAudioNode(s.context).connect(s.context.destination);
      const response = await fetch('synth/TimGM6mb.sf2');
      if (!response.ok) throw new Error(`synth/TimGM6mb.sf2: ${response.status} ${response.statusText}`);
      await synth.loadSFont(await response.arrayBuffer());
      s.synth = synth;
      s.ready = true;
      for (const message of s.waiting) s.play(message);
      s.waiting = [];
      resumeOnGesture(s.context);
      err('glassfalls: the built-in synthesiser plays');
    },

    play: function(message) {
      const synth = browserSynthesiser.synth;
      const channel = message & 0x0F, first = (message >> 8) & 0x7F, second = (message >> 16) & 0x7F;
      switch (message & 0xF0) {
        case 0x80: synth.midiNoteOff(channel, first); break;
        case 0x90: second ? synth.midiNoteOn(channel, first, second) : synth.midiNoteOff(channel, first); break;
        case 0xB0: synth.midiControl(channel, first, second); break;
        case 0xC0: synth.midiProgramChange(channel, first); break;
      }
    },
  },

  glassfallsStartBrowserSynthesiser__deps: ['$browserSynthesiser'],
  glassfallsStartBrowserSynthesiser: function() { browserSynthesiser.start(); },

  glassfallsPlayOnBrowserSynthesiser__deps: ['$browserSynthesiser'],
  glassfallsPlayOnBrowserSynthesiser: function(message) {
    const s = browserSynthesiser;
    if (s.ready) s.play(message >>> 0);
    // Only what sets the sound up waits; a note that cannot sound now never should later.
    else if ((message & 0xF0) === 0xB0 || (message & 0xF0) === 0xC0) s.waiting.push(message >>> 0);
  },
});
