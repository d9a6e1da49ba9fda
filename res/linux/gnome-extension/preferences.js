// The preferences page, shared by the extension's two entry points (prefs.js for GNOME 45 and
// later, prefs/__init__.js for GNOME 42 to 44): how long without input before the snowfall
// starts, and the program's own configuration dialog.
import Adw from 'gi://Adw';
import Gio from 'gi://Gio';
import Gtk from 'gi://Gtk';

import {FindProgram, LoadSettings} from './saver.js';

// Fills PAGE for the extension in the folder PATH.
export function FillPage(page, path) {
  const settings = LoadSettings(path);
  const saver = new Adw.PreferencesGroup({
    title: 'Screensaver',
    description: 'Set Screen Blank (Settings, Power) longer than this, or the screen goes ' +
        'dark before the snow starts.',
  });
  const startAfter = new Adw.ActionRow({
    title: 'Start after',
    subtitle: 'Seconds without input before the snowfall starts',
  });
  const seconds = new Gtk.SpinButton({
    adjustment: new Gtk.Adjustment({lower: 1, upper: 86400, step_increment: 1, page_increment: 60}),
    numeric: true,
    valign: Gtk.Align.CENTER,
  });
  settings.bind('start-after', seconds, 'value', Gio.SettingsBindFlags.DEFAULT);
  startAfter.add_suffix(seconds);
  startAfter.set_activatable_widget(seconds);
  saver.add(startAfter);

  const snowfall = new Adw.PreferencesGroup({title: 'Snowfall'});
  const configure = new Adw.ActionRow({
    title: 'Pictures, snow, clocks and music',
    subtitle: 'In the screensaver’s own settings',
  });
  const open = new Gtk.Button({label: 'Open…', valign: Gtk.Align.CENTER});
  open.connect('clicked', () => {
    const program = FindProgram(path);
    try {
      if (!program) throw new Error('the program is not installed beside the extension');
      Gio.Subprocess.new([program, '/c'], Gio.SubprocessFlags.NONE);
    } catch (e) {
      configure.subtitle = `Could not open them: ${e.message}`;
    }
  });
  configure.add_suffix(open);
  configure.set_activatable_widget(open);
  snowfall.add(configure);

  page.add(saver);
  page.add(snowfall);
  // The page keeps the settings while it lives, so the binding stays.
  page._settings = settings;
}
