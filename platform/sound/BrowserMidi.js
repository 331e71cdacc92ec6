// SPDX-License-Identifier: GPL-3.0-or-later
// MIDI out of the page through Web MIDI, to the output whose name begins with the one asked
// for, where the browser grants it. Linked into the page's program (emcc --js-library);
// written as `name: function` throughout, which emcc 3.1.6 copies as text without mangling.
mergeInto(LibraryManager.library, {
  $browserMidi: {
    output: null,
    asked: '',

    open: function(name) {
      const m = browserMidi;
      m.asked = name;
      if (!navigator.requestMIDIAccess) {
        err(`glassfalls: --midi web:${name}: this browser has no Web MIDI; running without sound`);
        return;
      }
      navigator.requestMIDIAccess().then(function(access) {
        const find = function() {
          const outputs = Array.from(access.outputs.values());
          const found = outputs.find(function(output) { return (output.name || '').startsWith(name); });
          if (found && found !== m.output) err(`glassfalls: playing on the Web MIDI output ${found.name}`);
          if (!found && m.output !== undefined) {
            const there = outputs.map(function(output) { return output.name; }).join(', ');
            err(`glassfalls: no Web MIDI output called ${name} (${there ? 'there are: ' + there : 'the browser offers none'}); ` +
                'its notes are dropped until it is there');
          }
          m.output = found || undefined;
        };
        find();
        // An output plugged in later, or unplugged, is followed.
        access.onstatechange = find;
      }, function(error) {
        // Refused by the visitor, or not there at all (Chromium on Linux reaches MIDI through the
        // ALSA sequencer, and says so when the machine has none).
        const refused = error && (error.name === 'NotAllowedError' || error.name === 'SecurityError');
        const why = refused ? 'the browser did not allow Web MIDI'
                            : `Web MIDI is not available here (${(error && error.message) || error})`;
        err(`glassfalls: --midi web:${name}: ${why}; running without sound`);
      });
    },
  },

  glassfallsOpenWebMidi__deps: ['$browserMidi'],
  glassfallsOpenWebMidi: function(name) { browserMidi.open(UTF8ToString(name)); },

  glassfallsSendWebMidi__deps: ['$browserMidi'],
  glassfallsSendWebMidi: function(message) {
    const output = browserMidi.output;
    if (!output) return;
    const status = message & 0xFF;
    const bytes = (status & 0xF0) === 0xC0 ? [status, (message >> 8) & 0x7F]
                                           : [status, (message >> 8) & 0x7F, (message >> 16) & 0x7F];
    try {
      output.send(bytes);
    } catch {
      // An output unplugged between its state change and this note: the note is dropped.
    }
  },
});
