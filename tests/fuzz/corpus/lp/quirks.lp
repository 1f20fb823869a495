\ comment
MINIMIZE
 2 x 3 y + nancy - infeasible /* block
 comment */
Subject To
 c: 1e999 x + 0x1p3 y >= -inf
Bounds
 my var free
 x <= 3
Generals x y
