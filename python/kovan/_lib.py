"""Loading the kovan shared library and declaring its C interface."""

import ctypes
import ctypes.util
import os
from pathlib import Path

ABI_VERSION = 3


class OpenOptions(ctypes.Structure):
    _fields_ = [("wedge_order", ctypes.c_uint32), ("reserved", ctypes.c_uint32)]


class ArrayInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("n_tuples", ctypes.c_uint64),
                ("n_components", ctypes.c_uint32), ("derived", ctypes.c_uint32)]


class Diagnostic(ctypes.Structure):
    _fields_ = [("kind", ctypes.c_int32), ("element_type", ctypes.c_int32), ("line", ctypes.c_int64),
                ("expected", ctypes.c_int64), ("found", ctypes.c_int64)]


class StepInfo(ctypes.Structure):
    _fields_ = [("value", ctypes.c_double), ("generalised_mass", ctypes.c_double),
                ("generalised_stiffness", ctypes.c_double), ("set_number", ctypes.c_int64),
                ("data_set", ctypes.c_int64), ("increment", ctypes.c_int64), ("step", ctypes.c_int64),
                ("mode", ctypes.c_int64), ("nodal_diameter", ctypes.c_int64), ("file_index", ctypes.c_uint64),
                ("analysis", ctypes.c_int32), ("flags", ctypes.c_uint32), ("value_text", ctypes.c_char_p),
                ("analysis_text", ctypes.c_char_p)]


# kovan_source: bytes read through the caller's functions.
READ_AT = ctypes.CFUNCTYPE(ctypes.c_int64, ctypes.c_void_p, ctypes.c_uint64, ctypes.c_void_p, ctypes.c_uint64)
SIZE = ctypes.CFUNCTYPE(ctypes.c_uint64, ctypes.c_void_p)
RELEASE = ctypes.CFUNCTYPE(None, ctypes.c_void_p)


class Source(ctypes.Structure):
    _fields_ = [("read_at", READ_AT), ("size", SIZE), ("release", RELEASE), ("context", ctypes.c_void_p)]


# kovan_open_options.reserved holds these flags.
OPEN_MISSING_AS_NAN = 1
OPEN_FILE_ORDER = 2

_RECORDS = {0: OpenOptions, 1: ArrayInfo, 2: Diagnostic, 3: Source, 4: StepInfo}

_u8p = ctypes.POINTER(ctypes.c_uint8)
_i64p = ctypes.POINTER(ctypes.c_int64)
_f64p = ctypes.POINTER(ctypes.c_double)
_doc = ctypes.c_void_p
_status = ctypes.c_int32

