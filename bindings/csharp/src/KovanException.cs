using System;

namespace Kovan
{
    /// <summary>The status codes of kovan's C interface.</summary>
    public enum Status
    {
        Ok = 0,
        IO = 1,
        Parse = 2,
        Range = 3,
        NoMemory = 4,
        Argument = 5,
        Components = 6,
        Internal = 7
    }

    /// <summary>A failed call into kovan: its status, the status's fixed
    /// message and kovan's detail text about this failure ("" when the
    /// failure leaves none).</summary>
    public sealed class KovanException : Exception
    {
        public Status Status { get; }
        public string StatusMessage { get; }
        public string Detail { get; }

        internal KovanException(Status status, string statusMessage, string detail)
            : base(detail.Length > 0 ? statusMessage + ": " + detail : statusMessage)
        {
            Status = status;
            StatusMessage = statusMessage;
            Detail = detail;
        }

        // Texts are read where the failure left them: a step that failed to
        // decode with its document, other failures with the calling thread;
        // argument and range failures leave none, so an older text is not shown.
        internal static void Check(int status, DocumentHandle doc = null, bool argumentText = false)
        {
            if (status == 0) return;
            var code = (Status)status;
            string detail = "";
            bool hasText = (code != Status.Argument && code != Status.Range) || (code == Status.Argument && argumentText);
            if (hasText)
                detail = Utf8.Read(code == Status.Components && doc != null ? Native.kovan_last_error(doc) : Native.kovan_thread_error(IntPtr.Zero)) ?? "";
            throw new KovanException(code, Utf8.Read(Native.kovan_status_message(status)), detail);
        }
    }
}
