// The extension as GNOME 42 to 44 load it: their importer looks up `extension` in the
// extension's folder and takes this folder's __init__.js before extension.js (the module GNOME 45
// and later load). The shared saver is an ES module, brought in with import(), so enabling
// finishes when it has loaded.
/* exported init */
const {Gio} = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;
const Main = imports.ui.main;

class LegacyExtension {
  constructor(path) {
    this._path = path;
    this._saver = null;
    this._enabled = false;
  }

  enable() {
    this._enabled = true;
    const saver = Gio.File.new_for_path(this._path).get_child('saver.js');
    import(saver.get_uri()).then(module => {
      if (!this._enabled || this._saver) return;
      this._saver = new module.Saver(this._path, Main);
      this._saver.Enable();
    }).catch(e => logError(e, 'flurrix: the saver did not load'));
  }

  disable() {
    this._enabled = false;
    if (this._saver) this._saver.Disable();
    this._saver = null;
  }
}

function init() {
  return new LegacyExtension(ExtensionUtils.getCurrentExtension().path);
}
