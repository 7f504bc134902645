#!/usr/bin/env python3
"""Checks the Flatpak manifest where it cannot be built: it parses, it names
the application id of the desktop file and the metainfo, grants what the
program needs, removes the bundled libjack, and every source is a folder of
this tree or a named upstream release (a git tag or commit, or an archive
with its checksum)."""
import os
import sys

import yaml

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.normpath(os.path.join(here, "..", ".."))
manifest_path = os.path.join(here, "io.github.tarnapp.TarnApp.yml")
problems = []

with open(manifest_path, encoding="utf-8") as stream:
    manifest = yaml.safe_load(stream)

app_id = manifest.get("app-id")
for path in (f"data/{app_id}.desktop", f"data/{app_id}.metainfo.xml"):
    if not os.path.isfile(os.path.join(root, path)):
        problems.append(f"app-id {app_id}: no {path}")

wanted = {"--socket=x11", "--socket=wayland", "--share=ipc", "--device=all",
          "--filesystem=xdg-run/pipewire-0"}
missing = wanted - set(manifest.get("finish-args", []))
if missing:
    problems.append("finish-args lack " + ", ".join(sorted(missing)))
if manifest.get("runtime") != "org.kde.Platform" or manifest.get("sdk") != "org.kde.Sdk":
    problems.append("the runtime is not KDE's")

modules = {module["name"]: module for module in manifest.get("modules", [])}
if list(modules)[-1:] != ["tarnapp"] or "rtmidi" not in modules:
    problems.append("RtMidi and then the program must be built from source")
if not any(entry.startswith("/lib/libjack") for module in modules.values()
           for entry in module.get("cleanup", [])):
    problems.append("no module removes its libjack: the runtime's must be the one used")

for name, module in modules.items():
    for source in module.get("sources", []):
        kind = source.get("type")
        if kind == "dir":
            folder = os.path.normpath(os.path.join(here, source["path"]))
            if not os.path.isfile(os.path.join(folder, "CMakeLists.txt")):
                problems.append(f"{name}: {source['path']} is no source folder of the tree")
        elif kind == "git":
            if not source.get("url", "").startswith("https://") or not (
                    source.get("tag") or source.get("commit")):
                problems.append(f"{name}: a git source needs an https url and a tag or commit")
        elif kind == "archive":
            if not source.get("url", "").startswith("https://") or not source.get("sha256"):
                problems.append(f"{name}: an archive needs an https url and its sha256")
        else:
            problems.append(f"{name}: source of type {kind} is not checked")

for problem in problems:
    print(f"flatpak manifest: {problem}", file=sys.stderr)
if not problems:
    print(f"flatpak manifest: {len(modules)} modules, every source named; app-id {app_id}")
sys.exit(1 if problems else 0)
