"""Builds the kovan wheel: the Python package with libkovan, built by CMake,
inside it. `pip install .` or `python3 -m build --wheel`."""

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
        options = ["-DCMAKE_BUILD_TYPE=Release", "-DKOVAN_BUILD_TESTS=OFF", "-DKOVAN_BUILD_TOOLS=OFF",
                   "-DKOVAN_BUILD_EXAMPLES=OFF", "-DKOVAN_BUILD_BENCHMARKS=OFF", "-DKOVAN_BUILD_PARAVIEW=OFF"]
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(cmake_build), *options], check=True)
        subprocess.run(["cmake", "--build", str(cmake_build), "--target", "kovan", "-j", str(os.cpu_count() or 1)],
                       check=True)
        library = (cmake_build / "libkovan.so.3").resolve()
        shutil.copyfile(library, Path(self.build_lib) / "kovan" / "libkovan.so.3")


class WithNativeLibrary(Distribution):
    """Installed as platform-specific, which a native library is."""

    def has_ext_modules(self):
        return True


class PlatformWheel(bdist_wheel):
    """The library is no extension module: any Python 3 on this platform can load it."""

    def get_tag(self):
        return ("py3", "none", super().get_tag()[2])


setup(version=project_version(), distclass=WithNativeLibrary, cmdclass={"build_py": BuildWithLibrary, "bdist_wheel": PlatformWheel},
      # Not build/, which is CMake's build folder in a checkout.
      options={"build": {"build_base": "build-python"}})
