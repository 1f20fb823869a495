Minimize
 obj: 3 x + 2 y - z + [ 2 x^2 + 4 x * y ]/ 2 + 5
Subject To
 c1: x + y <= 10
 c2: 3 x >= 2
 c3: x + 3 = 4
 q: [ x^2 + x * z ] <= 3
 ind: b = 1 -> 2 x + y <= 3
Bounds
 x free
 -inf <= y <= 4
 2 <= z
 w = 3
Generals
 y
Binaries
 b
Semi-Continuous
 z
End
