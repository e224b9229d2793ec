"""python3 -m kovan vtu FILE OUTDIR | xdmf FILE OUT.xdmf | preview FILE --array NAME [--step N] -o OUT.png"""

import argparse
import sys

from .errors import KovanError


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m kovan", description="CalculiX FRD files for VTK and ParaView")
    commands = parser.add_subparsers(dest="command", required=True)
    vtu = commands.add_parser("vtu", help="write one .vtu per step and a .pvd series")
    vtu.add_argument("file")
    vtu.add_argument("outdir")
    xdmf = commands.add_parser("xdmf", help="write every step as one XDMF time series (OUT.xdmf and OUT.h5); "
                                           "time values are the step times when they increase strictly, "
                                           "the step indices otherwise")
    xdmf.add_argument("file")
    xdmf.add_argument("out")
    for command in (vtu, xdmf):
        command.add_argument("--jobs", type=int, default=None,
                             help="threads decoding steps (default: the machine's cores)")
    preview = commands.add_parser("preview", help="render the mesh coloured by an array into a PNG")
    preview.add_argument("file")
    preview.add_argument("--array", required=True)
    preview.add_argument("--step", type=int)
    preview.add_argument("-o", "--output", required=True)
    args = parser.parse_args(argv)
    report = lambda done, total: print(f"step {done} of {total} written", file=sys.stderr)
    try:
        if args.command == "xdmf":
            from .xdmf import export_xdmf
            print(export_xdmf(args.file, args.out, progress=report, jobs=args.jobs))
        elif args.command == "vtu":
            from .vtk_io import export_vtu
            pvd = export_vtu(args.file, args.outdir, progress=report, jobs=args.jobs)
            print(pvd)
        else:
            from .preview import render_png
            print(render_png(args.file, args.array, args.output, args.step))
    except (KovanError, KeyError, ValueError, OSError) as error:
        print(f"{args.file}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
