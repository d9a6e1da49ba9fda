// The preferences as GNOME 45 and later load them: an ES module whose default export fills the
// window. GNOME 42 to 44 take the folder prefs/ of the same name instead.
import Adw from 'gi://Adw';
import {ExtensionPreferences} from 'resource:///org/gnome/Shell/Extensions/js/extensions/prefs.js';

import {FillPage} from './preferences.js';

export default class FlurrixPreferences extends ExtensionPreferences {
  fillPreferencesWindow(window) {
    const page = new Adw.PreferencesPage();
    FillPage(page, this.path);
    window.add(page);
  }
}
