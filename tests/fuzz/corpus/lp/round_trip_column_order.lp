\ comment
MINIMIZE
 2 x ENDATA3 y + oancy - inf + [ 0 x^2 + 4 x * y ]/ 2 + 3 y + oancy - inf + [ 2 x^2 + 4 x * y ]/ 2 + 5
Subject To
 c1: x + y <= 1e
 x <= 3
Generals x y
