using System;
using System.Runtime.InteropServices;

namespace Kovan
{
    /// <summary>FRD block encodings; Keep leaves each block in its own.</summary>
    public enum Format { Keep = -1, AsciiShort = 0, AsciiLong = 1, BinaryFloat = 2, BinaryDouble = 3 }

    /// <summary>Re-encoding whole FRD texts.</summary>
    public static unsafe class Converter
    {
        /// <summary>The FRD text with its node, element and result blocks in
        /// format, every other line byte for byte.</summary>
        public static byte[] Rewrite(ReadOnlySpan<byte> data, Format format)
        {
            Library.EnsureCompatible();
            IntPtr output;
            ulong size;
            fixed (byte* bytes = &MemoryMarshal.GetReference(data))
            {
                KovanException.Check(Native.kovan_rewrite_memory(bytes, (ulong)data.Length, (int)format, out output, out size));
            }
            return TakeBuffer(output, size);
        }

        // Copies a buffer kovan returned and releases it.
        internal static byte[] TakeBuffer(IntPtr buffer, ulong size)
        {
            try
            {
                var bytes = new byte[checked((int)size)];
                if (size > 0) Marshal.Copy(buffer, bytes, 0, bytes.Length);
                return bytes;
            }
            finally
            {
                Native.kovan_free(buffer);
            }
        }
    }
}
