"""Sections of docs/benchmarks.md that one benchmark script owns.

Each script writes its tables between `<!-- begin NAME -->` and
`<!-- end NAME -->`, replacing what it wrote before and leaving the rest of
the file alone; suite.py, which writes the top of the file, keeps them.
"""

from __future__ import annotations

import datetime
import os
import platform
import re
from pathlib import Path

DOCS = Path(__file__).resolve().parent.parent / "docs" / "benchmarks.md"


def machine() -> str:
    """The CPU model and the cores this process may use, with the Python."""
    model = platform.processor() or platform.machine()
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    cores = len(os.sched_getaffinity(0)) if hasattr(os, "sched_getaffinity") else os.cpu_count()
    return f"{model}, {cores} cores usable, Python {platform.python_version()}"


def machine_line() -> str:
    return f"Measured {datetime.date.today()} on {machine()}."


def sections(text: str) -> str:
    """Every owned section of a file's text, in order, or ''."""
    found = re.findall(r"<!-- begin (\S+) -->\n.*?<!-- end \1 -->\n", text, flags=re.S)
    return "".join(
        re.search(rf"<!-- begin {re.escape(name)} -->\n.*?<!-- end {re.escape(name)} -->\n", text, re.S).group(0)
        for name in found
    )


def write_section(name: str, markdown: str, path: Path = DOCS) -> None:
    text = path.read_text(encoding="utf-8") if path.exists() else ""
    block = f"<!-- begin {name} -->\n{markdown.rstrip()}\n<!-- end {name} -->\n"
    pattern = re.compile(rf"<!-- begin {re.escape(name)} -->\n.*?<!-- end {re.escape(name)} -->\n", re.S)
    text = pattern.sub(lambda _: block, text) if pattern.search(text) else text.rstrip() + "\n\n" + block
    path.write_text(text, encoding="utf-8")
