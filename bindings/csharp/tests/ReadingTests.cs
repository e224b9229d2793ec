using System;
using System.Collections.Generic;
using System.IO;
using System.Json;
using System.Runtime.InteropServices;
using NUnit.Framework;

namespace Kovan.Tests
{
    [TestFixture]
    public unsafe class ReadingTests
    {
        private static IEnumerable<string> Files() { return Oracles.DataFiles(); }

        [TestCaseSource("Files")]
        public void EveryFileReadsAsTheToolReportsIt(string file)
        {
            JsonValue summary = Oracles.ToolSummary(file);
            using (var doc = Document.Open(file))
            {
                Assert.AreEqual(Oracles.Integer(summary["points"]), doc.PointCount);
                Assert.AreEqual(Oracles.Integer(summary["cells"]["total"]), doc.CellCount);
                var byType = new SortedDictionary<int, long>();
                foreach (byte type in doc.CellTypes) byType[type] = byType.ContainsKey(type) ? byType[type] + 1 : 1;
                foreach (JsonValue entry in (JsonArray)summary["cells"]["by_type"])
                {
                    Assert.AreEqual(Oracles.Integer(entry["count"]), byType[(int)Oracles.Integer(entry["vtk_type"])]);
                    Assert.AreEqual((string)entry["element"], Descriptions.OfCellType((byte)Oracles.Integer(entry["vtk_type"])));
                }
                Assert.AreEqual(summary["steps"].Count, doc.StepTimes.Count);
                for (int s = 0; s < doc.StepTimes.Count; ++s)
                {
                    var planned = doc.GetPlannedArrays(s);
                    var step = doc.GetStep(s);
                    CheckStep(summary["steps"][s], step);
                    Assert.AreEqual(step.Arrays.Count, planned.Count);
                    for (int i = 0; i < planned.Count; ++i)
                    {
                        Assert.AreEqual(step.Arrays[i].Name, planned[i].Name);
                        CollectionAssert.AreEqual(step.Arrays[i].ComponentNames, planned[i].ComponentNames);
                    }
                }
                var materials = doc.Materials;
                Assert.AreEqual(summary["materials"].Count, materials.Count);
                foreach (JsonValue material in (JsonArray)summary["materials"])
                    Assert.AreEqual((string)material["name"], materials[Oracles.Integer(material["number"])]);
                var header = doc.Header;
                Assert.AreEqual(summary["header"].Count, header.Count);
                for (int i = 0; i < header.Count; ++i)
                {
                    Assert.AreEqual((string)summary["header"][i]["key"], header[i].Key);
                    Assert.AreEqual((string)summary["header"][i]["value"], header[i].Value);
                }
                var diagnostics = doc.Diagnostics;
                Assert.AreEqual(summary["diagnostics"].Count, diagnostics.Count);
                for (int i = 0; i < diagnostics.Count; ++i)
                {
                    Assert.AreEqual(Oracles.Integer(summary["diagnostics"][i]["kind"]), (long)diagnostics[i].Kind);
                    Assert.AreEqual(Oracles.Integer(summary["diagnostics"][i]["line"]), diagnostics[i].Line);
                    Assert.AreEqual(Oracles.Integer(summary["diagnostics"][i]["found"]), diagnostics[i].Found);
                    Assert.AreEqual((string)summary["diagnostics"][i]["description"], diagnostics[i].Description);
                }
            }
        }

