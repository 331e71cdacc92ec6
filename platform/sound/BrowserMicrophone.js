// SPDX-License-Identifier: GPL-3.0-or-later
// The visitor's microphone, heard as the desktop hears one: 8000 samples a second, mono,
// signed 16-bit, with the browser's echo cancellation, noise suppression and gain control
// off (they turn a steady sung note down to a tenth within seconds). Linked into the page's
// program (emcc --js-library); the program takes 800-sample blocks as they fill. Written as
// `name: function` throughout: emcc 3.1.6 copies a library's functions as text, and mangles
// the shorter method form.
mergeInto(LibraryManager.library, {
  $browserMicrophone__deps: ['$resumeOnGesture'],
  $browserMicrophone: {
    rate: 8000,
    kept: 8000,          // at most a second waits; behind a stalled page the oldest goes
    samples: null,       // Int16Array ring of what was heard and not yet taken
    start: 0,
    held: 0,
    phase: 0,            // resampling: how far into the next output sample the input is
    sum: 0,
    count: 0,
    context: null,
    said: '',

    say: function(text) {
      if (text === browserMicrophone.said) return;
      browserMicrophone.said = text;
      err(`glassfalls: ${text}`);
    },

    // Input at the context's rate, averaged down to 8000 a second (a box filter, enough
    // against aliasing for the bands the piece listens to).
    hear: function(input, inputRate) {
      const m = browserMicrophone;
      const step = m.rate / inputRate;
      for (let i = 0; i < input.length; ++i) {
        m.sum += input[i];
        m.count += 1;
        m.phase += step;
        if (m.phase < 1) continue;
        m.phase -= 1;
        const level = Math.max(-1, Math.min(1, m.sum / m.count));
        m.sum = 0;
        m.count = 0;
        if (m.held === m.kept) {
          m.start = (m.start + 1) % m.kept;
          m.held -= 1;
        }
        m.samples[(m.start + m.held) % m.kept] = Math.round(level * 32767);
        m.held += 1;
      }
    },

    listen: async function() {
      const m = browserMicrophone;
      let stream;
      try {
        stream = await navigator.mediaDevices.getUserMedia({
          audio: { echoCancellation: false, noiseSuppression: false, autoGainControl: false, channelCount: 1 },
        });
      } catch (error) {
        const refused = error && error.name === 'NotAllowedError';
        m.say(refused ? 'the microphone was not allowed; the piece hears silence until it is'
                      : 'there is no microphone; the piece hears silence');
        m.listenWhenAllowed();
        return;
      }
      try {
        m.context = new AudioContext({ sampleRate: m.rate });
      } catch {
        m.context = new AudioContext();
      }
      const source = m.context.createMediaStreamSource(stream);
      const rate = m.context.sampleRate;
      if (m.context.audioWorklet) {
        const processor = `registerProcessor('glassfalls-microphone', class extends AudioWorkletProcessor {
          process(inputs) { if (inputs[0] && inputs[0][0]) this.port.postMessage(inputs[0][0]); return true; }
        });`;
        const url = URL.createObjectURL(new Blob([processor], { type: 'text/javascript' }));
        await m.context.audioWorklet.addModule(url);
        const node = new AudioWorkletNode(m.context, 'glassfalls-microphone');
        node.port.onmessage = event => m.hear(event.data, rate);
        source.connect(node);
      } else {
        const node = m.context.createScriptProcessor(1024, 1, 1);
        node.onaudioprocess = event => m.hear(event.inputBuffer.getChannelData(0), rate);
        source.connect(node);
        node.connect(m.context.destination);
      }
      const listening = function() { m.say('listening to the microphone'); };
      if (m.context.state === 'running') {
        listening();
      } else {
        m.say('click or press a key to let the piece listen');
        resumeOnGesture(m.context, listening);
      }
    },

    // Browsers start sound only after the visitor has clicked or pressed a key.

    listenWhenAllowed: function() {
      if (!navigator.permissions) return;
      navigator.permissions.query({ name: 'microphone' }).then(status => {
        status.onchange = () => {
          if (status.state === 'granted') browserMicrophone.listen();
        };
      }).catch(() => {});
    },
  },

  glassfallsListenToBrowserMicrophone__deps: ['$browserMicrophone'],
  glassfallsListenToBrowserMicrophone: function() {
    browserMicrophone.samples = new Int16Array(browserMicrophone.kept);
    browserMicrophone.listen();
  },

  glassfallsTakeMicrophoneSamples__deps: ['$browserMicrophone'],
  glassfallsTakeMicrophoneSamples: function(pointer, count) {
    const m = browserMicrophone;
    if (!m.samples || m.held < count) return 0;
    for (let i = 0; i < count; ++i) HEAP16[(pointer >> 1) + i] = m.samples[(m.start + i) % m.kept];
    m.start = (m.start + count) % m.kept;
    m.held -= count;
    return 1;
  },
});
