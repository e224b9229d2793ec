using System;
using System.Collections.Generic;

namespace Kovan
{
    /// <summary>One result array of a step.</summary>
    public readonly struct ArrayInfo
    {
        public ArrayInfo(int index, string name, long tupleCount, int componentCount, bool derived)
            : this(index, name, tupleCount, componentCount, derived, new string[0], 0)
        {
        }

        public ArrayInfo(int index, string name, long tupleCount, int componentCount, bool derived,
                         IReadOnlyList<string> componentNames, long pointsWithValues)
        {
            Index = index; Name = name; TupleCount = tupleCount; ComponentCount = componentCount; Derived = derived;
            ComponentNames = componentNames; PointsWithValues = pointsWithValues;
        }
        /// <summary>The components' names as the file gives them ("COPEN", "SXX"), or kovan's.</summary>
        public IReadOnlyList<string> ComponentNames { get; }
        /// <summary>Points the file gives a value; the others read 0, or NaN with ReadOptions.MissingAsNaN.</summary>
        public long PointsWithValues { get; }
        /// <summary>Position in the step's array list.</summary>
        public int Index { get; }
        public string Name { get; }
        /// <summary>Always the document's point count.</summary>
        public long TupleCount { get; }
        public int ComponentCount { get; }
        /// <summary>Computed by kovan (von Mises, principal values), not read from the file.</summary>
        public bool Derived { get; }
    }

    /// <summary>How a document is read.</summary>
    public sealed class ReadOptions
    {
        /// <summary>1 (default) turns wedges to VTK's orientation; 0 keeps FRD's node order.</summary>
        public int WedgeOrder { get; set; } = 1;
        /// <summary>Points a result block gives no value (output for a node set) read NaN instead of 0.</summary>
        public bool MissingAsNaN { get; set; }
        /// <summary>Steps in the order the file names them, not by time.</summary>
        public bool FileOrder { get; set; }
    }

    /// <summary>What the file says of a step; null where it says nothing.</summary>
    public sealed class StepInfo
    {
        internal StepInfo(StepInfoRecord r)
        {
            Value = r.Value;
            FileIndex = (long)r.FileIndex;
            SetNumber = Stated(r, 1, r.SetNumber);
            DataSet = Stated(r, 2, r.DataSet);
            Increment = Stated(r, 2, r.Increment);
            StepNumber = Stated(r, 2, r.Step);
            Mode = Stated(r, 4, r.Mode);
            NodalDiameter = Stated(r, 8, r.NodalDiameter);
            GeneralisedMass = (r.Flags & 16) != 0 ? r.GeneralisedMass : (double?)null;
            GeneralisedStiffness = (r.Flags & 32) != 0 ? r.GeneralisedStiffness : (double?)null;
            Analysis = r.Analysis >= 0 ? r.Analysis : (int?)null;
            AnalysisText = Utf8.Read(r.AnalysisText) ?? "";
            ValueText = Utf8.Read(r.ValueText) ?? "";
        }

        private static long? Stated(StepInfoRecord r, uint flag, long value) { return (r.Flags & flag) != 0 ? value : (long?)null; }

        /// <summary>The time, frequency or factor, as StepTimes has it.</summary>
        public double Value { get; }
        /// <summary>The value as the file writes it.</summary>
        public string ValueText { get; }
        /// <summary>The step's place among the steps in file order.</summary>
        public long FileIndex { get; }
        public long? SetNumber { get; }
        /// <summary>"1PSTEP": the solver's count of data sets, the increment and the step.</summary>
        public long? DataSet { get; }
        public long? Increment { get; }
        public long? StepNumber { get; }
        /// <summary>0 static, 1 time step, 2 frequency, 3 load step, 4 user.</summary>
        public int? Analysis { get; }
        /// <summary>"MODAL", or "".</summary>
        public string AnalysisText { get; }
        public long? Mode { get; }
        /// <summary>The nodal diameter of a cyclic model (CalculiX writes -1 for none).</summary>
        public long? NodalDiameter { get; }
        public double? GeneralisedMass { get; }
        public double? GeneralisedStiffness { get; }
    }

    public enum DiagnosticKind { SurplusNodes = 0, MissingNodes = 1, UnknownType = 2, IncompleteBlock = 3, NotFrd = 4 }

    /// <summary>A problem kovan noticed while reading: a malformed element, a
    /// block the end of the file cuts off (a file still being written), or a
    /// text that is not an FRD file.</summary>
    public readonly struct Diagnostic
    {
        internal Diagnostic(DiagnosticRecord r)
        {
            Kind = (DiagnosticKind)r.Kind; ElementType = r.ElementType; Line = r.Line; Expected = r.Expected; Found = r.Found;
        }
        public DiagnosticKind Kind { get; }
        public int ElementType { get; }
        public long Line { get; }
        public long Expected { get; }
        public long Found { get; }
        /// <summary>What the kind means, in kovan's words.</summary>
        public string Description { get { return Descriptions.OfDiagnostic(Kind); } }
    }

