#!/usr/bin/python3
"""The program as a screen reader sees it over AT-SPI, against the demo server: the painted
controls of the main window and the settings dialog have their roles, names and states, their
press actions do what a click does, and the window's own keys reach the program.

Usage: accessibility-test.py PROGRAM DEMO_SERVER PORT
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import gi
import pyatspi

gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib  # noqa: E402

FOCUS_RING = (0xFA, 0xAF, 0x41)


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def wait_for(what, condition, seconds=20):
    """Polls condition until it gives a true value, which it returns; fails naming what."""
    end = time.monotonic() + seconds
    while True:
        try:
            result = condition()
        except Exception:  # noqa: BLE001  the tree may change under a walk: try again
            result = None
        if result:
            return result
        if time.monotonic() > end:
            fail(f"waited {seconds} s for {what}")
        time.sleep(0.1)


def named_child(parent, name, role=None):
    """The first child with this name (and role), else None."""
    for index in range(parent.childCount):
        found = parent.getChildAtIndex(index)
        if found is not None and found.name == name and role in (None, found.getRole()):
            return found
    return None


def application(name):
    return named_child(pyatspi.Registry.getDesktop(0), name)


def walk(accessible):
    """Pairs of an accessible and its role, for it and its descendants, leaving out the web pages'
    own content and what goes away during the walk (the web views change their trees)."""
    try:
        role = accessible.getRole()
        count = accessible.childCount
    except GLib.GError:
        return
    yield accessible, role
    if role == pyatspi.ROLE_DOCUMENT_WEB:
        return
    for index in range(count):
        try:
            child = accessible.getChildAtIndex(index)
        except GLib.GError:
            continue
        if child is not None:
            yield from walk(child)


def controls(root, role):
    """The controls of a role under root, by name: a list of accessibles for each name."""
    found = {}
    for accessible, its_role in walk(root):
        if its_role == role:
            found.setdefault(accessible.name, []).append(accessible)
    return found


def has(accessible, state):
    return accessible.getState().contains(state)


def frame(app, title):
    return named_child(app, title, pyatspi.ROLE_FRAME)


def shown(accessible):
    """The accessible once it is on the screen, else None."""
    return accessible if accessible and has(accessible, pyatspi.STATE_SHOWING) else None


def press(accessible):
    action = accessible.queryAction()
    if action.nActions < 1:
        fail(f"{accessible.getRoleName()} '{accessible.name}' has no action")
    action.doAction(0)


def expect_controls(root, role, names, where):
    found = controls(root, role)
    missing = [name for name in names if name not in found]
    if missing:
        fail(f"no {pyatspi.Role(role)} named {missing} in {where}; found {sorted(found)}")
    for name in names:
        for accessible in found[name]:
            if not has(accessible, pyatspi.STATE_FOCUSABLE):
                fail(f"'{name}' in {where} cannot take the keyboard focus")
    return found


def the(root, role, name):
    """The one control of a role with this name (the first of several)."""
    found = controls(root, role).get(name)
    return found[0] if found else None


def selected_tabs(root, names):
    tabs = controls(root, pyatspi.ROLE_PAGE_TAB)
    return {name for name in names if any(has(tab, pyatspi.STATE_SELECTED) for tab in tabs[name])}


def expect_tab_list(role_tabs, names, where):
    """The tabs with these names share one parent, a page tab list that neither takes the focus
    nor has an action of its own."""
    lists = {tab.parent for name in names for tab in role_tabs[name]}
    if len(lists) != 1:
        fail(f"the tabs {names} in {where} sit in {len(lists)} parents, not in one tab list")
    tab_list = lists.pop()
    if tab_list.getRole() != pyatspi.ROLE_PAGE_TAB_LIST:
        fail(f"the tabs {names} in {where} sit in a {tab_list.getRoleName()}, not a page tab list")
    held = {tab.name for tab in map(tab_list.getChildAtIndex, range(tab_list.childCount))
            if tab.getRole() == pyatspi.ROLE_PAGE_TAB}
    if held != set(names):
        fail(f"the page tab list of {names} in {where} holds the tabs {held}")
    if has(tab_list, pyatspi.STATE_FOCUSABLE):
        fail(f"the page tab list of {names} in {where} can take the keyboard focus")
    try:
        actions = tab_list.queryAction().nActions
    except NotImplementedError:
        actions = 0
    if actions:
        fail(f"the page tab list of {names} in {where} has {actions} actions")
    return tab_list


def check_main_window(main):
    expect_controls(main, pyatspi.ROLE_PUSH_BUTTON,
                    ["最小化", "最大化", "关闭", "精简模式", "菜单", "关闭侧栏", "关闭播放器",
                     "关闭电视", "重新加载", "清空列表", "退出精简"], "the main window")
    # The focus the window takes when shown stays with a web page, as it does for a mouse user.
    painted = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_PAGE_TAB)
    focused = [accessible.name for accessible, role in walk(main)
               if role in painted and has(accessible, pyatspi.STATE_FOCUSED)]
    if focused:
        fail(f"{focused} took the focus before the keyboard was used")
    on_top = expect_controls(main, pyatspi.ROLE_TOGGLE_BUTTON, ["置顶"], "the main window")["置顶"][0]
    if has(on_top, pyatspi.STATE_PRESSED):
        fail("the on-top button is pressed before the window is on top")
    page_tabs = ["影视", "播放", "电视", "淘宝"]
    list_tabs = ["正在播放", "历史观看"]
    tabs = expect_controls(main, pyatspi.ROLE_PAGE_TAB, page_tabs + list_tabs, "the main window")
    if (expect_tab_list(tabs, page_tabs, "the main window")
            == expect_tab_list(tabs, list_tabs, "the main window")):
        fail("the page tabs and the list tabs share one page tab list")
    if selected_tabs(main, page_tabs) != {"影视"}:
        fail(f"selected page tabs at start: {selected_tabs(main, page_tabs)}")
    if len(selected_tabs(main, list_tabs)) != 1:
        fail(f"selected list tabs: {selected_tabs(main, list_tabs)}")
    # The ticker's first item, which has an address, comes with the ticker list.
    wait_for("a ticker item as a named link",
             lambda: any(name and has(links[0], pyatspi.STATE_FOCUSABLE)
                         for name, links in controls(main, pyatspi.ROLE_LINK).items()))


def output(*command):
    return subprocess.run(command, capture_output=True, text=True).stdout


def windows(title):
    return output("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()


def window_above(title):
    return any("_NET_WM_STATE_ABOVE" in output("xprop", "-id", window_id, "_NET_WM_STATE")
               for window_id in windows(title))


def press_keys(title, keys):
    """Gives the window with this title the focus and types the keys into it."""
    window_id = wait_for(f"a window titled {title}", lambda: windows(title)[0])
    subprocess.run(["xdotool", "windowactivate", "--sync", window_id], check=True)
    if keys:
        subprocess.run(["xdotool", "key", keys], check=True)


def check_actions(main):
    press(the(main, pyatspi.ROLE_TOGGLE_BUTTON, "置顶"))
    wait_for("the on-top button pressed and the window on top",
             lambda: has(the(main, pyatspi.ROLE_TOGGLE_BUTTON, "置顶"), pyatspi.STATE_PRESSED)
             and window_above("Lumora"))
    press(the(main, pyatspi.ROLE_PAGE_TAB, "播放"))
    wait_for("the player tab selected in place of the portal's",
             lambda: selected_tabs(main, ["影视", "播放"]) == {"播放"})
    press(the(main, pyatspi.ROLE_PUSH_BUTTON, "关闭侧栏"))
    wait_for("a side-bar handle named for opening its side bar",
             lambda: the(main, pyatspi.ROLE_PUSH_BUTTON, "打开侧栏"))
    press_keys("Lumora", "ctrl+3")
    wait_for("Ctrl+3 to show the TV page", lambda: selected_tabs(main, ["播放", "电视"]) == {"电视"})
    press_keys("Lumora", "")
    shopping = the(main, pyatspi.ROLE_PAGE_TAB, "淘宝")
    shopping.queryComponent().grabFocus()
    wait_for("the shopping tab focused", lambda: has(shopping, pyatspi.STATE_FOCUSED))
    press_keys("Lumora", "Return")
    wait_for("Enter on the focused tab to show its page",
             lambda: selected_tabs(main, ["电视", "淘宝"]) == {"淘宝"})


PAINTED = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_PAGE_TAB,
           pyatspi.ROLE_LINK)


def focus(main):
    """What has the keyboard focus in the main window: ("control", name) for a painted control
    (the walk does not enter web pages), ("link", name) for a link of a shown web page, or None."""
    for accessible, role in walk(main):
        if role in PAINTED and has(accessible, pyatspi.STATE_FOCUSED):
            return "control", accessible.name
        if role == pyatspi.ROLE_DOCUMENT_WEB and has(accessible, pyatspi.STATE_SHOWING):
            link = pyatspi.findDescendant(accessible, lambda a: a.getRole() == pyatspi.ROLE_LINK
                                          and has(a, pyatspi.STATE_FOCUSED))
            if link is not None:
                return "link", link.name
    return None


def tab(main, keys="Tab", to=None, most=1):
    """Presses Tab (or the keys given) until the focus is on a thing of the kind `to` (any, when
    None), at most `most` times, and returns where the focus went. Entering a page, the page itself
    takes the focus first, which the next key moves to its first (or last) link."""
    for _ in range(most):
        before = focus(main)
        press_keys("Lumora", keys)
        now = wait_for(f"{keys} to move the focus on from {before}",
                       lambda: (after := focus(main)) != before and (after or "nothing"))
        if to is None or (now != "nothing" and now[0] == to):
            return now
    fail(f"{most} times {keys} did not bring the focus to a {to}, but to {now}")


def check_tab_through_page(main):
    """Tab goes from the window's own controls into the shown page, through its links in their
    order and out again at its end, as in a browser, and Shift+Tab the same way back."""
    press_keys("Lumora", "")
    the(main, pyatspi.ROLE_PAGE_TAB, "淘宝").queryComponent().grabFocus()
    wait_for("the shopping tab focused", lambda: focus(main) == ("control", "淘宝"))
    first = tab(main, to="link", most=2)
    if "Quiet Harbour" not in first[1]:
        fail(f"Tab entered the portal page at {first}")
    links = [first] + [tab(main) for _ in range(7)]
    if {kind for kind, _ in links} != {"link"} or len(set(links)) != 8:
        fail(f"Tab went through the portal's eight links as {links}")
    tab(main, to="control")
    if (last := tab(main, "shift+Tab", to="link", most=3)) != links[-1]:
        fail(f"Shift+Tab entered the page at {last}, not at its last link")
    if [tab(main, "shift+Tab") for _ in range(7)] != links[-2::-1]:
        fail("Shift+Tab did not go back through the links in their order")
    if tab(main, "shift+Tab", to="control") != ("control", "淘宝"):
        fail("Shift+Tab at the page's first link did not go back to the control before it")


def screen_pixel(x, y):
    pixbuf = Gdk.pixbuf_get_from_window(Gdk.get_default_root_window(), x, y, 1, 1)
    return tuple(pixbuf.get_pixels()[:3])


def check_focus_ring(main, scale):
    """Tab moves the focus on; the focused page tab shows the ring along its edge once the keyboard
    has been used in the window, never for a mouse user. (The tab lies on the screen at both
    scales; the caption buttons of a window wider than a doubled screen do not.)"""
    button = the(main, pyatspi.ROLE_PAGE_TAB, "影视")

    def left_edge():
        x, y, _, height = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return screen_pixel(x * scale, (y + height // 2) * scale)

    def focused():
        return has(button, pyatspi.STATE_FOCUSED)

    press_keys("Lumora", "")
    button.queryComponent().grabFocus()
    wait_for("the portal tab focused", focused)
    if left_edge() == FOCUS_RING:
        fail("a focus ring before the keyboard was used")
    press_keys("Lumora", "Tab")
    wait_for("Tab to move the focus on", lambda: not focused())
    button.queryComponent().grabFocus()
    wait_for(f"the focus ring at scale {scale}, now {left_edge()}",
             lambda: focused() and left_edge() == FOCUS_RING)


def open_settings_dialog(app, main):
    press(the(main, pyatspi.ROLE_PUSH_BUTTON, "菜单"))
    item = wait_for("the program menu's settings item",
                    lambda: the(app, pyatspi.ROLE_MENU_ITEM, "软件设置"))
    press(item)
    return wait_for("the settings dialog", lambda: frame(app, "软件设置"))


def check_settings_dialog(app, main):
    dialog = open_settings_dialog(app, main)
    tabs = ["软件设置", "关于软件"]
    expect_controls(dialog, pyatspi.ROLE_PAGE_TAB, tabs, "the settings dialog")
    if selected_tabs(dialog, tabs) != {"软件设置"}:
        fail(f"selected dialog tabs at start: {selected_tabs(dialog, tabs)}")
    press(the(dialog, pyatspi.ROLE_PAGE_TAB, "关于软件"))
    wait_for("the about tab selected", lambda: selected_tabs(dialog, tabs) == {"关于软件"})
    press_keys("软件设置", "Escape")
    wait_for("Escape to close the settings dialog", lambda: frame(app, "软件设置") is None)
    dialog = open_settings_dialog(app, main)
    close = expect_controls(dialog, pyatspi.ROLE_PUSH_BUTTON, ["关闭"], "the settings dialog")
    press(close["关闭"][0])
    wait_for("the close picture to close the settings dialog",
             lambda: frame(app, "软件设置") is None)


POPUP_TITLE = "热门推荐 - Lumora"


def check_popup_ad(app):
    """The popup ad, which the demo shows a few seconds after the start, is known by its title;
    its close picture is a button whose action hides the ad. (It never takes the focus: showing
    or clicking it leaves the focus with the user's work, so the keyboard does not reach it.)"""
    popup = wait_for(f"the popup ad's frame '{POPUP_TITLE}' shown",
                     lambda: shown(frame(app, POPUP_TITLE)))
    close = expect_controls(popup, pyatspi.ROLE_PUSH_BUTTON, ["关闭"], "the popup ad")["关闭"][0]
    press(close)
    wait_for("the close picture's action to hide the popup ad",
             lambda: not shown(frame(app, POPUP_TITLE)))


def run(program, server, port, scale, checks):
    """Runs the checks on the program started against the demo server at a screen scale."""
    folder = tempfile.mkdtemp()
    processes = []
    try:
        processes.append(subprocess.Popen([server, "--port", port]))
        shutil.copy(program, f"{folder}/lumora")
        processes.append(subprocess.Popen([f"{folder}/lumora"], cwd=folder,
                                          env={**os.environ, "GDK_SCALE": str(scale)}))
        app = wait_for("the program on the accessibility bus", lambda: application("lumora"))
        # Shown once all its controls are made.
        main_window = wait_for("the main window's frame shown", lambda: shown(frame(app, "Lumora")))
        checks(app, main_window)
    finally:
        for process in reversed(processes):
            process.terminate()
            process.wait()
        shutil.rmtree(folder, ignore_errors=True)


def all_checks(app, main_window):
    check_main_window(main_window)
    check_focus_ring(main_window, 1)
    check_tab_through_page(main_window)
    check_actions(main_window)
    check_settings_dialog(app, main_window)
    check_popup_ad(app)


def main():
    program, server, port = sys.argv[1:4]
    run(program, server, port, 1, all_checks)
    run(program, server, port, 2, lambda app, main_window: check_focus_ring(main_window, 2))
    print("accessibility test passed")


if __name__ == "__main__":
    main()
