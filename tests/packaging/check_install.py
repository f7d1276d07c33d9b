#!/usr/bin/env python3
"""Checks what `cmake --install` puts in place, the manual pages and the Debian package,
as a user and a desktop meet them. CTest runs the first two checks, scripts/package-deb.sh
and scripts/test.sh the third; exit 77 means that a tool a check needs is missing.

  check_install.py install --build DIR --version X.Y [--window]
      installs the build into a fresh folder (prefix /usr) and checks every file a user,
      a desktop's menu and man(1) look for: the programs, the manual pages, the bash
      completion, the desktop entry, the AppStream metainfo, the icons of the hicolor
      theme and the help page; that the names that point at one another agree; and that
      the versions are the project's.
  check_install.py man --cli PATH --version X.Y PAGE.gz...
      renders each page with man(1) at 80 columns and fails on any warning; checks that
      tessik-cli(1) documents every option that `tessik-cli --help` names, and only
      options that tessik-cli knows.
  check_install.py deb --deb tessik_X.Y_ARCH.deb --version X.Y
      checks the Debian package: its name and control fields, the dependencies computed
      from the programs, and that it holds every file of an installation, under /usr.
"""
import argparse
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SKIP = 77
APP_ID = "io.github.tessik.Tessik"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text)


def finish():
    if failures:
        print(f"{len(failures)} failure(s)")
        return 1
    print("all checks passed")
    return 0


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def desktop_entry(path):
    entry = {}
    group = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("["):
                group = line
            elif "=" in line and group == "[Desktop Entry]":
                key, value = line.split("=", 1)
                entry[key] = value
    return entry


def expected_files(window):
    """What an installation holds, below its prefix."""
    expected = ["bin/tessik-cli", "share/man/man1/tessik-cli.1.gz",
                "share/bash-completion/completions/tessik-cli", "share/doc/tessik/copyright"]
    if window:
        expected += ["bin/tessik", "share/man/man1/tessik.1.gz", "share/tessik/morrin.html",
                     f"share/applications/{APP_ID}.desktop",
                     f"share/metainfo/{APP_ID}.metainfo.xml",
                     "share/icons/hicolor/scalable/apps/tessik.svg"]
        expected += [f"share/icons/hicolor/{s}x{s}/apps/tessik.png" for s in ICON_SIZES]
    return expected


def check_install(build, version, window):
    root = tempfile.mkdtemp(prefix="tessik-install-")
    try:
        env = dict(os.environ, DESTDIR=root)
        done = subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0:
            print(done.stdout)
            fail("cmake --install failed")
            return
        usr = os.path.join(root, "usr")
        share = os.path.join(usr, "share")

        for name in expected_files(window):
            if not os.path.isfile(os.path.join(usr, name)):
                fail(f"not installed: /usr/{name}")
        for name in ("bin/tessik", "bin/tessik-cli"):
            path = os.path.join(usr, name)
            if os.path.isfile(path) and not os.access(path, os.X_OK):
                fail(f"/usr/{name} is not executable")
        if failures or not window:
            return

        for s in ICON_SIZES:
            size = png_size(os.path.join(share, f"icons/hicolor/{s}x{s}/apps/tessik.png"))
            if size != (s, s):
                fail(f"the {s}x{s} icon is a PNG of {size}")
        svg = ElementTree.parse(os.path.join(share, "icons/hicolor/scalable/apps/tessik.svg"))
        if svg.getroot().tag != "{http://www.w3.org/2000/svg}svg":
            fail("the scalable icon is not an SVG picture")

        # The names that point at one another: the desktop entry runs an installed program
        # and names an installed icon; the metainfo launches that desktop entry; the window
        # tells the desktop the same desktop entry's name, so that it shows its icon.
        entry = desktop_entry(os.path.join(share, f"applications/{APP_ID}.desktop"))
        program = entry.get("Exec", "").split(" ")[0]
        if not os.path.isfile(os.path.join(usr, "bin", program)):
            fail(f"the desktop entry runs {program!r}, which is not installed in /usr/bin")
        if entry.get("Icon") != "tessik":
            fail(f"the desktop entry's icon is {entry.get('Icon')!r}, not the installed tessik")
        metainfo = ElementTree.parse(os.path.join(share, f"metainfo/{APP_ID}.metainfo.xml"))
        if metainfo.findtext("id") != APP_ID:
            fail(f"the metainfo's id is {metainfo.findtext('id')!r}")
        if metainfo.findtext("launchable[@type='desktop-id']") != f"{APP_ID}.desktop":
            fail("the metainfo launches another desktop entry than the installed one")
        releases = [r.get("version") for r in metainfo.iterfind("releases/release")]
        if not releases or releases[0] != version:
            fail(f"the metainfo's newest release is {releases[:1]}, not {version}")
        with open(os.path.join(usr, "bin/tessik"), "rb") as f:
            if APP_ID.encode("utf-16-le") not in f.read():
                fail(f"the window does not give {APP_ID} as its desktop entry's name")
    finally:
        shutil.rmtree(root, ignore_errors=True)


