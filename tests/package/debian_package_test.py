#!/usr/bin/env python3
"""The Debian package as a user gets it: installs it with apt, checks that the menu entry, the
icons and the AppStream data are where the desktop looks and pass their validators, starts the
installed calculator under Xvfb and closes it with the installed hostsignal, then removes the
package and checks that nothing it brought is left behind.

    python3 tests/package/debian_package_test.py build/rechner_*.deb

It installs on this machine, so it needs root or sudo, and it refuses to run while a rechner
package is installed already: it could not tell that one's files from its own.
"""

import configparser
import os
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from calculator import Calculator  # noqa: E402
from xsession import UserDirs, XSession, user_env  # noqa: E402

AS_ROOT = [] if os.geteuid() == 0 else ["sudo"]
THEME = Path("/usr/share/icons/hicolor")
ICON_SIZES = (16, 32, 48, 64, 128, 256)


def run(*args, env=None):
    """Runs a command to completion and returns its standard output; fails with its messages
    when it fails."""
    result = subprocess.run([str(arg) for arg in args], capture_output=True, text=True,
                            timeout=300, env=env)
    if result.returncode != 0:
        raise AssertionError(f"{' '.join(map(str, args))} failed with {result.returncode}:\n"
                             f"{result.stdout}{result.stderr}")
    return result.stdout


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def installed_version(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status} ${Version}", package],
                            capture_output=True, text=True)
    status, _, version = result.stdout.rpartition(" ")
    return version if status == "install ok installed" else None


def package_paths(deb):
    """Every path the package holds, directories included, as absolute paths."""
    return [Path(line.split(maxsplit=5)[5].removeprefix(".").rstrip("/") or "/")
            for line in run("dpkg-deb", "-c", deb).splitlines()]


def png_size(path):
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise AssertionError(f"{path} is not a PNG")
    return struct.unpack(">II", data[16:24])


def check_desktop_entry(paths):
    """The menu entry: valid, starting the installed program, with an icon the theme has at
    every size. Returns the entry's keys."""
    entries = [path for path in paths
               if path.parent == Path("/usr/share/applications") and path.suffix == ".desktop"]
    expect(len(entries) == 1, f"expected one entry in /usr/share/applications: {entries}")
    entry = entries[0]
    run("desktop-file-validate", entry)
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(entry, encoding="utf-8")
    keys = parser["Desktop Entry"]
    expect(keys["Name"] == "Rechner", f"Name={keys['Name']}")
    for key in ("Comment", "Comment[de]"):
        expect(keys.get(key), f"{entry} has no {key}")
    categories = keys["Categories"].split(";")
    expect({"Utility", "Calculator"} <= set(categories), f"Categories={keys['Categories']}")
    program = shutil.which(keys["Exec"].split()[0], path="/usr/local/bin:/usr/bin:/bin")
    expect(program == "/usr/bin/rechner", f"Exec={keys['Exec']} finds {program}")

    icon = keys["Icon"]
    for size in ICON_SIZES:
        png = THEME / f"{size}x{size}" / "apps" / f"{icon}.png"
        expect(png.exists(), f"the theme has no {size} pixel icon {png}")
        expect(png_size(png) == (size, size), f"{png} is {png_size(png)} pixels")
    svg = THEME / "scalable" / "apps" / f"{icon}.svg"
    expect(ElementTree.parse(svg).getroot().tag == "{http://www.w3.org/2000/svg}svg",
           f"{svg} is not an SVG picture")
    return entry, keys


def check_metainfo(entry, version):
    """The AppStream data: valid, naming the menu entry and this release."""
    metainfo = Path("/usr/share/metainfo") / (entry.stem + ".metainfo.xml")
    run("appstreamcli", "validate", "--no-net", metainfo)
    root = ElementTree.parse(metainfo).getroot()
    expect(root.findtext("launchable") == entry.name, f"{metainfo} launches another entry")
    releases = [release.get("version") for release in root.iter("release")]
    expect(version in releases, f"{metainfo} lists releases {releases}, not {version}")
    expect(root.findtext("screenshots/screenshot/image"), f"{metainfo} shows no screenshot")


def check_calculator_runs(window_class):
    """The installed calculator maps its window with the class the menu entry names, and the
    installed hostsignal finds it and closes it."""
    session = XSession()
    user = UserDirs()
    try:
        os.environ["RECHNER"] = "/usr/bin/rechner"
        calculator = Calculator(session, user)
        calculator.wait_for_window()
        _, _, name = calculator.property("WM_CLASS").partition(", ")
        expect(name.strip('"') == window_class,
               f"the window's class is {name}, the menu entry expects {window_class}")
        env = session.env(user)
        run("/usr/bin/hostsignal", "running", env=env)
        session.start(["/usr/bin/hostsignal", "close"], user=user)
        status = calculator.program.wait_exit(5.0)
        expect(status == 0, f"rechner exited with {status}")
    finally:
        session.close()
        user.remove()


def main():
    deb = Path(sys.argv[1]).resolve()
    package = run("dpkg-deb", "-f", deb, "Package").strip()
    version = run("dpkg-deb", "-f", deb, "Version").strip()
    if installed_version(package):
        sys.exit(f"{package} is installed already; remove it first (apt-get purge {package})")
    paths = package_paths(deb)
    there_before = {path for path in paths if path.exists()}

    apt = AS_ROOT + ["env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "-y", "-qq"]
    run(*apt, "install", "--no-install-recommends", deb)
    try:
        expect(installed_version(package) == version, f"{package} {version} did not install")
        missing = [path for path in paths if not path.exists()]
        expect(not missing, f"installed, yet missing: {missing}")
        entry, keys = check_desktop_entry(paths)
        check_metainfo(entry, version)
        # Answered without a display, as from a shell.
        printed = run("/usr/bin/rechner", "--version", env={"PATH": os.environ["PATH"]}).strip()
        expect(printed == f"rechner {version.partition('-')[0]}",
               f"rechner --version printed {printed!r} for package version {version}")
        check_calculator_runs(keys["StartupWMClass"])
    finally:
        run(*apt, "purge", package)

    expect(installed_version(package) is None, f"{package} is still installed")
    left = sorted(str(path) for path in paths if path.exists() and path not in there_before)
    expect(not left, "left behind after removal:\n  " + "\n  ".join(left))
    print(f"{deb.name}: installed, checked, started, removed without a trace")


if __name__ == "__main__":
    main()
