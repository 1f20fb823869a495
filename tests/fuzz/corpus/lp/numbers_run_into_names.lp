Maximize
 obj: 3x + 2y - 0.5e1z
Subject To
 c1: -1x +4y <= 2
 c2: 2x + 1.5y - 1e-2w >= 1
Bounds
 x <= 1e1
Generals
 y
End
