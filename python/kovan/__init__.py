"""kovan: CalculiX FRD result files as numpy arrays, VTK grids and meshio meshes.

    import kovan
    with kovan.open("result.frd") as doc:
        points = doc.points                  # (n_points, 3), shares kovan's memory
        disp = doc.step(-1)["DISP"]          # (n_points, 3) of the last step

`kovan.open_bytes(data)` opens FRD text held in memory, `kovan.convert(path,
to=...)` re-encodes a file, `kovan.Writer` writes new files; `import
kovan.meshio` adds the FRD format to meshio. Failures raise subclasses of
`kovan.KovanError`.
"""

from ._version import project_version
from .document import (NOT_FRD, Array, DiagnosticRecord, Document, Step, cell_type_description, diagnostic_description,
                       open, open_bytes)
from .errors import (ArgumentError, ComponentsError, InternalError, KovanError, KovanIOError, OutOfMemoryError,
                     ParseError, RangeError, Status)
from .vtk_io import export_vtu
from .writing import FORMATS, Writer, convert, convert_bytes

__version__ = project_version()

# `from kovan import *` leaves the builtin open alone: kovan.open is used by its full name.
__all__ = ["Document", "Step", "Array", "DiagnosticRecord", "Writer", "open_bytes", "convert", "convert_bytes",
           "export_vtu", "FORMATS", "Status", "KovanError", "KovanIOError", "ParseError", "RangeError",
           "OutOfMemoryError", "ArgumentError", "ComponentsError", "InternalError", "cell_type_description",
           "diagnostic_description", "NOT_FRD"]
