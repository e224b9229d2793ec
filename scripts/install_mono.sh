#!/bin/bash
# Installs Mono (mcs, the C# compiler, and its runtime) and NUnit 2.6's
# console runner, which build and test the C# binding, and Debian's NuGet
# client, which packs and restores the NuGet package.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y --no-install-recommends mono-complete nunit-console nuget