    /// <summary>kovan's texts for what it hands out, the same in every program that shows them.</summary>
    public static class Descriptions
    {
        /// <summary>"8-node hexahedron (CalculiX type 1)"; "" for a type kovan does not make.</summary>
        public static string OfCellType(byte vtkType) { return Utf8.Read(Native.kovan_cell_type_description(vtkType)) ?? ""; }
        /// <summary>"element of an unknown type, dropped"; "" for another value.</summary>
        public static string OfDiagnostic(DiagnosticKind kind) { return Utf8.Read(Native.kovan_diagnostic_description((int)kind)) ?? ""; }
    }

    /// <summary>An open FRD file or text: its mesh, its steps and their arrays.
    /// Spans it hands out are views of kovan's memory, valid until the document
    /// is disposed (a step's, until the step is released); the Copy methods
    /// give arrays of one's own.</summary>
    public sealed unsafe class Document : IDisposable
    {
        private readonly DocumentHandle handle;
        private readonly Dictionary<int, Step> steps = new Dictionary<int, Step>();

        private Document(DocumentHandle handle)
        {
            this.handle = handle;
            var times = new double[(int)Native.kovan_n_steps(handle)];
            for (int i = 0; i < times.Length; ++i) KovanException.Check(Native.kovan_step_time(handle, (ulong)i, out times[i]));
            StepTimes = times;
        }

        /// <summary>Opens the FRD file at path. wedgeOrder 1 (default) turns
        /// wedges to VTK's orientation; 0 keeps FRD's node order.</summary>
        public static Document Open(string path, int wedgeOrder = 1)
        {
            return Open(path, new ReadOptions { WedgeOrder = wedgeOrder });
        }

        /// <summary>Opens the FRD file at path, read as options say.</summary>
        public static Document Open(string path, ReadOptions options)
        {
            Library.EnsureCompatible();
            var record = Options(options);
            DocumentHandle doc;
            KovanException.Check(Native.kovan_open_ex(Utf8.Terminated(path, "path"), ref record, out doc));
            return new Document(doc);
        }

        /// <summary>Opens FRD text held in memory; kovan copies the bytes.</summary>
        public static Document FromBytes(ReadOnlySpan<byte> data, int wedgeOrder = 1)
        {
            return FromBytes(data, new ReadOptions { WedgeOrder = wedgeOrder });
        }

        /// <summary>Opens FRD text held in memory, read as options say.</summary>
        public static Document FromBytes(ReadOnlySpan<byte> data, ReadOptions options)
        {
            Library.EnsureCompatible();
            var record = Options(options);
            DocumentHandle doc;
            fixed (byte* bytes = &System.Runtime.InteropServices.MemoryMarshal.GetReference(data))
            {
                KovanException.Check(Native.kovan_open_memory(bytes, (ulong)data.Length, ref record, out doc));
            }
            return new Document(doc);
        }

        /// <summary>A new document of what the file holds now, such as a
        /// running solver's grown file: only what was appended is read, and
        /// the mesh is shared. This document stays as it was.</summary>
        public Document Reopen()
        {
            DocumentHandle doc;
            KovanException.Check(Native.kovan_reopen(Handle, out doc));
            return new Document(doc);
        }

        /// <summary>Lets step index go: kovan frees its arrays, so every span
        /// of them handed out is invalid from now on; the next GetStep decodes
        /// it again.</summary>
        public void ReleaseStep(int index)
        {
            if (index < 0 || index >= StepTimes.Count)
                throw new ArgumentOutOfRangeException(nameof(index), "step " + index + " of " + StepTimes.Count);
            steps.Remove(index);
            KovanException.Check(Native.kovan_release_step(Handle, (ulong)index));
        }

        private static OpenOptions Options(ReadOptions options)
        {
            if (options == null) throw new ArgumentNullException(nameof(options));
            if (options.WedgeOrder != 0 && options.WedgeOrder != 1)
                throw new ArgumentOutOfRangeException(nameof(options), "WedgeOrder is 0 or 1");
            uint flags = (options.MissingAsNaN ? 1u : 0u) | (options.FileOrder ? 2u : 0u);  // KOVAN_OPEN_*
            return new OpenOptions { WedgeOrder = (uint)options.WedgeOrder, Reserved = flags };
        }

        public void Dispose() { handle.Dispose(); }

