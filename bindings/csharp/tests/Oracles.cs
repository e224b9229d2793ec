// Independent readings the binding is compared with: the kovan tool's JSON
// summary (C++ over the same library, no marshaling) and the solver decks.
using System;
using System.Collections.Generic;
using System.Diagnostics;
using System.Globalization;
using System.IO;
using System.Json;
using System.Text.RegularExpressions;

namespace Kovan.Tests
{
    internal static class Oracles
    {
        internal static string SourceDir { get { return Environment.GetEnvironmentVariable("KOVAN_SOURCE_DIR"); } }
        internal static string DataDir { get { return Path.Combine(SourceDir, "tests", "data"); } }

        internal static IEnumerable<string> DataFiles()
        {
            var files = new List<string>(Directory.GetFiles(Path.Combine(Environment.GetEnvironmentVariable("KOVAN_SOURCE_DIR"), "tests", "data"), "*.frd"));
            files.Sort(StringComparer.Ordinal);
            return files;
        }

        // kovan info --json FILE
        internal static JsonValue ToolSummary(string file)
        {
            var start = new ProcessStartInfo(Environment.GetEnvironmentVariable("KOVAN_TOOL"), "info --json \"" + file + "\"")
            {
                UseShellExecute = false,
                RedirectStandardOutput = true
            };
            using (var process = Process.Start(start))
            {
                string output = process.StandardOutput.ReadToEnd();
                process.WaitForExit();
                if (process.ExitCode != 0) throw new InvalidOperationException("kovan info failed on " + file);
                // Mono's JSON reader rounds some numbers to a neighbouring
                // double: numbers are read as texts and parsed exactly.
                // Texts are passed over whole ("18:08:37" is no number).
                return JsonValue.Parse(Regex.Replace(output, @"(""(?:[^""\\]|\\.)*"")|(?<=[:\[,]\s*)(-?[0-9][0-9.eE+-]*)",
                                                     m => m.Groups[1].Success ? m.Value : "\"" + m.Value + "\""));
            }
        }

        internal static double Number(JsonValue value)
        {
            return value == null ? double.NaN : double.Parse((string)value, CultureInfo.InvariantCulture);
        }

        internal static long Integer(JsonValue value) { return long.Parse((string)value, CultureInfo.InvariantCulture); }

        internal static long? IntegerOrNull(JsonValue value) { return value == null ? (long?)null : Integer(value); }

        // The *NODE lines of a CalculiX deck: node number and coordinates.
        internal static SortedDictionary<long, double[]> DeckNodes(string deck)
        {
            var nodes = new SortedDictionary<long, double[]>();
            bool inNodes = false;
            foreach (string line in File.ReadAllLines(deck))
            {
                if (line.StartsWith("*")) { inNodes = line.ToUpperInvariant().StartsWith("*NODE") && !line.ToUpperInvariant().StartsWith("*NODE "); continue; }
                if (!inNodes || line.Trim().Length == 0) continue;
                string[] fields = line.Split(',');
                nodes[long.Parse(fields[0], CultureInfo.InvariantCulture)] = new[]
                {
                    double.Parse(fields[1], CultureInfo.InvariantCulture), double.Parse(fields[2], CultureInfo.InvariantCulture),
                    double.Parse(fields[3], CultureInfo.InvariantCulture)
                };
            }
            return nodes;
        }
    }
}
