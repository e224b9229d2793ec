"""kovan: CalculiX FRD result files as numpy arrays and VTK grids.

    import kovan
    with kovan.open("result.frd") as doc:
        points = doc.points                  # (n_points, 3), shares kovan's memory
        disp = doc.step(0)["DISP"]           # (n_points, 3)
"""

from .document import DiagnosticRecord, Document, Step, open
from .errors import KovanError
from .vtk_io import export_vtu
from .writing import FORMATS, Writer, convert

__all__ = ["Document", "Step", "DiagnosticRecord", "KovanError", "Writer", "convert", "export_vtu", "open",
           "FORMATS"]