        private static void CheckStep(JsonValue expected, Step step)
        {
            Assert.AreEqual(Oracles.Number(expected["time"]), step.Time);
            Assert.AreEqual((string)expected["value_text"], step.Info.ValueText);
            Assert.AreEqual((string)expected["analysis_text"], step.Info.AnalysisText);
            Assert.AreEqual(Oracles.IntegerOrNull(expected["analysis"]), (long?)step.Info.Analysis);
            Assert.AreEqual(Oracles.IntegerOrNull(expected["set_number"]), step.Info.SetNumber);
            Assert.AreEqual(Oracles.IntegerOrNull(expected["step"]), step.Info.StepNumber);
            Assert.AreEqual(Oracles.IntegerOrNull(expected["increment"]), step.Info.Increment);
            Assert.AreEqual(Oracles.IntegerOrNull(expected["mode"]), step.Info.Mode);
            Assert.AreEqual(Oracles.IntegerOrNull(expected["nodal_diameter"]), step.Info.NodalDiameter);
            Assert.AreEqual(Oracles.Integer(expected["file_index"]), step.Info.FileIndex);
            Assert.AreEqual(expected["arrays"].Count, step.Arrays.Count);
            for (int i = 0; i < step.Arrays.Count; ++i)
            {
                JsonValue array = expected["arrays"][i];
                ArrayInfo info = step.Arrays[i];
                Assert.AreEqual((string)array["name"], info.Name);
                Assert.AreEqual(Oracles.Integer(array["components"]), info.ComponentCount);
                Assert.AreEqual((bool)array["derived"], info.Derived);
                Assert.AreEqual(Oracles.Integer(array["points_with_values"]), info.PointsWithValues);
                for (int k = 0; k < info.ComponentCount; ++k) Assert.AreEqual((string)array["component_names"][k], info.ComponentNames[k]);
                ReadOnlySpan<double> values = step.Values(i);
                for (int k = 0; k < info.ComponentCount; ++k)
                {
                    double min = double.NaN, max = double.NaN;
                    for (long p = 0; p < info.TupleCount; ++p)
                    {
                        double v = values[(int)(p * info.ComponentCount + k)];
                        if (double.IsNaN(v)) continue;
                        if (double.IsNaN(min) || v < min) min = v;
                        if (double.IsNaN(max) || v > max) max = v;
                    }
                    Assert.AreEqual(Oracles.Number(array["min"][k]), min, 0.0, info.Name);
                    Assert.AreEqual(Oracles.Number(array["max"][k]), max, 0.0, info.Name);
                }
            }
        }

        [Test]
        public void PointsAreTheDecksNodes()
        {
            var nodes = Oracles.DeckNodes(Path.Combine(Oracles.DataDir, "hex8_static.inp"));
            using (var doc = Document.Open(Path.Combine(Oracles.DataDir, "hex8_static.frd")))
            {
                ReadOnlySpan<double> points = doc.Points;
                ReadOnlySpan<long> ids = doc.NodeIds;
                Assert.AreEqual(nodes.Count, ids.Length);
                int p = 0;
                foreach (var node in nodes)
                {
                    Assert.AreEqual(node.Key, ids[p]);
                    for (int k = 0; k < 3; ++k) Assert.AreEqual(node.Value[k], points[3 * p + k]);
                    ++p;
                }
                Assert.AreEqual(new long[] { 1, 2, 5, 4, 7, 8, 11, 10 }, ToIds(doc, doc.CellConnectivity.Slice(0, 8)));
            }
        }

        private static long[] ToIds(Document doc, ReadOnlySpan<long> points)
        {
            var ids = new long[points.Length];
            for (int i = 0; i < ids.Length; ++i) ids[i] = doc.NodeIds[(int)points[i]];
            return ids;
        }

        [Test]
        public void SpansViewKovansMemoryAndCopiesAreOwnArrays()
        {
            using (var doc = Document.Open(Path.Combine(Oracles.DataDir, "hex8_static.frd")))
            {
                fixed (double* a = &MemoryMarshal.GetReference(doc.Points))
                fixed (double* b = &MemoryMarshal.GetReference(doc.Points))
                fixed (double* c = doc.CopyPoints())
                {
                    Assert.IsTrue(a == b && a != c);
                }
                Step step = doc.GetStep(1);
                Assert.AreSame(step, doc.GetStep(1));
                Assert.AreEqual(1, doc.StepsDecoded);
                fixed (double* a = &MemoryMarshal.GetReference(step.Values("DISP")))
                fixed (double* b = &MemoryMarshal.GetReference(step.Values(step.FindArray("DISP"))))
                {
                    Assert.IsTrue(a == b);
                }
                Assert.AreEqual(-1, step.FindArray("disp"));
            }
        }

