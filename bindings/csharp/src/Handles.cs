using System;
using System.Runtime.InteropServices;

namespace Kovan
{
    // An open document, closed exactly once however the Document is let go.
    internal sealed class DocumentHandle : SafeHandle
    {
        private DocumentHandle() : base(IntPtr.Zero, true) { }
        public override bool IsInvalid { get { return handle == IntPtr.Zero; } }
        protected override bool ReleaseHandle() { Native.kovan_close(handle); return true; }
    }

    internal sealed class WriterHandle : SafeHandle
    {
        private WriterHandle() : base(IntPtr.Zero, true) { }
        public override bool IsInvalid { get { return handle == IntPtr.Zero; } }
        protected override bool ReleaseHandle() { Native.kovan_writer_free(handle); return true; }
    }
}
