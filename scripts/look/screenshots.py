#!/usr/bin/python3
# Starts Pellavin on a virtual 96-dpi screen with a window manager, walks through the splash
# window, the name prompt, the greeting, the main window, the About box and the help window,
# and saves a screenshot of each:
#   scripts/look/screenshots.py [--scale FACTOR] [--lang LANG] [--language LANGUAGE]
#                               [--scheme high-contrast-black|high-contrast-white] [output folder]
# --scale 2 draws the windows as on a high-density screen (QT_SCALE_FACTOR), into
# build/screenshots-x2 unless a folder is given. --lang de_DE.UTF-8 (or --language de:fr) shows
# them in that language, into build/screenshots-de_DE.UTF-8; without either they are English.
# --scheme gives the program a KDE Plasma desktop with that high-contrast colour scheme. With
# PELLAVIN_BUILD_DIR set, uses the program built there.
import argparse
import os
import re
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as drive  # noqa: E402

# A KDE colour scheme, read by Qt itself on a Plasma desktop: window, view (text boxes), button
# and selection colours: background, foreground, selection, selected text, inactive text.
SCHEMES = {"high-contrast-black": ("0,0,0", "255,255,255", "26,235,255", "0,0,0", "63,242,63"),
           "high-contrast-white": ("255,255,255", "0,0,0", "55,0,110", "255,255,255", "96,0,0")}


def options():
    parser = argparse.ArgumentParser(description="Photographs every window of Pellavin.")
    parser.add_argument("--scale", default="1")
    parser.add_argument("--lang", default="C.UTF-8")
    parser.add_argument("--language", default="")
    parser.add_argument("--scheme", choices=sorted(SCHEMES))
    parser.add_argument("out", nargs="?")
    given = parser.parse_args()
    suffix = "".join((f"-x{given.scale}" if given.scale != "1" else "",
                      f"-{given.lang}" if given.lang != "C.UTF-8" else "",
                      "-" + given.language.replace(":", "-") if given.language else "",
                      f"-{given.scheme}" if given.scheme else ""))
    given.out = os.path.abspath(given.out or os.path.join(drive.ROOT, "build", "screenshots" + suffix))
    return given


def title(text, lang, language):
    """A window's title as the program shows it: the translation, from the first of the
    languages asked for that the program has, or the English."""
    for code in [c for c in language.split(":") if c] + [re.split(r"[.@]", lang)[0]]:
        if code.startswith("en") or code in ("C", "POSIX"):
            break
        for name in (code, code.split("_")[0]):
            path = os.path.join(drive.ROOT, "i18n", f"pellavin_{name}.ts")
            if not os.path.isfile(path):
                continue
            with open(path, encoding="utf-8") as f:
                found = re.search(r"<source>" + re.escape(text) + r"</source>(?:.*\n){0,3}?.*<translation>(.*)</translation>",
                                  f.read())
            if found and found[1]:
                return found[1].replace("%1", "Pellavin")
    return text.replace("%1", "Pellavin")


def kde_desktop(scheme):
    """The environment of a Plasma desktop with the colour scheme."""
    back, fore, select, selected, inactive = SCHEMES[scheme]
    config = tempfile.mkdtemp(prefix="pellavin-kde.")
    with open(os.path.join(config, "kdeglobals"), "w") as f:
        for group in ("Window", "View", "Button", "Tooltip", "Header"):
            f.write(f"[Colors:{group}]\nBackgroundNormal={back}\nBackgroundAlternate={back}\n"
                    f"ForegroundNormal={fore}\nForegroundInactive={inactive}\n\n")
        f.write(f"[Colors:Selection]\nBackgroundNormal={select}\nForegroundNormal={selected}\n\n"
                f"[General]\nColorScheme={scheme}\n")
    return {"XDG_CONFIG_HOME": config, "XDG_CURRENT_DESKTOP": "KDE", "KDE_SESSION_VERSION": "5"}


def main():
    given = options()
    drive.deps("--screens")
    build = drive.build_program(os.environ.get("PELLAVIN_BUILD_DIR") or os.path.join(drive.ROOT, "build"))
    os.makedirs(given.out, exist_ok=True)
    scale = float(given.scale)
    named = lambda text: title(text, given.lang, given.language)  # noqa: E731

    def need(found, what):
        if not found:
            sys.exit(f"screenshots: no {what}")

    with drive.Screen("1024x768" if given.scale == "1" else "2048x1536") as screen:
        # The language is the program's alone: the tools that drive it keep the script's own.
        env = {"LANG": given.lang, **({"LANGUAGE": given.language} if given.language else {}),
               **(kde_desktop(given.scheme) if given.scheme else {}),
               **({"QT_SCALE_FACTOR": given.scale} if given.scale != "1" else {})}

        def shot(name):
            time.sleep(0.6)
            screen.shot(os.path.join(given.out, name + ".png"))

        def click_in(window_title, dx, dy):
            """Clicks at a point of the window's client area, in its own (unscaled) pixels."""
            x, y = screen.geometry(screen.windows(window_title)[0])[:2]
            drive.run("xdotool", "mousemove", str(int(x + dx * scale)), str(int(y + dy * scale)), "click", "1")

        def menu(right, down):
            """Through the menus by keyboard, so that it works whatever width the menu titles
            take: the first menu by its place, then as many menus to the right, and as many items
            down."""
            click_in("^Pellavin$", 15, 10)
            time.sleep(0.5)
            for _ in range(right):
                screen.keys("Right", settle=0.4)
            for _ in range(down):
                screen.keys("Down", settle=0.2)
            screen.keys("Return", settle=0)

        program = drive.Program(screen, ["dbus-run-session", "--", os.path.join(build, "pellavin")], build, env)
        with program:
            need(program.splash(), "splash window")
            time.sleep(1.5)
            shot("splash")
            screen.keys("a", settle=0)
            need(screen.wait_window(named("User Name Input")), "name prompt")
            shot("name-prompt")
            screen.keys("Return", settle=0.5)
            shot("greeting")
            screen.keys("Return", settle=0)
            need(screen.wait_window("^Pellavin$"), "main window")
            shot("main")
            menu(2, 0)                  # Help, About
            need(screen.wait_window(named("About %1")), "About box")
            shot("about")
            screen.keys("Escape", settle=0.3)  # the About box covers the main window's menus
            menu(2, 1)                  # Help, Using this program
            need(screen.wait_window(named("Help using Pellavin")), "help window")
            shot("help")


main()
