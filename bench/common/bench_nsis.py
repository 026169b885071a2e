"""Host side shared by the benchmarks that build an NSIS installer: result files the
benchmark exe polls for, the installer itself, and the command dispatch with its error file.

Result files are written whole (renamed into place) so the exe can poll for them; a failed
command writes DIR/host-error.json.
"""
import json
import os
import subprocess
import sys
import traceback

SCRIPT = """Unicode true
SetCompressor zlib
Name "{name}"
OutFile "{out}"
InstallDir "{install_dir}"
RequestExecutionLevel user
{interface}
Section
{body}
SectionEnd
"""

SILENT = "SilentInstall silent"

# The usual modern wizard: folder page, then progress page.
WIZARD = """!include MUI2.nsh
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese\""""


def write_json(path, value):
    with open(path + ".tmp", "w") as f:
        json.dump(value, f)
    os.replace(path + ".tmp", path)


def build_nsis(script, out, name, body, interactive, install_dir=None):
    """Builds the installer out (zlib) whose one section runs the NSIS lines body; silent
    unless interactive. It installs into install_dir, by default $LOCALAPPDATA\\name."""
    with open(script, "w", encoding="utf-8") as f:
        f.write(SCRIPT.format(name=name, out=out, install_dir=install_dir or "$LOCALAPPDATA\\" + name,
                              interface=WIZARD if interactive else SILENT, body="\n".join(body)))
    subprocess.run(["makensis", "-V1", script], check=True)


def run_command(commands):
    """Runs commands[argv[1]](argv[2]) with the work folder argv[2] made first."""
    command, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    try:
        commands[command](work)
    except Exception:
        write_json(os.path.join(work, "host-error.json"), {"error": traceback.format_exc()})
        return 1
    return 0
