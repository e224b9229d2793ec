"""The project's version: from the checkout's CMakeLists.txt when the package
runs from a checkout, from the installed distribution otherwise."""

import re
from importlib import metadata
from pathlib import Path


def project_version() -> str:
    cmake = Path(__file__).resolve().parents[2] / "CMakeLists.txt"
    if cmake.is_file():
        match = re.search(r"project\(kovan VERSION ([0-9.]+)", cmake.read_text())
        if match:
            return match.group(1)
    try:
        return metadata.version("kovan")
    except metadata.PackageNotFoundError:
        return "0+unknown"
