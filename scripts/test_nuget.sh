#!/bin/bash
# The NuGet package of dist/ (made by scripts/package_all.sh) as a project
# gets it: restored with Debian's nuget client from dist/ into a fresh
# folder, a small program built against it with Mono's mcs and run, with
# the package's Linux library beside it (Mono does not read runtimes/; .NET
# does), and once without it, when it must say which file it looked for.
# Debian has no Windows Mono or .NET, so the Windows DLL is not run under Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -n 's/^project(kovan VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
nuget install Kovan -Version "$version" -Source "$root/dist" -OutputDirectory packages -NonInteractive > nuget.log \
    || { cat nuget.log; exit 1; }
package="packages/Kovan.$version"
for f in lib/netstandard2.1/Kovan.dll runtimes/linux-x64/native/libkovan.so runtimes/win-x64/native/kovan.dll; do
    [ -f "$package/$f" ] || { echo "the package lacks $f"; exit 1; }
done
mkdir app
cat > app/Program.cs <<'CS'
class Program
{
    static int Main(string[] args)
    {
        try
        {
            using (var doc = Kovan.Document.Open(args[0]))
                System.Console.WriteLine("points " + doc.PointCount);
            return 0;
        }
        catch (System.DllNotFoundException e)
        {
            System.Console.WriteLine(e.Message);
            return 2;
        }
    }
}
CS
cp "$package/lib/netstandard2.1/Kovan.dll" app/
mcs -r:app/Kovan.dll -out:app/Program.exe app/Program.cs > /dev/null
sample="$root/examples/data/cantilever.frd"
message="$(cd app && LD_LIBRARY_PATH= mono Program.exe "$sample" || true)"
[[ "$message" == *"libkovan.so was not found"* ]] || { echo "without the library: $message"; exit 1; }
cp "$package/runtimes/linux-x64/native/libkovan.so" app/
got="$(cd app && mono Program.exe "$sample")"
[ "$got" = "points 99" ] || { echo "the program printed: $got"; exit 1; }
file "$package/runtimes/win-x64/native/kovan.dll" | grep -q "PE32+ executable (DLL).*x86-64" \
    || { echo "runtimes/win-x64/native/kovan.dll is no x86-64 DLL"; exit 1; }
echo "NuGet package: Kovan $version restored, built against and run"