        internal DocumentHandle Handle
        {
            get
            {
                if (handle.IsClosed) throw new ObjectDisposedException(nameof(Document));
                return handle;
            }
        }

        public long PointCount { get { return (long)Native.kovan_n_points(Handle); } }
        public long CellCount { get { return (long)Native.kovan_n_cells(Handle); } }

        /// <summary>x, y, z per point, points in ascending node number order.</summary>
        public ReadOnlySpan<double> Points { get { return new ReadOnlySpan<double>(Native.kovan_points(Handle), checked((int)(3 * PointCount))); } }
        /// <summary>FRD node numbers, ascending.</summary>
        public ReadOnlySpan<long> NodeIds { get { return new ReadOnlySpan<long>(Native.kovan_node_ids(Handle), checked((int)PointCount)); } }
        /// <summary>VTK cell type per cell.</summary>
        public ReadOnlySpan<byte> CellTypes { get { return new ReadOnlySpan<byte>(Native.kovan_cell_types(Handle), checked((int)CellCount)); } }
        /// <summary>CellCount + 1 running ends into the connectivity, from 0.</summary>
        public ReadOnlySpan<long> CellOffsets { get { return new ReadOnlySpan<long>(Native.kovan_cell_offsets(Handle), checked((int)CellCount + 1)); } }
        /// <summary>Point indices in VTK node order, cell by cell.</summary>
        public ReadOnlySpan<long> CellConnectivity { get { return new ReadOnlySpan<long>(Native.kovan_cell_connectivity(Handle), checked((int)CellOffsets[(int)CellCount])); } }
        /// <summary>FRD element number per cell, in file order.</summary>
        public ReadOnlySpan<long> CellIds { get { return new ReadOnlySpan<long>(Native.kovan_cell_ids(Handle), checked((int)CellCount)); } }

        /// <summary>The group number each element record states, per cell.</summary>
        public ReadOnlySpan<int> CellGroups { get { return new ReadOnlySpan<int>(Native.kovan_cell_groups(Handle), checked((int)CellCount)); } }
        /// <summary>The material number each element record states, per cell (Materials names them).</summary>
        public ReadOnlySpan<int> CellMaterials { get { return new ReadOnlySpan<int>(Native.kovan_cell_materials(Handle), checked((int)CellCount)); } }

        /// <summary>The materials the file names, number to name.</summary>
        public IReadOnlyDictionary<long, string> Materials
        {
            get
            {
                var materials = new Dictionary<long, string>();
                for (ulong i = 0, n = Native.kovan_n_materials(Handle); i < n; ++i)
                {
                    long number;
                    IntPtr name;
                    KovanException.Check(Native.kovan_material_at(Handle, i, out number, out name));
                    materials[number] = Utf8.Read(name);
                }
                return materials;
            }
        }

        /// <summary>The header records ("1U": DATE, PGM, VERSION, MAT, ...) in
        /// file order; the model's heading has the key "".</summary>
        public IReadOnlyList<KeyValuePair<string, string>> Header
        {
            get
            {
                var records = new List<KeyValuePair<string, string>>();
                for (ulong i = 0, n = Native.kovan_n_header_records(Handle); i < n; ++i)
                {
                    IntPtr key, value;
                    KovanException.Check(Native.kovan_header_record_at(Handle, i, out key, out value));
                    records.Add(new KeyValuePair<string, string>(Utf8.Read(key), Utf8.Read(value)));
                }
                return records;
            }
        }

        /// <summary>The arrays step index will have, told without decoding it
        /// (a component count of 0 where the file states none); PointsWithValues
        /// is 0 until the step is decoded.</summary>
        public IReadOnlyList<ArrayInfo> GetPlannedArrays(int index)
        {
            if (index < 0 || index >= StepTimes.Count)
                throw new ArgumentOutOfRangeException(nameof(index), "step " + index + " of " + StepTimes.Count);
            ulong count;
            KovanException.Check(Native.kovan_n_planned_arrays(Handle, (ulong)index, out count));
            var arrays = new ArrayInfo[count];
            for (int i = 0; i < arrays.Length; ++i)
            {
                ArrayInfoRecord r;
                KovanException.Check(Native.kovan_planned_array_at(Handle, (ulong)index, (ulong)i, out r));
                var names = new string[r.ComponentCount];
                for (uint k = 0; k < r.ComponentCount; ++k)
                {
                    IntPtr name;
                    KovanException.Check(Native.kovan_planned_component_name(Handle, (ulong)index, (ulong)i, k, out name));
                    names[k] = Utf8.Read(name);
                }
                arrays[i] = new ArrayInfo(i, Utf8.Read(r.Name), (long)r.TupleCount, (int)r.ComponentCount, r.Derived != 0, names, 0);
            }
            return arrays;
        }

