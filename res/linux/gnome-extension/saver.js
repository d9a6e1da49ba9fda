// The screensaver inside GNOME Shell, shared by the extension's two entry points: extension.js,
// the module GNOME 45 and later load, and extension/__init__.js, what the older importer of GNOME
// 42 to 44 finds first. After start-after seconds without input it starts `flurrix --wayland`,
// puts each of its windows full screen above everything on a monitor of its own, and ends it
// with SIGTERM at the first input. The shell's own modules are reached differently by the two
// forms, so the entry point hands in its ui/main.
//
// What keeps it from starting needs no code here: mutter's idle watches do not fire while the
// session's idle inhibitor is held (a video, a presentation), and the shell disables the
// extension while the screen is locked or shielded, which ends a run.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';

// A run still there this long after SIGTERM is killed.
const kKillAfterSeconds = 5;

// The extension's settings, from the schema compiled into its schemas/ folder, or the system's
// where a package put the schema there instead.
export function LoadSettings(path) {
  const schemas = GLib.build_filenamev([path, 'schemas']);
  const defaultSource = Gio.SettingsSchemaSource.get_default();
  const source = GLib.file_test(schemas, GLib.FileTest.IS_DIR) ?
      Gio.SettingsSchemaSource.new_from_directory(schemas, defaultSource, false) :
      defaultSource;
  const schema = source.lookup('org.gnome.shell.extensions.flurrix', true);
  if (!schema) throw new Error(`the settings schema is missing from ${schemas}`);
  return new Gio.Settings({settings_schema: schema});
}

// The program installed with the extension (PREFIX/bin/flurrix beside
// PREFIX/share/gnome-shell/extensions/UUID), else the one on the PATH.
export function FindProgram(path) {
  const beside = Gio.File.new_for_path(path).resolve_relative_path('../../../../bin/flurrix');
  if (GLib.file_test(beside.get_path(), GLib.FileTest.IS_EXECUTABLE)) return beside.get_path();
  return GLib.find_program_in_path('flurrix');
}

export class Saver {
  // path: the extension's folder; main: the shell's ui/main module.
  constructor(path, main) {
    this._path = path;
    this._main = main;
    this._run = null;
  }

  Enable() {
    this._settings = LoadSettings(this._path);
    this._idle = global.backend.get_core_idle_monitor();
    this._settingsChanged = this._settings.connect('changed::start-after', () => this.WatchIdle());
    this.WatchIdle();
  }

  Disable() {
    this.End();
    this._idle.remove_watch(this._idleWatch);
    this._idleWatch = 0;
    this._settings.disconnect(this._settingsChanged);
    this._settings = null;
  }

  WatchIdle() {
    if (this._idleWatch) this._idle.remove_watch(this._idleWatch);
    const seconds = this._settings.get_uint('start-after');
    this._idleWatch = this._idle.add_idle_watch(seconds * 1000, () => this.Start());
  }

  Start() {
    if (this._run) return;
    const program = FindProgram(this._path);
    if (!program) {
      log('flurrix: the program is not installed beside the extension nor on the PATH');
      return;
    }
    let process;
    try {
      process = Gio.Subprocess.new([program, '--wayland'], Gio.SubprocessFlags.NONE);
    } catch (e) {
      logError(e, 'flurrix: the run could not start');
      return;
    }
    const run = {
      process,
      pid: Number(process.get_identifier()),
      monitors: new Map(),  // window -> the monitor it covers
      bannerBlocked: this._main.messageTray.bannerBlocked,
      killTimer: 0,
    };
    this._run = run;
    // Nothing of the shell over the snow: no overview, and no banners (the new windows' "is
    // ready" notice among them) until the run has ended; what came meanwhile shows then.
    this._main.messageTray.bannerBlocked = true;
    if (this._main.overview.visible) this._main.overview.hide();
    run.windowCreated = global.display.connect('window-created', (display, window) => {
      if (window.get_pid() !== run.pid) return;
      // Placed once shown: moving a Wayland window before it is mapped crashes GNOME Shell 43.
      window.connect('shown', () => this.Place(run, window));
      window.connect('unmanaged', () => run.monitors.delete(window));
    });
    run.activeWatch = this._idle.add_user_active_watch(() => {
      run.activeWatch = 0;
      this.End();
    });
    process.wait_async(null, () => this.Ended(run));
  }

  // Each window full screen on a monitor no other window of the run covers, above the top bar:
  // where the run asked for it to be if that monitor is free. The monitor comes from where the
  // window is: GNOME 48 updates get_monitor() only after the window is shown.
  Place(run, window) {
    const taken = new Set([...run.monitors].filter(([w]) => w !== window).map(([, m]) => m));
    const at = global.display.get_monitor_index_for_rect(window.get_frame_rect());
    let monitor = at;
    if (monitor < 0 || taken.has(monitor)) {
      const free = [...Array(global.display.get_n_monitors()).keys()].find(m => !taken.has(m));
      if (free !== undefined) monitor = free;
    }
    run.monitors.set(window, monitor);
    window.make_above();
    window.stick();
    if (monitor !== at) window.move_to_monitor(monitor);
    window.make_fullscreen();
  }

  // SIGTERM to the run; the rest happens once it has ended.
  End() {
    const run = this._run;
    if (!run || run.killTimer) return;
    run.endAsked = true;
    if (run.activeWatch) this._idle.remove_watch(run.activeWatch);
    run.activeWatch = 0;
    run.process.send_signal(15);
    run.killTimer = GLib.timeout_add_seconds(GLib.PRIORITY_DEFAULT, kKillAfterSeconds, () => {
      run.killTimer = 0;
      run.process.force_exit();
      return GLib.SOURCE_REMOVE;
    });
  }

  Ended(run) {
    if (run.killTimer) GLib.source_remove(run.killTimer);
    run.killTimer = 0;
    if (run.activeWatch) this._idle.remove_watch(run.activeWatch);
    global.display.disconnect(run.windowCreated);
    this._main.messageTray.bannerBlocked = run.bannerBlocked;
    if (this._run === run) this._run = null;
    // The idle watch may have fired while this run was still ending (a slow machine takes a
    // while to end it), and it fires only once per idle spell: the user idle that long again
    // gets the snow now. Only after an end we asked for, so a run that fails by itself is not
    // started over and over.
    if (run.endAsked && this._settings &&
        this._idle.get_idletime() >= this._settings.get_uint('start-after') * 1000) {
      this.Start();
    }
  }
}
