using System;
using System.Runtime.InteropServices;

namespace Kovan
{
    /// <summary>The kovan library this binding runs on.</summary>
    public static class Library
    {
        /// <summary>The interface version this binding is written for.</summary>
        public const int AbiVersion = 3;

        private static readonly object Checked = Check();

        /// <summary>Fails unless the loaded library has this binding's ABI
        /// version and record sizes: a binding that disagrees on a record's
        /// layout would read other memory than it means.</summary>
        public static void EnsureCompatible() { GC.KeepAlive(Checked); }

        private static object Check()
        {
            int version = Native.kovan_abi_version();
            if (version != AbiVersion)
                throw new InvalidOperationException("the kovan library has ABI version " + version + "; this binding needs " + AbiVersion);
            CheckSize(0, Marshal.SizeOf(typeof(OpenOptions)), "kovan_open_options");
            CheckSize(1, Marshal.SizeOf(typeof(ArrayInfoRecord)), "kovan_array_info");
            CheckSize(2, Marshal.SizeOf(typeof(DiagnosticRecord)), "kovan_diagnostic");
            CheckSize(4, Marshal.SizeOf(typeof(StepInfoRecord)), "kovan_step_info");
            return new object();
        }

        private static void CheckSize(int kind, int expected, string record)
        {
            ulong size = Native.kovan_struct_size(kind);
            if (size != (ulong)expected)
                throw new InvalidOperationException("the kovan library's " + record + " is " + size + " bytes; this binding expects " + expected);
        }
    }
}
