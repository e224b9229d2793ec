using System;
using System.IO;
using NUnit.Framework;

namespace Kovan.Tests
{
    [TestFixture]
    public class WritingTests
    {
        private static Writer MeshWriter(Format format)
        {
            var writer = new Writer(format);
            writer.SetNodes(new double[] { 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1 }, new long[] { 5, 6, 7, 8 });
            writer.SetCells(new byte[] { 10 }, new long[] { 0, 4 }, new long[] { 0, 1, 2, 3 });
            return writer;
        }

        [Test]
        public void WrittenFilesReadBackBitForBit()
        {
            double[] temperature = { 1.5, -2.25, Math.PI, 1e-300 };
            double[] displacement = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
            byte[] file;
            using (var writer = MeshWriter(Format.BinaryDouble))
            {
                writer.BeginStep(1, 0.5);
                writer.AddArray("T", temperature);
                writer.AddArray("U", displacement, 3, new[] { "UX", null, "UZ" });
                file = writer.Finish();
                Assert.Throws<ObjectDisposedException>(() => writer.BeginStep(2, 1.0));
            }
            using (var doc = Document.FromBytes(file))
            {
                CollectionAssert.AreEqual(new long[] { 5, 6, 7, 8 }, doc.NodeIds.ToArray());
                CollectionAssert.AreEqual(new byte[] { 10 }, doc.CellTypes.ToArray());
                Assert.AreEqual(0.5, doc.StepTimes[0]);
                CollectionAssert.AreEqual(temperature, doc.GetStep(0).CopyValues("T"));
                CollectionAssert.AreEqual(displacement, doc.GetStep(0).CopyValues("U"));
            }
            string ascii = System.Text.Encoding.ASCII.GetString(Converter.Rewrite(file, Format.AsciiLong));
            StringAssert.Contains(" -5  UX      ", ascii);
            StringAssert.Contains(" -5  U2      ", ascii);
        }

        [Test]
        public void MisuseRaisesBeforeKovanReadsPastAnArray()
        {
            using (var writer = new Writer(Format.AsciiLong))
            {
                Assert.Throws<InvalidOperationException>(() => writer.AddArray("T", new double[4]));
                writer.SetNodes(new double[15]);
                writer.BeginStep(1, 1.0);
                Assert.Throws<ArgumentException>(() => writer.AddArray("T", new double[2]));
                Assert.Throws<ArgumentException>(() => writer.AddArray("U", new double[15], 3, new[] { "X" }));
                Assert.Throws<ArgumentException>(() => writer.SetCells(new byte[] { 10 }, new long[] { 0 }, new long[4]));
                var refused = Assert.Throws<KovanException>(() => writer.AddArray("TWO WORDS", new double[5]));
                Assert.AreEqual(Status.Argument, refused.Status);
                StringAssert.StartsWith("array name \"TWO WORDS\" is empty or contains whitespace", refused.Detail);
            }
            Assert.Throws<ArgumentOutOfRangeException>(() => new Writer(Format.Keep));
        }

        [Test]
        public void ConversionKeepsEveryValue()
        {
            byte[] original = File.ReadAllBytes(Path.Combine(Oracles.DataDir, "hex8_static.frd"));
            using (var before = Document.FromBytes(original))
            using (var after = Document.FromBytes(Converter.Rewrite(original, Format.BinaryDouble)))
            {
                for (int s = 0; s < before.StepTimes.Count; ++s)
                    foreach (ArrayInfo info in before.GetStep(s).Arrays)
                        CollectionAssert.AreEqual(before.GetStep(s).CopyValues(info.Name), after.GetStep(s).CopyValues(info.Name), info.Name);
            }
            var refused = Assert.Throws<KovanException>(() => Converter.Rewrite(original, (Format)7));
            Assert.AreEqual(Status.Argument, refused.Status);
            Assert.AreEqual("format is none of -1 (keep) and 0 to 3", refused.Detail);
        }
    }
}
