// Drives the model's timers the way the desktop program does: one timer, armed to the
// scheduler's next due instant on performance.now(), and none at all while the model holds its
// timers or has stopped them. A late wake-up is the model's to count (a late timer ticks once
// and keeps its own period); nothing here makes up ticks for a hidden, throttled tab.
const pageTimer = {
  now: () => performance.now(),
  set: (run, ms) => setTimeout(run, ms),
  clear: (handle) => clearTimeout(handle),
};

export class GameClock {
  constructor(nextDue, runDue, afterRun, timer = pageTimer) {
    this.timer = timer;
    this.nextDue = nextDue;
    this.runDue = runDue;
    this.afterRun = afterRun;
    this.handle = null;
    this.armedFor = -1;
    this.callbacks = 0; // wake-ups delivered, for the benchmarks
    this.slowest = 0; // the longest wake-up in ms, the view after it included, for the tests
  }

  get armed() { return this.handle !== null; }

  arm() {
    const due = this.nextDue();
    if (due === this.armedFor && this.handle !== null) return;
    this.stop();
    if (due < 0) return;
    this.armedFor = due;
    this.handle = this.timer.set(() => this.fire(), Math.max(0, Math.ceil(due - this.timer.now())));
  }

  stop() {
    if (this.handle !== null) this.timer.clear(this.handle);
    this.handle = null;
    this.armedFor = -1;
  }

  fire() {
    this.handle = null;
    this.armedFor = -1;
    ++this.callbacks;
    const start = this.timer.now();
    this.runDue();
    this.afterRun();
    this.slowest = Math.max(this.slowest, this.timer.now() - start);
  }
}
