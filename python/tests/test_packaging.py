"""How the package finds its library as a Windows wheel installs it (the
DLL's folder added to the DLL search), and the manylinux tag the wheel is
given, read from a library's symbol versions."""
import re
import subprocess
from pathlib import Path

import pytest

from kovan import _lib

ROOT = Path(__file__).resolve().parents[2]


def test_on_windows_the_dll_folder_is_added_to_the_search_before_loading(tmp_path, monkeypatch):
    dll = tmp_path / "kovan.dll"
    dll.write_bytes(b"")
    calls = []
    monkeypatch.setattr(_lib.os, "name", "nt")
    monkeypatch.setattr(_lib.os, "add_dll_directory", lambda folder: calls.append(("folder", folder)), raising=False)
    monkeypatch.setattr(_lib.ctypes, "CDLL", lambda path: calls.append(("load", path)) or "library")
    monkeypatch.setenv("KOVAN_LIBRARY", str(dll))
    assert _lib._load() == "library"
    assert calls == [("folder", str(tmp_path)), ("load", str(dll))]


def setup_functions():
    """setup.py's definitions, without running its setup() call."""
    source = (ROOT / "setup.py").read_text()
    namespace = {"__name__": "kovan_setup", "__file__": str(ROOT / "setup.py")}
    exec(compile(source.split("\nsetup(")[0], str(ROOT / "setup.py"), "exec"), namespace)
    return namespace


@pytest.mark.skipif(not Path("/usr/bin/readelf").exists(), reason="needs binutils")
def test_the_manylinux_tag_is_the_newest_glibc_version_the_library_needs(tmp_path):
    library = tmp_path / "liblibrary.so"
    source = tmp_path / "library.c"
    source.write_text("#include <string.h>\nint f(char *s) { return (int)strlen(s); }\n")
    subprocess.run(["cc", "-shared", "-fPIC", "-o", str(library), str(source)], check=True)
    versions = subprocess.run(["readelf", "-V", str(library)], check=True, capture_output=True, text=True).stdout
    newest = max(int(v) for v in re.findall(r"GLIBC_2\.(\d+)", versions))
    assert setup_functions()["manylinux_tag"](library, "x86_64") == f"manylinux_2_{newest}_x86_64"
    # A library that needs another beyond glibc's is no manylinux library.
    cxx = tmp_path / "libcxx.so"
    (tmp_path / "cxx.cpp").write_text("#include <string>\nstd::string g() { return std::string(40, 'x'); }\n")
    subprocess.run(["c++", "-shared", "-fPIC", "-o", str(cxx), str(tmp_path / "cxx.cpp")], check=True)
    assert setup_functions()["manylinux_tag"](cxx, "x86_64") is None