def render(page):
    env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8", MAN_KEEP_FORMATTING="")
    env.pop("MANPAGER", None)
    env.pop("PAGER", None)
    return subprocess.run(["man", "--warnings", "-l", page], env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


OPTION = re.compile(r"(?<![\w-])(--?[a-z][a-z-]*|--)(?![\w-])")


def tags_of_options(source):
    """The options that the OPTIONS section of a roff page documents: its .TP tags."""
    section = source.split("\n.SH OPTIONS\n", 1)[-1].split("\n.SH ", 1)[0]
    tags = re.findall(r"^\.TP\n(.*)$", section, re.MULTILINE)
    found = set()
    for tag in tags:
        found.update(OPTION.findall(tag.replace("\\-", "-")))
    return found


def check_man(cli, version, pages):
    if shutil.which("man") is None:
        print("SKIPPED: man is not installed (apt-get install man-db)")
        return SKIP
    cli_source = None
    for page in pages:
        shown = render(page)
        if shown.returncode != 0 or shown.stderr:
            fail(f"man --warnings -l {page} (status {shown.returncode}):\n{shown.stderr}")
        with gzip.open(page, "rt", encoding="utf-8") as f:
            source = f.read()
        heading = re.search(r"^\.TH .*$", source, re.MULTILINE)
        if heading is None or f'"Tessik {version}"' not in heading.group(0):
            fail(f"{page}: its .TH line does not name Tessik {version}")
        if os.path.basename(page).startswith("tessik-cli."):
            cli_source = source

    if cli_source is None:
        fail("no tessik-cli(1) among the pages")
        return finish()
    usage = subprocess.run([cli, "--help"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True).stdout
    in_help = set(OPTION.findall(usage))
    documented = tags_of_options(cli_source)
    for option in sorted(in_help - documented):
        fail(f"tessik-cli --help names {option}, which tessik-cli(1) does not document")
    for option in sorted(documented):
        if is_unknown_option(cli, option):
            fail(f"tessik-cli(1) documents {option}, which tessik-cli does not know")
    return finish()


def is_unknown_option(cli, option):
    """Whether tessik-cli refuses `option` as unknown (given alone, it searches nothing)."""
    said = subprocess.run([cli, option], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, timeout=60).stdout
    return "unknown option" in said


def check_deb(deb, version):
    for tool in ("dpkg-deb", "dpkg"):
        if shutil.which(tool) is None:
            print(f"SKIPPED: {tool} is not installed")
            return SKIP
    architecture = subprocess.run(["dpkg", "--print-architecture"], stdout=subprocess.PIPE,
                                  text=True, check=True).stdout.strip()
    if os.path.basename(deb) != f"tessik_{version}_{architecture}.deb":
        fail(f"the package is called {os.path.basename(deb)}")

    def field(name):
        return subprocess.run(["dpkg-deb", "--field", deb, name], stdout=subprocess.PIPE,
                              text=True, check=True).stdout.strip()

    for name, value in (("Package", "tessik"), ("Version", version),
                        ("Architecture", architecture)):
        if field(name) != value:
            fail(f"the package's {name} is {field(name)!r}, not {value!r}")
    if not field("Maintainer") or not field("Description"):
        fail("the package has no Maintainer or no Description")
    # Computed from the programs: the C library, and Qt's widgets and GUI (whose package
    # holds the X11 platform plugin the window starts on).
    depends = {d.split()[0] for d in field("Depends").split(", ") if d}
    for needed in ("libc6", "libstdc++6", "libqt6widgets6", "libqt6gui6", "libqt6core6"):
        if needed not in depends:
            fail(f"the package does not depend on {needed} (Depends: {field('Depends')})")

    listing = subprocess.run(["dpkg-deb", "--contents", deb], stdout=subprocess.PIPE,
                             text=True, check=True).stdout
    entries = {}
    for line in listing.splitlines():
        mode, _owner, _size, _date, _time, path = line.split(None, 5)
        entries[path.split(" -> ")[0].lstrip(".")] = mode
    for name in expected_files(True):
        mode = entries.get("/usr/" + name)
        if mode is None:
            fail(f"the package does not hold /usr/{name}")
        elif name.startswith("bin/") and mode != "-rwxr-xr-x":
            fail(f"/usr/{name} has mode {mode} in the package")
    outside = sorted(p for p in entries if p not in ("/", "/usr/") and not p.startswith("/usr/"))
    if outside:
        fail(f"the package puts files outside /usr: {outside}")
    return finish()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=("install", "man", "deb"))
    parser.add_argument("--build")
    parser.add_argument("--cli")
    parser.add_argument("--version", required=True)
    parser.add_argument("--window", action="store_true")
    parser.add_argument("--deb")
    parser.add_argument("pages", nargs="*")
    args = parser.parse_intermixed_args()
    if args.what == "man":
        return check_man(args.cli, args.version, args.pages)
    if args.what == "deb":
        return check_deb(args.deb, args.version)
    check_install(args.build, args.version, args.window)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
