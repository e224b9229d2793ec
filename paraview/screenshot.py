"""Makes the README's picture: the sample file in ParaView, deformed by DISP
and coloured by the von Mises stress of its last step.
Usage: xvfb-run -a pvpython paraview/screenshot.py PLUGIN.so OUT.png"""

import sys
from pathlib import Path

from paraview import simple as pv

pv.LoadPlugin(sys.argv[1], remote=False, ns=globals())
sample = Path(__file__).resolve().parents[1] / "examples" / "data" / "cantilever.frd"
reader = pv.OpenDataFile(str(sample))
reader.UpdatePipelineInformation()
view = pv.CreateRenderView()
view.ViewSize = [900, 420]
view.OrientationAxesVisibility = 1
scene = pv.GetAnimationScene()
scene.UpdateAnimationUsingDataTimeSteps()
scene.AnimationTime = reader.TimestepValues[-1]
warped = pv.WarpByVector(Input=reader, Vectors=["POINTS", "DISP"], ScaleFactor=1.0)
display = pv.Show(warped, view)
display.SetRepresentationType("Surface With Edges")
pv.ColorBy(display, ("POINTS", "STRESS_Mises"))
display.RescaleTransferFunctionToDataRange(True, False)
display.SetScalarBarVisibility(view, True)
pv.Show(reader, view).SetRepresentationType("Outline")
view.CameraPosition = [1, -1.6, 0.9]
view.CameraViewUp = [0, 0, 1]
view.CameraFocalPoint = [0, 0, 0]
view.ResetCamera()
pv.SaveScreenshot(sys.argv[2], view, ImageResolution=[900, 420], TransparentBackground=0)
