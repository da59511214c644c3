#!/usr/bin/env python3
"""Writes the manipulator's handle meshes beside this script: python3 make_ui_meshes.py

The manipulator scales them with the camera distance (1 at the start distance of 10 units) and puts
the move and scale handles 3 units out along each axis, so they are sized for that:
UI_BOX.x    a box of 0.4 units centred on the origin (centre handle and scale handles)
UI_CIRCLE.x a thin ring of radius 2.4 around the Y axis (rotation handles), just inside the others
UI_TRI.x    a cone along +Y from the origin, 0.3 units wide and 0.8 long (move handles)
The manipulator draws them in flat colours, so one white material each is enough.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import xfile_writer as xw  # noqa: E402

here = os.path.dirname(os.path.abspath(__file__))
white = (1.0, 1.0, 1.0)

box = xw.Part(white)
xw.box(box, (-0.2, -0.2, -0.2), (0.2, 0.2, 0.2))
xw.write(os.path.join(here, "UI_BOX.x"), "UI_BOX", [box])

ring = xw.Part(white)
xw.torus(ring, 2.4, 0.06, 72, 8)
xw.write(os.path.join(here, "UI_CIRCLE.x"), "UI_CIRCLE", [ring])

cone = xw.Part(white)
xw.cone(cone, 0.15, 0.8, 24)
xw.write(os.path.join(here, "UI_TRI.x"), "UI_TRI", [cone])
