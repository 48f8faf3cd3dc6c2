#!/usr/bin/env python3
"""The window as a screen reader meets it: read through AT-SPI, as Orca would.

usage: window_audit.py KAVELIN EXAMPLES

Starts a display of its own (Xvfb), a D-Bus session with the accessibility bus and its
registry, and the window with a character sheet whose template is EXAMPLES/hero.gif. Then
it reads every statistic and palette display, every list's chosen entry and entries (a
disabled one too), the main window's role, the two buttons' tooltips and the status count
after an error is typed, and audits every control on screen for a name and a readable
value. Exits 0 when all is well, 1 with the findings, 77 (skipped) when a tool is missing.
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
REGISTRY = "/usr/libexec/at-spi2-registryd"
# Each wait is bounded; the sanitizer build starts several times slower.
START_SECONDS = 90
EVENT_SECONDS = 20

SHEET_LISTS = (["性別", "宿星", "得意武器", "閃きタイプ"]
               + [f"{kind}{n}" for kind in ("技", "術", "武器", "防具") for n in range(1, 5)]
               + ["固有陣形", "専用武器", "コマンダー"])
STATS = ["腕力", "器用さ", "素早さ", "体力", "魔力", "意思力", "魅力"]
COLUMNS = ["宿星", "得意武器", "合計"]
STATUS_COUNT = re.compile(r"入力エラー (\d+)件・注意 (\d+)件")


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(SKIP)


def outside(kavelin, examples):
    """Sets up the display and the session, then runs the audit inside them."""
    for tool in ("Xvfb", "dbus-run-session", "dbus-send"):
        if shutil.which(tool) is None:
            skip(f"{tool} is missing (scripts/setup installs it)")
    if not os.access(REGISTRY, os.X_OK):
        skip(f"{REGISTRY} is missing (Debian package at-spi2-core)")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("pyatspi is missing (Debian package python3-pyatspi)")
    with tempfile.TemporaryDirectory(prefix="kavelin-atspi-") as home:
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        # -displayfd picks a free display, so that parallel runs never share one. Without
        # -noreset the server resets whenever its last client leaves (the accessibility
        # bus's launcher does, at once), and a window connecting then is refused.
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                                pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            with os.fdopen(read_end) as displayfd:
                display = displayfd.readline().strip()
            if not display:
                print("FAIL: Xvfb gave no display")
                return 1
            if not display_answers(display):
                print(f"FAIL: Xvfb named display :{display} but does not answer on it")
                return 1
            # The user's settings, recent files and accessibility bus stay out of it.
            env = dict(os.environ, DISPLAY=f":{display}", HOME=home,
                       XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, "config"),
                       XDG_DATA_HOME=os.path.join(home, "data"), QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="C.UTF-8")
            env.pop("DBUS_SESSION_BUS_ADDRESS", None)
            env.pop("AT_SPI_BUS_ADDRESS", None)
            # A session of its own, so that a run that hangs is ended with all it started.
            session = subprocess.Popen(["dbus-run-session", "--", sys.executable, __file__,
                                        "--inside", kavelin, examples, home], env=env,
                                       start_new_session=True)
            try:
                return session.wait(START_SECONDS + 240)
            except subprocess.TimeoutExpired:
                os.killpg(session.pid, signal.SIGKILL)
                session.wait()
                print("FAIL: the audit did not finish")
                return 1
        finally:
            xvfb.terminate()
            xvfb.wait(10)


def display_answers(display, seconds=10):
    """Whether the display's socket takes a connection within `seconds`: on a loaded
    machine the server may name its display a moment before it listens."""
    import socket
    path = f"/tmp/.X11-unix/X{display}"
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
                s.connect(path)
                return True
        except OSError:
            time.sleep(0.05)
    return False


def write_sheet(examples, folder):
    """The sample character with its template named, and its equipment section off, so
    that eight lists are disabled while they show a choice."""
    with open(os.path.join(examples, "hero.json"), encoding="utf-8") as f:
        sheet = json.load(f)
    sheet["template"] = os.path.join(os.path.abspath(examples), "hero.gif")
    sheet["initialEquipment"]["enabled"] = False
    path = os.path.join(folder, "audit.json")
    with open(path, "w", encoding="utf-8") as f:
        json.dump(sheet, f, ensure_ascii=False)
    return path


def inside(kavelin, examples, home):
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                    "/org/a11y/bus", "org.a11y.Bus.GetAddress"], check=True,
                   stdout=subprocess.DEVNULL)
    registry = subprocess.Popen([REGISTRY], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = subprocess.Popen([kavelin, write_sheet(examples, home)])
    try:
        return Audit(window).run()
    finally:
        for process in (window, registry):
            process.terminate()
            try:
                process.wait(20)
            except subprocess.TimeoutExpired:
                process.kill()


class Audit:
    def __init__(self, window):
        import pyatspi
        self.at = pyatspi
        self.window = window
        self.findings = []
        self.objects = []
        # (role, name) of every object, read once: each read is a round trip to the window.
        self.by_name = {}

    def check(self, ok, what):
        if not ok:
            self.findings.append(what)
        return ok

    # Finding the window, then everything in it.

    def frame(self):
        desktop = self.at.Registry.getDesktop(0)
        deadline = time.monotonic() + START_SECONDS
        while time.monotonic() < deadline:
            if self.window.poll() is not None:
                raise RuntimeError(f"the window ended with {self.window.returncode}")
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == "Kavelin" and app.childCount > 0:
                    frame = app.getChildAtIndex(0)
                    # Ready when the live check has counted: the status item names its count.
                    status = self.find(frame, self.at.ROLE_PUSH_BUTTON, "入力チェック")
                    if status is not None and "：" in status.name:
                        return frame
            time.sleep(0.3)
        raise RuntimeError("the window did not appear on the accessibility bus")

    def walk(self, node):
        self.objects.append(node)
        self.by_name.setdefault((node.getRole(), node.name), []).append(node)
        # A list's entries are read with the list.
        if node.getRole() == self.at.ROLE_COMBO_BOX:
            return
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                self.walk(child)

    def find(self, root, role, prefix):
        if root.getRole() == role and root.name.startswith(prefix):
            return root
        if root.getRole() == self.at.ROLE_COMBO_BOX:
            return None
        for i in range(root.childCount):
            child = root.getChildAtIndex(i)
            found = child is not None and self.find(child, role, prefix)
            if found:
                return found
        return None

    def named(self, role, name):
        return self.by_name.get((role, name), [])

    def text(self, node):
        if "Text" not in self.at.utils.listInterfaces(node):
            return None
        return node.queryText().getText(0, -1)

    def states(self, node):
        return node.getState()

    # What is read.

    def displays(self):
        """Each statistic display shows its number: a total is the statistic with its two
        shifts, and the basic total is the sum of the totals."""
        label = self.at.ROLE_LABEL
        totals = []
        for stat in STATS:
            box = self.named(self.at.ROLE_TEXT, stat)
            shown = {}
            for column in COLUMNS:
                found = self.named(label, f"{stat} {column}")
                value = self.text(found[0]) if len(found) == 1 else None
                if self.check(value is not None and re.fullmatch(r" ?-?\d+", value),
                              f"display {stat} {column} reads {value!r}"):
                    shown[column] = int(value)
            if len(box) == 1 and len(shown) == 3:
                self.check(int(self.text(box[0])) + shown["宿星"] + shown["得意武器"]
                           == shown["合計"], f"{stat}: the displays do not add up: {shown}")
                totals.append(shown["合計"])
        total = self.named(label, "基本ステータス 合計")
        value = self.text(total[0]) if len(total) == 1 else None
        self.check(value is not None and value.strip() == str(sum(totals)),
                   f"the basic total reads {value!r}, the totals add up to {sum(totals)}")
        return 7 * len(COLUMNS) + 1

    def palette(self):
        """Each palette value reads what its entry's toggle names: "#rrggbb" split into
        R, G and B, and a SNES word; an empty entry's values are empty."""
        read = 0
        for entry in range(16):
            toggle = [o for (role, name), found in self.by_name.items()
                      if name.startswith(f"パレット{entry} ") and role != self.at.ROLE_LABEL
                      for o in found]
            colour = re.search(r"#([0-9a-f]{6})$", toggle[0].name) if len(toggle) == 1 else None
            values = []
            for heading in ("R", "G", "B", "SNES形式"):
                found = self.named(self.at.ROLE_LABEL, f"パレット{entry} {heading}")
                values.append(self.text(found[0]) if len(found) == 1 else None)
            read += sum(v is not None for v in values)
            if not self.check(None not in values, f"palette {entry} values unreadable: {values}"):
                continue
            if colour is None:
                self.check(values == ["", "", "", ""], f"empty palette {entry} reads {values}")
                continue
            rgb = [f"0x{colour.group(1)[i:i + 2]}".upper() for i in (0, 2, 4)]
            self.check([v.upper() for v in values[:3]] == rgb,
                       f"palette {entry} reads {values}, its toggle says #{colour.group(1)}")
            self.check(re.fullmatch(r"0x[0-9A-F]{4}", values[3]) is not None,
                       f"palette {entry} SNES form reads {values[3]!r}")
        return read

    def lists(self):
        """Every list says its chosen entry and has its entries as children, the chosen one
        alone selected; a disabled list the same."""
        expected = {"性別": "男", "宿星": "螢惑", "得意武器": "剣", "閃きタイプ": "【01】",
                    "技1": "【0F】", "武器1": "【08】", "防具1": "【60】", "防具2": "【B0】",
                    "固有陣形": "【01】"}
        disabled = 0
        for name in SHEET_LISTS:
            found = self.named(self.at.ROLE_COMBO_BOX, name)
            if not self.check(len(found) == 1, f"list {name}: {len(found)} found"):
                continue
            entry, count, selected = self.list_entry(found[0])
            value = self.text(found[0])
            self.check(count > 1, f"list {name} has {count} entries")
            self.check(len(selected) == 1 and selected[0] == value,
                       f"list {name} reads {value!r}, selected {selected}")
            self.check(entry.startswith(expected.get(name, "")),
                       f"list {name} chose {entry!r}, the sheet says {expected.get(name)}")
            if not self.states(found[0]).contains(self.at.STATE_ENABLED):
                disabled += 1
        # The equipment section is off: its eight lists are disabled and still read.
        self.check(disabled == 8, f"{disabled} disabled lists, the sheet has 8")
        return len(SHEET_LISTS), disabled

    def list_entry(self, combo):
        selected = []
        count = combo.childCount
        for i in range(count):
            child = combo.getChildAtIndex(i)
            self.check(child.getRole() == self.at.ROLE_LIST_ITEM,
                       f"list {combo.name} entry {i} is a {child.getRoleName()}")
            if self.states(child).contains(self.at.STATE_SELECTED):
                selected.append(child.name)
        return (selected[0] if selected else ""), count, selected

    def buttons(self, frame):
        self.check(frame.getRole() == self.at.ROLE_FRAME,
                   f"the main window is a {frame.getRoleName()}, not a frame")
        for caption in ("ゲーム内プレビュー", "パッチ作成"):
            found = self.named(self.at.ROLE_PUSH_BUTTON, caption)
            self.check(len(found) == 1 and found[0].description != "",
                       f"button {caption} has no tooltip")

    def status_after_error(self, frame):
        """Typing an LP out of range adds one error to the count, and the change is
        announced as the status item's new name, and nothing else as renamed."""
        status = self.find(frame, self.at.ROLE_PUSH_BUTTON, "入力チェック")
        before = STATUS_COUNT.search(status.name)
        errors = int(before.group(1)) if before else 0
        heard, others = [], []

        def listen(event):
            # The event names the object; its name is read anew as the event arrives.
            said = event.source.name
            if said.startswith("入力チェック：") and STATUS_COUNT.search(said):
                heard.append(said)
                self.at.Registry.stop()
            else:
                others.append(said)

        def type_error():
            self.named(self.at.ROLE_TEXT, "LP")[0].queryEditableText().setTextContents("200")

        from gi.repository import GLib
        self.at.Registry.registerEventListener(listen, "object:property-change:accessible-name")
        # Typed once the window has heard that someone listens.
        GLib.timeout_add(500, type_error)
        GLib.timeout_add_seconds(EVENT_SECONDS, self.at.Registry.stop)
        self.at.Registry.start()
        self.at.Registry.deregisterEventListener(listen, "object:property-change:accessible-name")
        # Nothing else was renamed; a name given again is announced again.
        self.check(not others, f"names announced besides the count: {others}")
        if not self.check(heard, f"no name change announced for {status.name!r}"):
            return status.name
        after = STATUS_COUNT.search(heard[-1])
        self.check(int(after.group(1)) == errors + 1,
                   f"status {heard[-1]!r} after one error typed, before {status.name!r}")
        self.check(status.name == heard[-1], f"status reads {status.name!r}, said {heard[-1]!r}")
        return heard[-1]

    def audit(self):
        """Every control on screen has a name, and every display and list a readable value."""
        at = self.at
        # Containers and a scroll area's bars are no controls of their own.
        containers = {at.ROLE_FILLER, at.ROLE_PANEL, at.ROLE_FRAME, at.ROLE_MENU_BAR,
                      at.ROLE_STATUS_BAR, at.ROLE_SCROLL_BAR, at.ROLE_APPLICATION}
        controls = 0
        for node in self.objects:
            state = self.states(node)
            if not state.contains(at.STATE_SHOWING) or node.getRole() in containers:
                continue
            if not (state.contains(at.STATE_FOCUSABLE) or node.getRole() == at.ROLE_LABEL):
                continue
            controls += 1
            if not node.name.strip():
                self.check(False, f"unnamed {self.where(node)}")
            # A list shows something besides its caption; the displays are read above.
            if node.getRole() == at.ROLE_COMBO_BOX:
                if self.text(node) is None:
                    self.check(False, f"{self.where(node)} {node.name!r}: value unread")
        return controls

    def where(self, node):
        return f"{node.getRoleName()} in {node.parent.name or node.parent.getRoleName()}"

    def run(self):
        try:
            frame = self.frame()
        except RuntimeError as error:
            print(f"FAIL: {error}")
            return 1
        started = time.monotonic()
        self.walk(frame)
        displays = self.displays()
        palette = self.palette()
        lists, disabled = self.lists()
        self.buttons(frame)
        controls = self.audit()
        status = self.status_after_error(frame)
        # A fault the sanitizers catch ends the window; it must have lived through it all.
        self.check(self.window.poll() is None, f"the window ended with {self.window.returncode}")
        print(f"read {displays} statistic displays, {palette} palette values, {lists} lists "
              f"({disabled} disabled), {controls} controls audited, status {status!r}, "
              f"in {time.monotonic() - started:.1f} s")
        for finding in self.findings:
            print(f"FINDING: {finding}")
        print(f"{len(self.findings)} findings")
        return 1 if self.findings else 0


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "--inside":
        sys.exit(inside(*sys.argv[2:]))
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        sys.exit(2)
    sys.exit(outside(sys.argv[1], sys.argv[2]))
