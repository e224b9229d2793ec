"""Builds the kovan wheel: the Python package with libkovan, built by CMake,
inside it. `pip install .` or `python3 -m build --wheel`.

On Linux the library links the C++ runtime in, so that it needs the C
library alone, and the wheel is tagged manylinux for the newest glibc
symbol version it uses. KOVAN_WHEEL_DLL=path/to/kovan.dll (built with the
project's MinGW toolchain file) makes the Windows wheel (win_amd64) instead."""

import os
import re
import shutil
import subprocess
from pathlib import Path

from setuptools import Distribution, setup
from setuptools.command.build_py import build_py
from wheel.bdist_wheel import bdist_wheel

ROOT = Path(__file__).resolve().parent


def project_version():
    return re.search(r"project\(kovan VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)


class BuildWithLibrary(build_py):
    """Builds the shared library alone and places it beside the package's
    modules, where the package looks first."""

    def run(self):
        super().run()
        cmake_build = Path(self.get_finalized_command("build").build_temp) / "cmake"
        package = Path(self.build_lib) / "kovan"
        for earlier in ("kovan.dll", "libkovan.so.3"):  # of a wheel built before for the other platform
            (package / earlier).unlink(missing_ok=True)
        if os.environ.get("KOVAN_WHEEL_DLL"):
            shutil.copyfile(os.environ["KOVAN_WHEEL_DLL"], package / "kovan.dll")
            return
        options = ["-DCMAKE_BUILD_TYPE=Release", "-DKOVAN_BUILD_TESTS=OFF", "-DKOVAN_BUILD_TOOLS=OFF",
                   "-DKOVAN_BUILD_EXAMPLES=OFF", "-DKOVAN_BUILD_BENCHMARKS=OFF", "-DKOVAN_BUILD_PARAVIEW=OFF",
                   "-DKOVAN_STATIC_CXX_RUNTIME=ON"]
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(cmake_build), *options], check=True)
        subprocess.run(["cmake", "--build", str(cmake_build), "--target", "kovan", "-j", str(os.cpu_count() or 1)],
                       check=True)
        library = (cmake_build / "libkovan.so.3").resolve()
        shutil.copyfile(library, Path(self.build_lib) / "kovan" / "libkovan.so.3")


class WithNativeLibrary(Distribution):
    """Installed as platform-specific, which a native library is."""

    def has_ext_modules(self):
        return True


# Libraries every manylinux system has (PEP 600), which may be needed.
MANYLINUX_LIBRARIES = {"libc.so.6", "libm.so.6", "libpthread.so.0", "libdl.so.2", "librt.so.1",
                       "ld-linux-x86-64.so.2", "ld-linux-aarch64.so.1"}


def manylinux_tag(library, machine):
    """manylinux_2_N_MACHINE for the newest GLIBC_2.N the library's symbols
    need, or None when it needs a library beyond glibc's (or objdump is
    missing)."""
    try:
        dynamic = subprocess.run(["objdump", "-p", str(library)], check=True, capture_output=True, text=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    needed = set(re.findall(r"^\s*NEEDED\s+(\S+)", dynamic, re.MULTILINE))
    if not needed <= MANYLINUX_LIBRARIES:
        return None
    minors = [int(m) for m in re.findall(r"GLIBC_2\.(\d+)", dynamic)]
    return f"manylinux_2_{max(minors, default=17)}_{machine}"


class PlatformWheel(bdist_wheel):
    """The library is no extension module: any Python 3 on this platform can load it."""

    def get_tag(self):
        if os.environ.get("KOVAN_WHEEL_DLL"):
            return ("py3", "none", "win_amd64")
        platform = super().get_tag()[2]
        library = Path(self.bdist_dir) / "kovan" / "libkovan.so.3"
        if platform.startswith("linux_") and library.exists():
            platform = manylinux_tag(library, platform[len("linux_"):]) or platform
        return ("py3", "none", platform)


setup(version=project_version(), distclass=WithNativeLibrary, cmdclass={"build_py": BuildWithLibrary, "bdist_wheel": PlatformWheel},
      # Not build/, which is CMake's build folder in a checkout.
      options={"build": {"build_base": "build-python"}})
