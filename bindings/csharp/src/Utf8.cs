using System;
using System.Text;

namespace Kovan
{
    // kovan speaks UTF-8 in both directions.
    internal static unsafe class Utf8
    {
        internal static byte[] Terminated(string text, string what)
        {
            if (text == null) throw new ArgumentNullException(what);
            if (text.IndexOf('\0') >= 0) throw new ArgumentException(what + " must not contain a NUL character", what);
            byte[] bytes = new byte[Encoding.UTF8.GetByteCount(text) + 1];
            Encoding.UTF8.GetBytes(text, 0, text.Length, bytes, 0);
            return bytes;
        }

        internal static string Read(IntPtr text)
        {
            if (text == IntPtr.Zero) return null;
            byte* start = (byte*)text;
            int length = 0;
            while (start[length] != 0) ++length;
            return Encoding.UTF8.GetString(start, length);
        }
    }
}
