using System;
using System.Runtime.InteropServices;

namespace Kovan
{
    /// <summary>Builds an FRD file from a VTK-style mesh and per-point arrays:
    /// SetNodes, SetCells, then per step BeginStep and AddArray, and Finish.
    /// One thread at a time.</summary>
    public sealed unsafe class Writer : IDisposable
    {
        private readonly WriterHandle handle;
        private long pointCount = -1;
        private bool stepBegun;

        public Writer(Format format)
        {
            Library.EnsureCompatible();
            if (format < Format.AsciiShort || format > Format.BinaryDouble)
                throw new ArgumentOutOfRangeException(nameof(format), "a writer writes one of the four encodings");
            handle = Native.kovan_writer_new((uint)format);
            if (handle.IsInvalid) throw new OutOfMemoryException("the writer could not be created");
        }

        public void Dispose() { handle.Dispose(); }

        private WriterHandle Live
        {
            get
            {
                if (handle.IsClosed) throw new ObjectDisposedException(nameof(Writer), "the writer is finished or disposed");
                return handle;
            }
        }

        /// <summary>x, y, z per point; nodeIds one per point, or null for 1, 2, 3, ...</summary>
        public void SetNodes(double[] points, long[] nodeIds = null)
        {
            if (points == null) throw new ArgumentNullException(nameof(points));
            if (points.Length % 3 != 0) throw new ArgumentException("points holds x, y, z per point", nameof(points));
            long n = points.Length / 3;
            if (nodeIds != null && nodeIds.Length != n) throw new ArgumentException("nodeIds holds one number per point", nameof(nodeIds));
            fixed (double* p = points)
            fixed (long* ids = nodeIds)
            {
                KovanException.Check(Native.kovan_writer_set_nodes(Live, (ulong)n, ids, p));
            }
            pointCount = n;
        }

        /// <summary>VTK cell types, CellCount + 1 offsets into the connectivity
        /// (indices of the points of SetNodes), element numbers or null.</summary>
        public void SetCells(byte[] cellTypes, long[] offsets, long[] connectivity, long[] cellIds = null, int wedgeOrder = 1)
        {
            if (cellTypes == null || offsets == null || connectivity == null) throw new ArgumentNullException(cellTypes == null ? nameof(cellTypes) : offsets == null ? nameof(offsets) : nameof(connectivity));
            if (offsets.Length != cellTypes.Length + 1) throw new ArgumentException("offsets holds one entry more than there are cells", nameof(offsets));
            foreach (long offset in offsets)
                if (offset < 0 || offset > connectivity.Length) throw new ArgumentException("offsets point outside the connectivity", nameof(offsets));
            if (cellIds != null && cellIds.Length != cellTypes.Length) throw new ArgumentException("cellIds holds one number per cell", nameof(cellIds));
            if (wedgeOrder != 0 && wedgeOrder != 1) throw new ArgumentOutOfRangeException(nameof(wedgeOrder), "wedgeOrder is 0 or 1");
            fixed (byte* types = cellTypes)
            fixed (long* o = offsets)
            fixed (long* c = connectivity)
            fixed (long* ids = cellIds)
            {
                KovanException.Check(Native.kovan_writer_set_cells(Live, (ulong)cellTypes.Length, types, o, c, ids, (uint)wedgeOrder));
            }
        }

        public void BeginStep(int stepNumber, double time)
        {
            KovanException.Check(Native.kovan_writer_begin_step(Live, stepNumber, time));
            stepBegun = true;
        }

        /// <summary>One array of componentCount values per point of SetNodes,
        /// point-major; componentNames null or one per component (null entries
        /// get generated names).</summary>
        public void AddArray(string name, double[] values, int componentCount = 1, string[] componentNames = null, uint typeCode = 0)
        {
            byte[] encodedName = Utf8.Terminated(name, nameof(name));
            if (values == null) throw new ArgumentNullException(nameof(values));
            if (pointCount < 0) throw new InvalidOperationException("SetNodes comes before AddArray");
            if (!stepBegun) throw new InvalidOperationException("BeginStep comes before AddArray");
            if (componentCount < 1) throw new ArgumentOutOfRangeException(nameof(componentCount), "an array has at least one component");
            if (values.LongLength != pointCount * componentCount)
                throw new ArgumentException("values must hold " + pointCount + " points x " + componentCount + " components", nameof(values));
            if (componentNames != null && componentNames.Length != componentCount)
                throw new ArgumentException("componentNames must hold one name per component", nameof(componentNames));
            var names = new byte[componentNames == null ? 0 : componentCount][];
            for (int k = 0; k < names.Length; ++k)
                names[k] = componentNames[k] == null ? null : Utf8.Terminated(componentNames[k], nameof(componentNames));
            var pins = new GCHandle[names.Length];
            var pointers = new IntPtr[names.Length];
            try
            {
                for (int k = 0; k < names.Length; ++k)
                {
                    if (names[k] == null) continue;
                    pins[k] = GCHandle.Alloc(names[k], GCHandleType.Pinned);
                    pointers[k] = pins[k].AddrOfPinnedObject();
                }
                fixed (double* v = values)
                fixed (IntPtr* n = pointers)
                {
                    KovanException.Check(Native.kovan_writer_add_array(Live, encodedName, (uint)componentCount,
                                                                       componentNames == null ? null : n, typeCode, v));
                }
            }
            finally
            {
                foreach (var pin in pins) if (pin.IsAllocated) pin.Free();
            }
        }

        /// <summary>The whole file; the writer takes nothing more.</summary>
        public byte[] Finish()
        {
            IntPtr output;
            ulong size;
            int status = Native.kovan_writer_finish(Live, out output, out size);
            handle.Dispose();
            KovanException.Check(status);
            return Converter.TakeBuffer(output, size);
        }
    }
}
