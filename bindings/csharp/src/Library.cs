using System;
using System.Runtime.InteropServices;

namespace Kovan
{
    /// <summary>The kovan library this binding runs on.</summary>
    public static class Library
    {
        /// <summary>The interface version this binding is written for.</summary>
        public const int AbiVersion = 3;

        private static readonly object CheckLock = new object();
        private static bool isChecked;

        /// <summary>Fails unless the loaded library has this binding's ABI
        /// version and record sizes: a binding that disagrees on a record's
        /// layout would read other memory than it means. Fails with a
        /// DllNotFoundException naming the file looked for when there is no
        /// library to load.</summary>
        public static void EnsureCompatible()
        {
            lock (CheckLock)
            {
                if (isChecked) return;
                Check();
                isChecked = true;
            }
        }

        /// <summary>The file .NET and Mono look for: kovan.dll on Windows, libkovan.so elsewhere.</summary>
        public static string NativeFileName
        {
            get { return Environment.OSVersion.Platform == PlatformID.Win32NT ? "kovan.dll" : "libkovan.so"; }
        }

        private static int LoadedAbiVersion()
        {
            try
            {
                return Native.kovan_abi_version();
            }
            catch (DllNotFoundException e)
            {
                throw new DllNotFoundException("kovan's native library " + NativeFileName + " was not found. "
                    + "The NuGet package Kovan brings it for .NET (runtimes/linux-x64/native/libkovan.so, "
                    + "runtimes/win-x64/native/kovan.dll); with Mono, or without the package, put " + NativeFileName
                    + " beside the program, in the system's library path, or name it in Kovan.dll.config "
                    + "(<dllmap dll=\"kovan\" target=\"/path/to/libkovan.so\"/>).", e);
            }
        }

        private static void Check()
        {
            int version = LoadedAbiVersion();
            if (version != AbiVersion)
                throw new InvalidOperationException("the kovan library has ABI version " + version + "; this binding needs " + AbiVersion);
            CheckSize(0, Marshal.SizeOf(typeof(OpenOptions)), "kovan_open_options");
            CheckSize(1, Marshal.SizeOf(typeof(ArrayInfoRecord)), "kovan_array_info");
            CheckSize(2, Marshal.SizeOf(typeof(DiagnosticRecord)), "kovan_diagnostic");
            CheckSize(4, Marshal.SizeOf(typeof(StepInfoRecord)), "kovan_step_info");
        }

        private static void CheckSize(int kind, int expected, string record)
        {
            ulong size = Native.kovan_struct_size(kind);
            if (size != (ulong)expected)
                throw new InvalidOperationException("the kovan library's " + record + " is " + size + " bytes; this binding expects " + expected);
        }
    }
}
