#!/usr/bin/python3
"""What a test asks of a running GNOME Shell over its session bus.

  gnome_shell.py monitors            each monitor as "X Y WIDTH HEIGHT", primary first
  gnome_shell.py shot FILE           a screenshot of every monitor into FILE (PNG)
  gnome_shell.py key KEYSYM...       keys pressed and released in turn, as from a keyboard
  gnome_shell.py ready               whether the shell answers (exit status)
  gnome_shell.py idletime            milliseconds since the last input
  gnome_shell.py set ROLE NAME VALUE a control's value, through the accessibility bus (ROLE as
                                     Atspi.Role names it: SPIN_BUTTON; NAME a part of its name)
  gnome_shell.py press ROLE NAME     a control pressed, through the accessibility bus
  gnome_shell.py display-manager     answers on the system bus as the display manager, until ended
  gnome_shell.py window TITLE        a user's window (GTK), until ended; `wait ROLE NAME` finds it
  gnome_shell.py wait ROLE NAME      waits for a control or window, through the accessibility bus

The shell locks the screen only under its own display manager, which a test cannot run; all it
asks of one is its version, and that is what display-manager answers.
"""
import sys
import time

import gi

gi.require_version('Atspi', '2.0')
gi.require_version('Gio', '2.0')
from gi.repository import Atspi, Gio, GLib  # noqa: E402

bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(name, path, interface, method, args=None, reply=None):
    return bus.call_sync(name, path, interface, method, args,
                         GLib.VariantType(reply) if reply else None,
                         Gio.DBusCallFlags.NONE, 10000, None).unpack()


def monitors():
    state = call('org.gnome.Mutter.DisplayConfig', '/org/gnome/Mutter/DisplayConfig',
                 'org.gnome.Mutter.DisplayConfig', 'GetCurrentState')
    logical = state[2]
    modes = {}
    for (connector, *_), monitor_modes, _ in state[1]:
        for mode in monitor_modes:
            if mode[6].get('is-current'):
                modes[connector] = mode[1:3]
    found = []
    for x, y, scale, _, primary, monitor_specs, _ in logical:
        width, height = modes[monitor_specs[0][0]]
        found.append((not primary, x, y, int(width / scale), int(height / scale)))
    for _, x, y, width, height in sorted(found):
        print(x, y, width, height)


def shot(path):
    # The shell lets only a few names take screenshots; this process owns one of them.
    call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus', 'RequestName',
         GLib.Variant('(su)', ('org.gnome.Screenshot', 4)))
    success, _ = call('org.gnome.Shell.Screenshot', '/org/gnome/Shell/Screenshot',
                      'org.gnome.Shell.Screenshot', 'Screenshot',
                      GLib.Variant('(bbs)', (False, False, path)))
    sys.exit(0 if success else 1)


def key(*keysyms):
    # A remote desktop session's key counts as input, as a keyboard's does.
    path = call('org.gnome.Mutter.RemoteDesktop', '/org/gnome/Mutter/RemoteDesktop',
                'org.gnome.Mutter.RemoteDesktop', 'CreateSession')[0]
    session = ('org.gnome.Mutter.RemoteDesktop', path, 'org.gnome.Mutter.RemoteDesktop.Session')
    call(*session, 'Start')
    for keysym in keysyms:
        for pressed in (True, False):
            call(*session, 'NotifyKeyboardKeysym',
                 GLib.Variant('(ub)', (keysym_code(keysym), pressed)))
    call(*session, 'Stop')


def keysym_code(name):
    return {'a': 0x61, 'Escape': 0xff1b, 'Shift_L': 0xffe1, 'Up': 0xff52, 'Tab': 0xff09,
            'Return': 0xff0d}[name]


def ready():
    try:
        call('org.gnome.Shell', '/org/gnome/Shell', 'org.freedesktop.DBus.Properties', 'Get',
             GLib.Variant('(ss)', ('org.gnome.Shell', 'ShellVersion')))
    except GLib.Error:
        sys.exit(1)


def idletime():
    print(call('org.gnome.Mutter.IdleMonitor', '/org/gnome/Mutter/IdleMonitor/Core',
               'org.gnome.Mutter.IdleMonitor', 'GetIdletime')[0])


def find_control(role, name):
    """The first control of any application with ROLE (Atspi.Role's name: PUSH_BUTTON) whose
    name holds NAME, waited for up to a minute (a window that is opening has none yet)."""
    role = getattr(Atspi.Role, role)

    def search(node, depth):
        if node.get_role() == role and name in (node.get_name() or ''):
            return node
        for i in range(node.get_child_count() if depth < 40 else 0):
            found = search(node.get_child_at_index(i), depth + 1)
            if found:
                return found
        return None
    for _ in range(300):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            found = search(desktop.get_child_at_index(i), 0)
            if found:
                return found
        time.sleep(0.2)
    sys.exit(f'no {role} "{name}" came up')


def set_value(role, name, value):
    find_control(role, name).set_current_value(float(value))


def press(role, name):
    find_control(role, name).do_action(0)


def window(title):
    gi.require_version('Gtk', '4.0')
    from gi.repository import Gtk
    Gtk.init()
    shown = Gtk.Window(title=title, default_width=900, default_height=600)
    shown.present()
    GLib.MainLoop().run()


def display_manager():
    system = Gio.bus_get_sync(Gio.BusType.SYSTEM)
    node = Gio.DBusNodeInfo.new_for_xml(
        '<node><interface name="org.gnome.DisplayManager.Manager">'
        '<property name="Version" type="s" access="read"/></interface></node>')
    system.register_object('/org/gnome/DisplayManager/Manager', node.interfaces[0], None,
                           lambda *_: GLib.Variant('s', '43'), None)
    Gio.bus_own_name_on_connection(system, 'org.gnome.DisplayManager', 0, None, None)
    GLib.MainLoop().run()


commands = {'display-manager': display_manager, 'idletime': idletime,
            'set': set_value, 'press': press, 'window': window,
            'wait': find_control, 'monitors': monitors, 'shot': shot, 'key': key, 'ready': ready}
if len(sys.argv) < 2 or sys.argv[1] not in commands:
    sys.exit(__doc__)
commands[sys.argv[1]](*sys.argv[2:])
