// The C interface of kovan, as declared in include/kovan.h. Texts go in as
// NUL-terminated UTF-8 byte arrays and come out as pointers that Utf8 reads.
using System;
using System.Runtime.InteropServices;

namespace Kovan
{
    internal static unsafe class Native
    {
        // "kovan" is kovan.dll beside the program on Windows; elsewhere the
        // runtime looks for libkovan.so (Mono: a dllmap may name the file).
        private const string Library = "kovan";

        [DllImport(Library)] internal static extern int kovan_abi_version();
        [DllImport(Library)] internal static extern ulong kovan_struct_size(int kind);
        [DllImport(Library)] internal static extern IntPtr kovan_status_message(int status);
        [DllImport(Library)] internal static extern IntPtr kovan_last_error(DocumentHandle doc);
        [DllImport(Library, EntryPoint = "kovan_last_error")] internal static extern IntPtr kovan_thread_error(IntPtr nullDocument);
        [DllImport(Library)] internal static extern IntPtr kovan_cell_type_description(int vtkType);
        [DllImport(Library)] internal static extern IntPtr kovan_diagnostic_description(int kind);

        [DllImport(Library)] internal static extern int kovan_open_ex(byte[] path, ref OpenOptions options, out DocumentHandle doc);
        [DllImport(Library)] internal static extern int kovan_open_memory(byte* data, ulong size, ref OpenOptions options, out DocumentHandle doc);
        [DllImport(Library)] internal static extern int kovan_reopen(DocumentHandle doc, out DocumentHandle reopened);
        [DllImport(Library)] internal static extern void kovan_close(IntPtr doc);

        [DllImport(Library)] internal static extern ulong kovan_n_points(DocumentHandle doc);
        [DllImport(Library)] internal static extern double* kovan_points(DocumentHandle doc);
        [DllImport(Library)] internal static extern long* kovan_node_ids(DocumentHandle doc);
        [DllImport(Library)] internal static extern ulong kovan_n_cells(DocumentHandle doc);
        [DllImport(Library)] internal static extern byte* kovan_cell_types(DocumentHandle doc);
        [DllImport(Library)] internal static extern long* kovan_cell_offsets(DocumentHandle doc);
        [DllImport(Library)] internal static extern long* kovan_cell_connectivity(DocumentHandle doc);
        [DllImport(Library)] internal static extern long* kovan_cell_ids(DocumentHandle doc);
        [DllImport(Library)] internal static extern ulong kovan_n_steps(DocumentHandle doc);
        [DllImport(Library)] internal static extern int kovan_step_time(DocumentHandle doc, ulong step, out double time);
        [DllImport(Library)] internal static extern ulong kovan_steps_parsed(DocumentHandle doc);
        [DllImport(Library)] internal static extern int kovan_step_info_at(DocumentHandle doc, ulong step, out StepInfoRecord record);
        [DllImport(Library)] internal static extern int* kovan_cell_groups(DocumentHandle doc);
        [DllImport(Library)] internal static extern int* kovan_cell_materials(DocumentHandle doc);
        [DllImport(Library)] internal static extern ulong kovan_n_materials(DocumentHandle doc);
        [DllImport(Library)] internal static extern int kovan_material_at(DocumentHandle doc, ulong index, out long number, out IntPtr name);
        [DllImport(Library)] internal static extern ulong kovan_n_header_records(DocumentHandle doc);
        [DllImport(Library)] internal static extern int kovan_header_record_at(DocumentHandle doc, ulong index, out IntPtr key, out IntPtr value);
        [DllImport(Library)] internal static extern ulong kovan_n_diagnostics(DocumentHandle doc);
        [DllImport(Library)] internal static extern int kovan_diagnostic_at(DocumentHandle doc, ulong index, out DiagnosticRecord record);

        [DllImport(Library)] internal static extern int kovan_n_arrays(DocumentHandle doc, ulong step, out ulong count);
        [DllImport(Library)] internal static extern int kovan_array_info_at(DocumentHandle doc, ulong step, ulong index, out ArrayInfoRecord record);
        [DllImport(Library)] internal static extern int kovan_array_info_range(DocumentHandle doc, ulong step, ulong first, ulong count, ArrayInfoRecord* records);
        [DllImport(Library)] internal static extern long kovan_find_array(DocumentHandle doc, ulong step, byte[] name);
        [DllImport(Library)] internal static extern int kovan_array_data(DocumentHandle doc, ulong step, ulong index, out double* values);
        [DllImport(Library)] internal static extern int kovan_array_component_name(DocumentHandle doc, ulong step, ulong index, uint component, out IntPtr name);
        [DllImport(Library)] internal static extern int kovan_array_points_with_values(DocumentHandle doc, ulong step, ulong index, out ulong count);
        [DllImport(Library)] internal static extern int kovan_n_planned_arrays(DocumentHandle doc, ulong step, out ulong count);
        [DllImport(Library)] internal static extern int kovan_planned_array_at(DocumentHandle doc, ulong step, ulong index, out ArrayInfoRecord record);
        [DllImport(Library)] internal static extern int kovan_planned_component_name(DocumentHandle doc, ulong step, ulong index, uint component, out IntPtr name);
        [DllImport(Library)] internal static extern int kovan_release_step(DocumentHandle doc, ulong step);

        [DllImport(Library)] internal static extern int kovan_rewrite_memory(byte* data, ulong size, int format, out IntPtr output, out ulong outputSize);
        [DllImport(Library)] internal static extern void kovan_free(IntPtr buffer);

        [DllImport(Library)] internal static extern WriterHandle kovan_writer_new(uint format);
        [DllImport(Library)] internal static extern void kovan_writer_free(IntPtr writer);
        [DllImport(Library)] internal static extern int kovan_writer_set_nodes(WriterHandle writer, ulong nPoints, long* nodeIds, double* points);
        [DllImport(Library)] internal static extern int kovan_writer_set_cells(WriterHandle writer, ulong nCells, byte* cellTypes, long* offsets, long* connectivity, long* cellIds, uint wedgeOrder);
        [DllImport(Library)] internal static extern int kovan_writer_begin_step(WriterHandle writer, int stepNumber, double time);
        [DllImport(Library)] internal static extern int kovan_writer_add_array(WriterHandle writer, byte[] name, uint nComponents, IntPtr* componentNames, uint typeCode, double* values);
        [DllImport(Library)] internal static extern int kovan_writer_finish(WriterHandle writer, out IntPtr output, out ulong outputSize);
    }

    // The records of the interface, laid out as kovan.h lays them out;
    // their sizes are checked against kovan_struct_size when kovan loads.
    [StructLayout(LayoutKind.Sequential)]
    internal struct OpenOptions
    {
        public uint WedgeOrder;
        public uint Reserved;
    }

    [StructLayout(LayoutKind.Sequential)]
    internal struct ArrayInfoRecord
    {
        public IntPtr Name;
        public ulong TupleCount;
        public uint ComponentCount;
        public uint Derived;
    }

    [StructLayout(LayoutKind.Sequential)]
    internal struct DiagnosticRecord
    {
        public int Kind;
        public int ElementType;
        public long Line;
        public long Expected;
        public long Found;
    }

    [StructLayout(LayoutKind.Sequential)]
    internal struct StepInfoRecord
    {
        public double Value;
        public double GeneralisedMass;
        public double GeneralisedStiffness;
        public long SetNumber;
        public long DataSet;
        public long Increment;
        public long Step;
        public long Mode;
        public long NodalDiameter;
        public ulong FileIndex;
        public int Analysis;
        public uint Flags;
        public IntPtr ValueText;
        public IntPtr AnalysisText;
    }
}
