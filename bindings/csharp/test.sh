#!/bin/bash
# Builds the C# binding and its NUnit 2.6 tests with Mono's mcs and runs them
# with nunit-console (Debian's mono-complete and nunit-console) against
# libkovan.so: KOVAN_LIBRARY, or that of the build folder given (default
# build/), whose kovan tool the tests compare the binding with.
# Usage: bindings/csharp/test.sh [BUILD]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
library="$(readlink -f "${KOVAN_LIBRARY:-$build/libkovan.so}")"
out="$build/csharp"
mkdir -p "$out"
nunit="$(ls /usr/lib/mono/gac/nunit.framework/*/nunit.framework.dll | head -1)"

mcs -langversion:7.2 -unsafe -target:library -out:"$out/Kovan.dll" "$here"/src/*.cs
# Mono finds DllImport("kovan") through a map beside the assembly.
cat > "$out/Kovan.dll.config" <<CONFIG
<configuration>
  <dllmap dll="kovan" target="$library"/>
</configuration>
CONFIG
mcs -langversion:7.2 -unsafe -target:library -out:"$out/Kovan.Tests.dll" -r:"$out/Kovan.dll" -r:"$nunit" \
    -r:System.Json "$here"/tests/*.cs
cd "$out"
KOVAN_SOURCE_DIR="$root" KOVAN_TOOL="$build/tools/cli/kovan" nunit-console -nologo -noshadow Kovan.Tests.dll

# Without the native library the first call says which file it looked for.
missing="$out/missing"
rm -rf "$missing" && mkdir -p "$missing"
cp "$out/Kovan.dll" "$missing/"
cat > "$missing/Program.cs" <<'CS'
class Program
{
    static int Main(string[] args)
    {
        try { Kovan.Document.Open(args[0]).Dispose(); return 1; }
        catch (System.DllNotFoundException e) { System.Console.WriteLine(e.Message); return 0; }
    }
}
CS
mcs -r:"$missing/Kovan.dll" -out:"$missing/Program.exe" "$missing/Program.cs" > /dev/null
message="$(cd "$missing" && LD_LIBRARY_PATH= mono Program.exe "$root/examples/data/cantilever.frd")"
[[ "$message" == *"libkovan.so was not found"*"beside the program"* ]] || { echo "without the library: $message"; exit 1; }
echo "without the library: $message"
