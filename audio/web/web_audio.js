// The page's sound, the JavaScript half of audio/web/web_output.cpp (linked
// in front of the program with --pre-js). The mixer stays in the program:
// this side only moves its blocks to the speakers and says what has been
// heard.
//
// Where the browser has AudioWorklet, a sink on the audio thread plays what
// the main thread mixed ahead of it: three quarters of a second, topped up at
// every frame, at every status the sink sends and from a timer, so a frame
// that takes long leaves the speakers fed. The blocks go through a
// SharedArrayBuffer ring where the page is cross-origin isolated, through
// messages otherwise. Elsewhere a script processor pulls from the mixer in
// the page's event loop, as before AudioWorklet existed.
var sgWebAudio = (() => {
  const kLeadSeconds = 0.75;
  const kChunkFrames = 2048;  // the most one call into the mixer renders
  const kRingFrames = 65536;  // more than the lead
  const kScriptFrames = 2048;
  const kStatusQuanta = 4;    // a status every 11.6 ms at 44.1 kHz
  // The shared control words, the same for both sides.
  const kSlots = {write: 0, read: 1, frame: 2, empty: 3};
  const {write: kWrite, read: kRead, frame: kFrame, empty: kEmpty} = kSlots;

  // Runs in the AudioWorkletGlobalScope, from its own source text: it sees
  // nothing of this file but what the options carry.
  function installSink() {
    class StormglassSink extends AudioWorkletProcessor {
      constructor(options) {
        super();
        const o = options.processorOptions;
        this.statusQuanta = o.statusQuanta;
        this.read = 0;    // frames consumed: played, or passed by a cut
        this.empty = 0;   // quanta that wanted music and found too little
        this.quanta = 0;
        this.running = false;
        this.queue = [];  // messages: {start, data} in order
        this.trace = null;
        if (o.ring) {
          this.ring = new Float32Array(o.ring);
          this.control = new Int32Array(o.control);
          this.slots = o.slots;
          this.capacity = o.capacity;
        }
        this.port.onmessage = (e) => this.receive(e.data);
      }

      receive(m) {
        if (m.data) this.queue.push(m);
        if (m.cut !== undefined) this.cut(m.cut);
        if (m.run !== undefined) this.running = m.run;
        if (m.trace) this.trace = [];
        if (m.report) this.port.postMessage({trace: this.trace || []});
      }

      // Frames from `at` on are no longer wanted (messages; the ring is cut
      // by its write index).
      cut(at) {
        this.queue = this.queue.filter((b) => b.start < at);
        const last = this.queue[this.queue.length - 1];
        if (last && last.start + last.data.length / 2 > at) last.data = last.data.subarray(0, (at - last.start) * 2);
      }

      fromRing(left, right, n) {
        const count = Math.max(0, Math.min(n, Atomics.load(this.control, this.slots.write) - this.read));
        for (let i = 0; i < count; ++i) {
          const slot = ((this.read + i) % this.capacity) * 2;
          left[i] = this.ring[slot];
          right[i] = this.ring[slot + 1];
        }
        this.read += count;
        return count;
      }

      fromQueue(left, right, n) {
        let done = 0;
        while (done < n && this.queue.length) {
          const block = this.queue[0], end = block.start + block.data.length / 2;
          if (end <= this.read) { this.queue.shift(); continue; }
          if (block.start > this.read) this.read = block.start;
          const from = this.read - block.start, take = Math.min(n - done, end - this.read);
          for (let i = 0; i < take; ++i) {
            left[done + i] = block.data[2 * (from + i)];
            right[done + i] = block.data[2 * (from + i) + 1];
          }
          done += take;
          this.read += take;
        }
        return done;
      }

      process(inputs, outputs) {
        const left = outputs[0][0], right = outputs[0][1] || left, n = left.length, start = this.read;
        const got = !this.running ? 0 : this.ring ? this.fromRing(left, right, n) : this.fromQueue(left, right, n);
        if (got < n) {
          left.fill(0, got);
          right.fill(0, got);
          if (this.running) ++this.empty;
        }
        if (this.trace && this.running && this.trace.length < 3 * 65536) this.trace.push(currentFrame, start, got);
        const frame = currentFrame + n;
        if (this.control) {
          Atomics.store(this.control, this.slots.read, this.read);
          Atomics.store(this.control, this.slots.frame, frame);
          Atomics.store(this.control, this.slots.empty, this.empty);
        }
        if (++this.quanta % this.statusQuanta === 0) this.port.postMessage({read: this.read, frame, empty: this.empty});
        return true;
      }
    }
    registerProcessor('stormglass-sink', StormglassSink);
  }

  // The context frame at the speakers now: its output timestamp brought up
  // to now (it is as old as the page's last free moment, so a busy page
  // reads one from long ago), or its time less the latencies it reports.
  function speakerFrame(context) {
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    if (stamp && stamp.contextTime > 0) {
      const since = Math.max(-1, Math.min(1, (performance.now() - stamp.performanceTime) / 1000));
      return (stamp.contextTime + since) * context.sampleRate;
    }
    return (context.currentTime - (context.outputLatency || 0) - (context.baseLatency || 0)) * context.sampleRate;
  }

  function sinkStatus(audio) {
    if (!audio.control) return audio.status;
    const c = audio.control;
    return {read: Atomics.load(c, kRead), frame: Atomics.load(c, kFrame), empty: Atomics.load(c, kEmpty)};
  }

  // Where the sink reads now: its last status, advanced by the context's
  // time since, as it plays on without us.
  function sinkReadNow(audio, status) {
    const since = audio.context.currentTime * audio.rate - status.frame;
    return Math.min(audio.sent, status.read + Math.max(0, Math.floor(since)));
  }

  function send(audio, pcm, frames) {
    if (audio.ring) {
      for (let i = 0; i < frames; ++i) {
        const slot = ((audio.sent + i) % kRingFrames) * 2;
        audio.ring[slot] = pcm[2 * i] / 32768;
        audio.ring[slot + 1] = pcm[2 * i + 1] / 32768;
      }
      Atomics.store(audio.control, kWrite, audio.sent + frames);
    } else {
      const data = new Float32Array(frames * 2);
      for (let i = 0; i < frames * 2; ++i) data[i] = pcm[i] / 32768;
      audio.node.port.postMessage({start: audio.sent, data}, [data.buffer]);
    }
    audio.sent += frames;
  }

  // Mixes until the sink holds the lead again.
  function pump(audio) {
    if (!audio.node || !audio.running) return;
    const now = performance.now();
    if (audio.lastPump) audio.longestWaitMs = Math.max(audio.longestWaitMs || 0, now - audio.lastPump);
    audio.lastPump = now;
    const readNow = sinkReadNow(audio, sinkStatus(audio));
    let target = readNow + Math.round(kLeadSeconds * audio.rate);
    if (audio.ring) target = Math.min(target, readNow + kRingFrames - 512);
    while (audio.sent < target) {
      const frames = Math.min(kChunkFrames, target - audio.sent);
      send(audio, audio.mix(frames), frames);
    }
  }

  // Drops what the sink has not yet reached, less a margin it may be about
  // to read; returns the frames dropped.
  function cut(audio) {
    if (!audio.node || audio.sent === audio.base) return 0;
    const status = sinkStatus(audio);
    const keep = Math.min(audio.sent, Math.max(audio.base, sinkReadNow(audio, status) + (audio.ring ? 256 : 128)));
    const dropped = audio.sent - keep;
    // How long until what follows the cut is heard, for the bench.
    audio.lastCutMs = (keep - audio.base - heardByWorklet(audio)) * 1000 / audio.rate;
    audio.sent = keep;
    if (audio.ring) Atomics.store(audio.control, kWrite, keep);
    else if (dropped > 0) audio.node.port.postMessage({cut: keep});
    return dropped;
  }

  function heardByWorklet(audio) {
    if (!audio.running) return audio.heldHeard;
    const status = sinkStatus(audio);
    const heard = status.read + Math.floor(speakerFrame(audio.context) - status.frame);
    return Math.max(0, Math.min(audio.sent - audio.base, heard - audio.base));
  }

  function openWorklet(audio) {
    const shared = self.crossOriginIsolated === true && typeof SharedArrayBuffer === 'function';
    const options = {statusQuanta: kStatusQuanta};
    if (shared) {
      audio.ring = new Float32Array(new SharedArrayBuffer(kRingFrames * 2 * 4));
      audio.control = new Int32Array(new SharedArrayBuffer(Object.keys(kSlots).length * 4));
      Object.assign(options, {ring: audio.ring.buffer, control: audio.control.buffer, slots: kSlots});
      options.capacity = kRingFrames;
    }
    audio.mode = shared ? 'ring' : 'messages';
    audio.status = {read: 0, frame: 0, empty: 0};
    const source = new Blob(['(' + installSink.toString() + ')();'], {type: 'text/javascript'});
    audio.context.audioWorklet.addModule(URL.createObjectURL(source)).then(() => {
      const node = new AudioWorkletNode(audio.context, 'stormglass-sink',
                                        {numberOfInputs: 0, outputChannelCount: [2], processorOptions: options});
      node.port.onmessage = (e) => {
        if (e.data.trace) { audio.traced = e.data.trace; return; }
        audio.status = e.data;
        audio.played = e.data.read;
        audio.empty = e.data.empty;
        pump(audio);
      };
      node.connect(audio.context.destination);
      audio.node = node;
      if (audio.running) run(audio, true);
    }).catch((e) => {
      // A page whose policy refuses the sink's source still has sound.
      console.warn('stormglass: no AudioWorklet (' + e.message + '): a script processor plays');
      openScript(audio);
    });
    audio.heard = () => heardByWorklet(audio);
    setInterval(() => pump(audio), 20);
    const everyFrame = () => { pump(audio); requestAnimationFrame(everyFrame); };
    requestAnimationFrame(everyFrame);
  }

  // The script processor's frames heard: the context's frame at the
  // speakers less the silence it played before the music and its own buffer.
  function openScript(audio) {
    const context = audio.context;
    audio.mode = 'script';
    audio.node = context.createScriptProcessor(kScriptFrames, 0, 2);
    audio.node.onaudioprocess = (e) => {
      const left = e.outputBuffer.getChannelData(0), right = e.outputBuffer.getChannelData(1);
      if (!audio.running) { left.fill(0); right.fill(0); audio.idle += left.length; return; }
      // Blocks asked for while the page was busy pile up and are handed the
      // same playback time: all but the last are never heard.
      if (e.playbackTime <= audio.lastPlayback) ++audio.empty;
      audio.lastPlayback = e.playbackTime;
      if (audio.trace) audio.trace.push(Math.round(e.playbackTime * audio.rate), audio.played, left.length);
      const mix = audio.mix(left.length);
      for (let i = 0; i < left.length; ++i) { left[i] = mix[2 * i] / 32768; right[i] = mix[2 * i + 1] / 32768; }
      audio.played += left.length;
    };
    audio.node.connect(context.destination);
    audio.heard = () => {
      const heard = speakerFrame(context) - audio.idle - audio.node.bufferSize;
      return Math.max(0, Math.min(audio.played, heard));
    };
  }

  // No speakers: a timer mixes as real time passes.
  function openSilent(audio) {
    audio.mode = 'silent';
    audio.heard = () => audio.played;
    setInterval(() => {
      if (!audio.running) return;
      const due = Math.floor((performance.now() - audio.since) * audio.rate / 1000) - audio.played;
      for (let left = due; left > 0; left -= kChunkFrames) audio.mix(Math.min(left, kChunkFrames));
      audio.played += Math.max(due, 0);
    }, 10);
  }

  function open(rate, audible) {
    const audio = {rate, played: 0, idle: 0, empty: 0, lastPlayback: -1, running: false};
    Object.assign(audio, {sent: 0, base: 0, heldHeard: 0});
    audio.mix = (frames) => {
      const at = _sgweb_audio_render(frames);
      return HEAP16.subarray(at >> 1, (at >> 1) + frames * 2);
    };
    Module.sgAudio = audio;
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!audible) {
      openSilent(audio);
      return true;
    }
    if (!Context) return false;
    try {
      audio.context = new Context({sampleRate: rate, latencyHint: 'interactive'});
      if (window.AudioWorkletNode && audio.context.audioWorklet) openWorklet(audio);
      else openScript(audio);
      return true;
    } catch (e) {
      console.warn('stormglass: no Web Audio: ' + e.message);
      return false;
    }
  }

  function run(audio, running) {
    if (audio.mode === 'silent') {
      audio.running = running;
      if (running) audio.since = performance.now() - audio.played * 1000 / audio.rate;
      return;
    }
    if (!running && audio.running) {
      audio.heldHeard = audio.heard();
      cut(audio);
    }
    audio.running = running;
    if (running && audio.context.state !== 'running') audio.context.resume().catch(() => {});
    if (audio.mode === 'script' || !audio.node) return;
    if (running) {
      // The mixer counts its frames afresh from each start.
      audio.base = audio.sent;
      pump(audio);
    }
    audio.node.port.postMessage({run: running});
  }

  // A changed mix (a seek, the sample) must be heard at once, not after
  // the quarter second already queued: returns the frames dropped, which
  // the program mixes again.
  function change(audio) {
    if (audio.mode === 'script' || audio.mode === 'silent' || !audio.running) return 0;
    return cut(audio);
  }

  return {open, run, change, pump};
})();