        // A running solver's file: the reopened document holds the new step
        // and reads it as the whole file does; a released step decodes again.
        [Test]
        public void AGrownFileReopensAndAReleasedStepDecodesAgain()
        {
            string folder = Path.Combine(Path.GetTempPath(), "kovan-csharp-" + Guid.NewGuid());
            Directory.CreateDirectory(folder);
            try
            {
                string whole = File.ReadAllText(Path.Combine(Oracles.DataDir, "hex8_static.frd"));
                int second = whole.IndexOf("  100CL", whole.IndexOf("  100CL", StringComparison.Ordinal) + 1, StringComparison.Ordinal);
                string path = Path.Combine(folder, "growing.frd");
                File.WriteAllText(path, whole.Substring(0, second));
                using (var doc = Document.Open(path))
                {
                    File.WriteAllText(path, whole);
                    using (var grown = doc.Reopen())
                    using (var full = Document.Open(Path.Combine(Oracles.DataDir, "hex8_static.frd")))
                    {
                        Assert.AreEqual(1, doc.StepTimes.Count);
                        Assert.AreEqual(2, grown.StepTimes.Count);
                        double[] before = grown.GetStep(1).CopyValues("DISP");
                        CollectionAssert.AreEqual(full.GetStep(1).CopyValues("DISP"), before);
                        grown.ReleaseStep(1);
                        CollectionAssert.AreEqual(before, grown.GetStep(1).CopyValues("DISP"));
                    }
                }
            }
            finally
            {
                Directory.Delete(folder, true);
            }
        }

        [Test]
        public void FailuresCarryTheirStatusAndWhereTheTextIs()
        {
            var missing = Assert.Throws<KovanException>(() => Document.Open(Path.Combine(Oracles.DataDir, "missing.frd")));
            Assert.AreEqual(Status.IO, missing.Status);
            Assert.AreEqual("the file could not be opened for reading", missing.Detail);
            var folder = Assert.Throws<KovanException>(() => Document.Open(Oracles.DataDir));
            Assert.AreEqual("the path names a directory, device or pipe, not a regular file", folder.Detail);
            byte[] text = System.Text.Encoding.ASCII.GetBytes(
                "    2C\n -1 1 0 0 0\n -1 2 1 0 0\n -3\n  100CL 1 1.0 2 0 1\n -4 S 6 1\n -1 1 1 2 3 4 5 6\n -1 2 1 2\n -3\n");
            using (var doc = Document.FromBytes(text))
            {
                var components = Assert.Throws<KovanException>(() => doc.GetStep(0));
                Assert.AreEqual(Status.Components, components.Status);
                Assert.AreEqual("array 'S': node 2 has 2 components, expected 6", components.Detail);
                Assert.Throws<ArgumentOutOfRangeException>(() => doc.GetStep(1));
                doc.Dispose();
                Assert.Throws<ObjectDisposedException>(() => { var n = doc.PointCount; });
            }
        }

        // two_materials.frd holds results of the node set OUTER only.
        [Test]
        public void PointsWithoutAValueReadNaNOnRequest()
        {
            string file = Path.Combine(Oracles.DataDir, "two_materials.frd");
            using (var doc = Document.Open(file, new ReadOptions { MissingAsNaN = true }))
            {
                Step step = doc.GetStep(0);
                ArrayInfo disp = step.Arrays[step.FindArray("DISP")];
                ReadOnlySpan<double> values = step.Values("DISP");
                long missing = 0;
                for (int p = 0; p < doc.PointCount; ++p) missing += double.IsNaN(values[3 * p]) ? 1 : 0;
                Assert.Greater(missing, 0);
                Assert.AreEqual(doc.PointCount - disp.PointsWithValues, missing);
            }
        }

        [Test]
        public void Utf8PathsOpenTheirFile()
        {
            string folder = Path.Combine(Path.GetTempPath(), "kovan-csharp-" + Guid.NewGuid());
            Directory.CreateDirectory(folder);
            try
            {
                string path = Path.Combine(folder, "Кирилл_中文.frd");
                File.Copy(Path.Combine(Oracles.DataDir, "hex8_static.frd"), path);
                using (var doc = Document.Open(path)) Assert.AreEqual(12, doc.PointCount);
            }
            finally
            {
                Directory.Delete(folder, true);
            }
        }
    }
}
