// The extension as GNOME 45 and later load it: an ES module whose default export is the
// extension. GNOME 42 to 44 never read this file: their importer takes the folder extension/
// of the same name first.
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';

import {Saver} from './saver.js';

export default class FlurrixExtension extends Extension {
  enable() {
    this._saver = new Saver(this.path, Main);
    this._saver.Enable();
  }

  disable() {
    this._saver.Disable();
    this._saver = null;
  }
}