_SIGNATURES = {
    "kovan_abi_version": (ctypes.c_int32, []),
    "kovan_struct_size": (ctypes.c_uint64, [ctypes.c_int32]),
    "kovan_status_message": (ctypes.c_char_p, [_status]),
    "kovan_last_error": (ctypes.c_char_p, [_doc]),
    "kovan_cell_type_description": (ctypes.c_char_p, [ctypes.c_int32]),
    "kovan_diagnostic_description": (ctypes.c_char_p, [ctypes.c_int32]),
    "kovan_open_ex": (_status, [ctypes.c_char_p, ctypes.POINTER(OpenOptions), ctypes.POINTER(_doc)]),
    "kovan_open_memory": (_status, [ctypes.c_void_p, ctypes.c_uint64, ctypes.POINTER(OpenOptions),
                                    ctypes.POINTER(_doc)]),
    "kovan_open_source": (_status, [ctypes.POINTER(Source), ctypes.POINTER(OpenOptions), ctypes.POINTER(_doc)]),
    "kovan_reopen": (_status, [_doc, ctypes.POINTER(_doc)]),
    "kovan_close": (None, [_doc]),
    "kovan_n_points": (ctypes.c_uint64, [_doc]),
    "kovan_points": (_f64p, [_doc]),
    "kovan_node_ids": (_i64p, [_doc]),
    "kovan_n_cells": (ctypes.c_uint64, [_doc]),
    "kovan_cell_types": (_u8p, [_doc]),
    "kovan_cell_offsets": (_i64p, [_doc]),
    "kovan_cell_connectivity": (_i64p, [_doc]),
    "kovan_cell_ids": (_i64p, [_doc]),
    "kovan_n_steps": (ctypes.c_uint64, [_doc]),
    "kovan_step_time": (_status, [_doc, ctypes.c_uint64, _f64p]),
    "kovan_steps_parsed": (ctypes.c_uint64, [_doc]),
    "kovan_step_info_at": (_status, [_doc, ctypes.c_uint64, ctypes.POINTER(StepInfo)]),
    "kovan_cell_groups": (ctypes.POINTER(ctypes.c_int32), [_doc]),
    "kovan_cell_materials": (ctypes.POINTER(ctypes.c_int32), [_doc]),
    "kovan_n_materials": (ctypes.c_uint64, [_doc]),
    "kovan_material_at": (_status, [_doc, ctypes.c_uint64, _i64p, ctypes.POINTER(ctypes.c_char_p)]),
    "kovan_n_header_records": (ctypes.c_uint64, [_doc]),
    "kovan_header_record_at": (_status, [_doc, ctypes.c_uint64, ctypes.POINTER(ctypes.c_char_p),
                                         ctypes.POINTER(ctypes.c_char_p)]),
    "kovan_array_component_name": (_status, [_doc, ctypes.c_uint64, ctypes.c_uint64, ctypes.c_uint32,
                                             ctypes.POINTER(ctypes.c_char_p)]),
    "kovan_array_points_with_values": (_status, [_doc, ctypes.c_uint64, ctypes.c_uint64,
                                                 ctypes.POINTER(ctypes.c_uint64)]),
    "kovan_n_diagnostics": (ctypes.c_uint64, [_doc]),
    "kovan_diagnostic_at": (_status, [_doc, ctypes.c_uint64, ctypes.POINTER(Diagnostic)]),
    "kovan_n_arrays": (_status, [_doc, ctypes.c_uint64, ctypes.POINTER(ctypes.c_uint64)]),
    "kovan_array_info_at": (_status, [_doc, ctypes.c_uint64, ctypes.c_uint64, ctypes.POINTER(ArrayInfo)]),
    "kovan_array_data": (_status, [_doc, ctypes.c_uint64, ctypes.c_uint64, ctypes.POINTER(_f64p)]),
    "kovan_n_planned_arrays": (_status, [_doc, ctypes.c_uint64, ctypes.POINTER(ctypes.c_uint64)]),
    "kovan_planned_array_at": (_status, [_doc, ctypes.c_uint64, ctypes.c_uint64, ctypes.POINTER(ArrayInfo)]),
    "kovan_planned_component_name": (_status, [_doc, ctypes.c_uint64, ctypes.c_uint64, ctypes.c_uint32,
                                               ctypes.POINTER(ctypes.c_char_p)]),
    "kovan_find_array": (ctypes.c_int64, [_doc, ctypes.c_uint64, ctypes.c_char_p]),
    "kovan_release_step": (_status, [_doc, ctypes.c_uint64]),
    "kovan_rewrite_memory": (_status, [ctypes.c_void_p, ctypes.c_uint64, ctypes.c_int32,
                                       ctypes.POINTER(ctypes.c_void_p), ctypes.POINTER(ctypes.c_uint64)]),
    "kovan_free": (None, [ctypes.c_void_p]),
    "kovan_writer_new": (ctypes.c_void_p, [ctypes.c_uint32]),
    "kovan_writer_free": (None, [ctypes.c_void_p]),
    "kovan_writer_set_nodes": (_status, [ctypes.c_void_p, ctypes.c_uint64, _i64p, _f64p]),
    "kovan_writer_set_cells": (_status, [ctypes.c_void_p, ctypes.c_uint64, _u8p, _i64p, _i64p, _i64p,
                                         ctypes.c_uint32]),
    "kovan_writer_begin_step": (_status, [ctypes.c_void_p, ctypes.c_int32, ctypes.c_double]),
    "kovan_writer_add_array": (_status, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_uint32,
                                         ctypes.POINTER(ctypes.c_char_p), ctypes.c_uint32, _f64p]),
    "kovan_writer_finish": (_status, [ctypes.c_void_p, ctypes.POINTER(ctypes.c_void_p),
                                      ctypes.POINTER(ctypes.c_uint64)]),
}


def _candidates():
    """Where the library may be: the environment, beside the package, the build tree, the system."""
    names = ["kovan.dll"] if os.name == "nt" else ["libkovan.so.3", "libkovan.so", "libkovan.dylib"]
    if os.environ.get("KOVAN_LIBRARY"):
        yield os.environ["KOVAN_LIBRARY"]
    here = Path(__file__).resolve().parent
    for folder in (here, here.parent.parent / "build"):
        for name in names:
            yield str(folder / name)
    found = ctypes.util.find_library("kovan")
    if found:
        yield found
    yield from names


# Folders added to Windows' DLL search, kept for the life of the process.
_DLL_FOLDERS = []


def _load():
    errors = []
    for candidate in _candidates():
        if os.sep in candidate and not os.path.exists(candidate):
            continue
        try:
            if os.name == "nt" and os.sep in candidate and hasattr(os, "add_dll_directory"):
                # Python 3.8+ on Windows looks for what a DLL needs only in
                # folders added so, not in the DLL's own folder.
                _DLL_FOLDERS.append(os.add_dll_directory(os.path.dirname(os.path.abspath(candidate))))
            return ctypes.CDLL(candidate)
        except OSError as error:
            errors.append(f"{candidate}: {error}")
    raise ImportError("the kovan library was not found; set KOVAN_LIBRARY to its path. Tried: " + "; ".join(errors))


def _declare(library):
    for name, (result, arguments) in _SIGNATURES.items():
        function = getattr(library, name)
        function.restype = result
        function.argtypes = arguments
    version = library.kovan_abi_version()
    if version != ABI_VERSION:
        raise ImportError(f"the kovan library has ABI version {version}; this package needs {ABI_VERSION}")
    for kind, record in _RECORDS.items():
        size = library.kovan_struct_size(kind)
        if size != ctypes.sizeof(record):
            raise ImportError(f"the kovan library's record {record.__name__} is {size} bytes; "
                              f"this package expects {ctypes.sizeof(record)}")
    return library


lib = _declare(_load())
