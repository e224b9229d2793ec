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
    /// message and kovan's detail text about this failure.</summary>
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

        // Every failure leaves its own text with the calling thread.
        internal static void Check(int status)
        {
            if (status == 0) return;
            string detail = Utf8.Read(Native.kovan_thread_error(IntPtr.Zero)) ?? "";
            throw new KovanException((Status)status, Utf8.Read(Native.kovan_status_message(status)), detail);
        }
    }
}
