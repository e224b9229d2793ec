"""A picture of a mesh coloured by one array, rendered off screen."""

import os
import sys

LEGEND_LABELS = 5


class NoDisplayError(OSError):
    """VTK's render windows here draw through X: without a display VTK
    aborts the process, so this is said first, with what to do."""


def _check_display():
    if sys.platform.startswith("linux") and not os.environ.get("DISPLAY"):
        raise NoDisplayError("no display to render on (DISPLAY is not set): run it under xvfb-run, "
                             "as in: xvfb-run -a python3 -m kovan preview FILE --array NAME -o OUT.png")


def _blue_to_red(scalar_range):
    """Low values blue, high values red, as people read a result plot."""
    import vtk
    table = vtk.vtkLookupTable()
    table.SetHueRange(0.667, 0.0)
    table.SetTableRange(scalar_range)
    table.Build()
    return table


def render_png(frd_path, array, out_png, step=None, size=(800, 600)):
    """Renders the mesh of `frd_path` coloured by `array` (its magnitude for
    vectors) at `step` (the last one by default) into out_png; raises
    NoDisplayError, before VTK is asked to draw, where there is no display."""
    _check_display()
    import vtk
    from .document import Document

    with Document(frd_path) as document:
        if not document.steps:
            raise ValueError(f"{frd_path} has no steps")
        index = len(document.steps) - 1 if step is None else step
        grid = document.to_vtk(index)
        time = document.steps[index]
    point_data = grid.GetPointData()
    values = point_data.GetArray(array)
    if values is None:
        raise KeyError(f"step {index} has no array {array!r}")
    point_data.SetActiveScalars(array)
    surface = vtk.vtkDataSetSurfaceFilter()
    surface.SetInputData(grid)
    mapper = vtk.vtkDataSetMapper()
    mapper.SetInputConnection(surface.GetOutputPort())
    mapper.SetScalarModeToUsePointFieldData()
    mapper.SelectColorArray(array)
    scalar_range = values.GetRange(-1 if values.GetNumberOfComponents() > 1 else 0)
    mapper.SetLookupTable(_blue_to_red(scalar_range))
    if values.GetNumberOfComponents() > 1:
        mapper.GetLookupTable().SetVectorModeToMagnitude()
    mapper.SetScalarRange(scalar_range)
    actor = vtk.vtkActor()
    actor.SetMapper(mapper)
    bar = vtk.vtkScalarBarActor()
    bar.SetLookupTable(mapper.GetLookupTable())
    bar.SetTitle(array)
    bar.SetNumberOfLabels(LEGEND_LABELS)
    title = vtk.vtkTextActor()
    title.SetInput(f"{array}, step {index}, time {time:g}")
    title.SetDisplayPosition(10, size[1] - 30)
    renderer = vtk.vtkRenderer()
    renderer.AddActor(actor)
    renderer.AddActor2D(bar)
    renderer.AddActor2D(title)
    renderer.SetBackground(0.15, 0.15, 0.2)
    renderer.ResetCamera()
    renderer.GetActiveCamera().Azimuth(30)
    renderer.GetActiveCamera().Elevation(20)
    window = vtk.vtkRenderWindow()
    window.SetOffScreenRendering(1)
    window.SetSize(*size)
    window.AddRenderer(renderer)
    window.Render()
    capture = vtk.vtkWindowToImageFilter()
    capture.SetInput(window)
    capture.Update()
    png = vtk.vtkPNGWriter()
    png.SetFileName(str(out_png))
    png.SetInputConnection(capture.GetOutputPort())
    png.Write()
    return out_png