        /// <summary>What the file says of step index, without decoding it.</summary>
        public StepInfo GetStepInfo(int index)
        {
            if (index < 0 || index >= StepTimes.Count)
                throw new ArgumentOutOfRangeException(nameof(index), "step " + index + " of " + StepTimes.Count);
            StepInfoRecord record;
            KovanException.Check(Native.kovan_step_info_at(Handle, (ulong)index, out record));
            return new StepInfo(record);
        }

        public double[] CopyPoints() { return Points.ToArray(); }

        /// <summary>Step times in ascending order; steps are numbered by position.</summary>
        public IReadOnlyList<double> StepTimes { get; }

        /// <summary>Steps decoded so far.</summary>
        public long StepsDecoded { get { return (long)Native.kovan_steps_parsed(Handle); } }

        public IReadOnlyList<Diagnostic> Diagnostics
        {
            get
            {
                var list = new List<Diagnostic>();
                ulong n = Native.kovan_n_diagnostics(Handle);
                for (ulong i = 0; i < n; ++i)
                {
                    DiagnosticRecord record;
                    KovanException.Check(Native.kovan_diagnostic_at(Handle, i, out record));
                    list.Add(new Diagnostic(record));
                }
                return list;
            }
        }

        /// <summary>The arrays of step index, decoded on first use.</summary>
        public Step GetStep(int index)
        {
            if (index < 0 || index >= StepTimes.Count)
                throw new ArgumentOutOfRangeException(nameof(index), "step " + index + " of " + StepTimes.Count);
            Step step;
            if (!steps.TryGetValue(index, out step))
            {
                step = new Step(this, index);
                steps[index] = step;
            }
            return step;
        }
    }

    /// <summary>The arrays of one step.</summary>
    public sealed unsafe class Step
    {
        private readonly Document document;

        internal Step(Document document, int index)
        {
            this.document = document;
            Index = index;
            Time = document.StepTimes[index];
            ulong count;
            KovanException.Check(Native.kovan_n_arrays(document.Handle, (ulong)index, out count));
            var records = new ArrayInfoRecord[count];
            fixed (ArrayInfoRecord* first = records)
            {
                KovanException.Check(Native.kovan_array_info_range(document.Handle, (ulong)index, 0, count, first));
            }
            var arrays = new ArrayInfo[count];
            for (int i = 0; i < arrays.Length; ++i)
            {
                var r = records[i];
                var names = new string[r.ComponentCount];
                for (uint k = 0; k < r.ComponentCount; ++k)
                {
                    IntPtr name;
                    KovanException.Check(Native.kovan_array_component_name(document.Handle, (ulong)index, (ulong)i, k, out name));
                    names[k] = Utf8.Read(name);
                }
                ulong points;
                KovanException.Check(Native.kovan_array_points_with_values(document.Handle, (ulong)index, (ulong)i, out points));
                arrays[i] = new ArrayInfo(i, Utf8.Read(r.Name), (long)r.TupleCount, (int)r.ComponentCount, r.Derived != 0, names, (long)points);
            }
            Arrays = arrays;
            Info = document.GetStepInfo(index);
        }

        /// <summary>What the file says of the step: analysis, mode, nodal diameter, ...</summary>
        public StepInfo Info { get; }

        public int Index { get; }
        public double Time { get; }
        public IReadOnlyList<ArrayInfo> Arrays { get; }

        /// <summary>Position of the first array of this name (exact, case-sensitive), or -1.</summary>
        public int FindArray(string name)
        {
            long found = Native.kovan_find_array(document.Handle, (ulong)Index, Utf8.Terminated(name, nameof(name)));
            return (int)found;
        }

        /// <summary>The values of array index: TupleCount * ComponentCount
        /// doubles, point-major, viewed in kovan's memory.</summary>
        public ReadOnlySpan<double> Values(int index)
        {
            if (index < 0 || index >= Arrays.Count) throw new ArgumentOutOfRangeException(nameof(index));
            double* values;
            KovanException.Check(Native.kovan_array_data(document.Handle, (ulong)Index, (ulong)index, out values));
            var info = Arrays[index];
            return new ReadOnlySpan<double>(values, checked((int)(info.TupleCount * info.ComponentCount)));
        }

        /// <summary>The values of the first array of this name.</summary>
        public ReadOnlySpan<double> Values(string name)
        {
            int index = FindArray(name);
            if (index < 0) throw new KeyNotFoundException("step " + Index + " has no array " + name);
            return Values(index);
        }

        public double[] CopyValues(string name) { return Values(name).ToArray(); }
    }
}
